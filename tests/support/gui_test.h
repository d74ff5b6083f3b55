#pragma once

// What every window test uses: the Qt widgets and test tools, the tests' own support, and
// GoogleTest, in one place rather than at the head of each file.

#include "support/dataset_builder.h"
#include "support/entry_controls.h"
#include "support/find_child.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <QtPrintSupport/QPrinter>
#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

using namespace tess;
using namespace testing_support;
