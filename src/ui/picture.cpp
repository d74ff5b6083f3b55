#include "ui/picture.h"

#include "core/file_error.h"
#include "core/file_io.h"

#include <QByteArray>

namespace ui {

namespace {
// Far beyond any picture an entry window shows (a 6000 by 4000 bitmap is 72 MB).
constexpr size_t maxPictureBytes = size_t{256} << 20;
} // namespace

QPixmap loadPicture(const std::string& path) {
    QPixmap pixmap;
    try {
        const std::string bytes = tess::readWholeFile(path, maxPictureBytes);
        pixmap.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                            static_cast<uint>(bytes.size()));
    } catch (const tess::FileError&) {
    }
    return pixmap;
}

} // namespace ui
