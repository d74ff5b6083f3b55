#pragma once

#include "core/dataset.h"

#include <QString>

#include <string>
#include <string_view>

namespace ui {

// The one crossing between the dataset's bytes and Qt's text, in the dataset's encoding.
QString toQString(std::string_view bytes, tess::TextEncoding encoding);
std::string fromQString(const QString& text, tess::TextEncoding encoding);

} // namespace ui
