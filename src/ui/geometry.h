#pragma once

#include <QList>
#include <QRect>
#include <QSize>

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

// Where a window asked for at `outer` goes so that it can be used: its size between `minimum`
// and the size of the screen it lands on, and wholly on that screen. That is the screen the
// rectangle overlaps most, or the nearest one when it overlaps none (a settings file written on
// a larger or another screen, or damaged). All in pixels.
QRect placeOnScreens(const QRect& outer, const QList<QRect>& screens, const QSize& minimum);
// The same for a window rectangle as the settings keep it (twips of the unscaled screen), over
// the screens' available areas.
QRect fitOnScreensTwips(const QRect& twips, const QWidget* window = nullptr);
// The smallest window the program places, in pixels.
inline constexpr QSize minimumWindowSize{240, 120};

// Window rectangles kept in the settings are twips of the unscaled screen (its device
// pixels), so that a start under another scale factor reads them as the same place and size on
// the screen, and writes them back unchanged. These turn them into twips of the window's own
// (scaled) pixels and back.
QRect fromStoredTwips(const QRect& stored, const QWidget* window);
QRect toStoredTwips(const QRect& twips, const QWidget* window);

// Places a window in the middle of its screen, but never with its top or left edge off it. Its
// size is kept, but for a window too narrow for its caption, which is widened so that the
// caption is not cut.
void centerForm(QWidget& window);
// The width a window needs for its caption to show whole in a title bar, in pixels.
int captionWidth(const QWidget& window);

} // namespace ui
