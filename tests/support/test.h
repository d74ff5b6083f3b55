#pragma once

// What every test uses: the tests' own support, GoogleTest and the standard headers most of
// them need, in one place rather than at the head of each file.

#include "support/dataset_builder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <tuple>

using namespace tess;
using namespace testing_support;
