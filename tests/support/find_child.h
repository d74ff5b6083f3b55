#pragma once

#include <QApplication>
#include <QObject>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include <ostream>

// Failures show a text as its characters, not as an array of code units.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

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

// A window with no parent (a chart, an entry window a chart opened) that the user sees, by its
// object name; null when none is shown.
template <class T> T* topLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w);
            t && t->isVisible() && t->objectName() == QLatin1String(name))
            return t;
    return nullptr;
}

} // namespace testing_support
