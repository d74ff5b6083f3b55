#pragma once

#include <QRect>

class QWidget;

namespace ui {

// Sizes and positions are kept in twips (1/1440 inch) and converted with the screen's logical
// resolution here and nowhere else.
double logicalDpi(const QWidget* widget = nullptr);
int twipsToPixels(int twips, double dpi);
int pixelsToTwips(int pixels, double dpi);
QRect twipsToPixels(const QRect& twips, double dpi);
QRect pixelsToTwips(const QRect& pixels, double dpi);

// A window's outer rectangle (frame included) in twips.
QRect outerRectTwips(const QWidget& window);
// Moves and sizes a window so that its outer rectangle is the given one in twips.
void setOuterRectTwips(QWidget& window, const QRect& twips);

// Places a window in the middle of its screen without changing its size.
void centerForm(QWidget& window);

} // namespace ui
