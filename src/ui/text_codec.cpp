#include "ui/text_codec.h"

#include "core/text_encoding.h"

namespace ui {

QString toQString(std::string_view bytes, tess::TextEncoding encoding) {
    const std::string utf8 = tess::toUtf8(bytes, encoding);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string fromQString(const QString& text, tess::TextEncoding encoding) {
    const QByteArray utf8 = text.toUtf8();
    return tess::fromUtf8(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())),
                          encoding);
}

} // namespace ui
