#pragma once

#include <QPixmap>

#include <string>

namespace ui {

// A picture a dataset names (or the title picture), read only when it is a regular file of a
// picture's size: a name that leads to a pipe, a terminal or a device cannot stall the
// program, nor a huge file exhaust its memory. A null pixmap when it cannot be shown.
QPixmap loadPicture(const std::string& path);

} // namespace ui
