#pragma once

// What every window test uses: the Qt widgets and test tools, the tests' own support, and
// GoogleTest, in one place rather than at the head of each file.

#include "support/find_child.h"
#include "support/scripted_dialogs.h"
#include "support/test.h"

#include <QtPrintSupport/QPrinter>
#include <QtTest>
#include <QtWidgets>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <ostream>

// A path or text of the tests, as the windows and dialogs take it.
inline QString q(const std::string& s) {
    return QString::fromStdString(s);
}
