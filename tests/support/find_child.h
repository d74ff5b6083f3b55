#pragma once

#include <QObject>
#include <QString>

#include <gtest/gtest.h>

namespace testing_support {

// A window's control by the object name the program gives it: tests reach controls the way a
// reader of the help and the menus names them, not through the window's members. A missing
// control is a test failure, not a crash.
template <class T> T* child(const QObject& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        ADD_FAILURE() << "no control named " << name << " in " << window.objectName().toStdString();
    return found;
}

} // namespace testing_support
