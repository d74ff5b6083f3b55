#pragma once

#include <QString>

namespace ui {

// Gives a control the object name the program knows it by, so tests find it with findChild.
template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace ui
