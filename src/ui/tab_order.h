#pragma once

#include <QList>
#include <QRect>

class QWidget;

namespace ui {

// The controls of a window a user reaches with Tab: those that take the focus by Tab and are
// not parts of another such control, visible in the window.
QList<QWidget*> tabControls(QWidget& window);

// Two controls stand on one row when they overlap by half the height of the lower one, and
// neither is more than three times as high as the other (a tall list is a column of its own).
bool level(const QRect& a, const QRect& b);

// Makes Tab go through a window's controls top to bottom, and left to right along a row
// (controls level with the row's topmost), each time the window is shown, when its layout has
// placed them, and again when a control is shown or hidden later.
void tabInReadingOrder(QWidget& window);
void tabInReadingOrderWhenShown(QWidget& window);

} // namespace ui
