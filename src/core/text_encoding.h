#pragma once

#include "core/dataset.h"

#include <string>
#include <string_view>

namespace tess {

bool isValidUtf8(std::string_view bytes);

// The encoding a file's texts are in: UTF-8 when the file holds non-ASCII bytes and all of it
// is valid UTF-8, otherwise Windows-1252, the 8-bit set the format was made with. A file of
// plain ASCII stays Windows-1252, so new texts typed into it are saved as older programs
// expect.
TextEncoding detectEncoding(std::string_view bytes);

// Windows-1252 bytes to UTF-8. The five byte values 1252 leaves undefined map to the C1
// control characters of the same number, so every byte survives a round trip.
std::string windows1252ToUtf8(std::string_view bytes);
// UTF-8 to Windows-1252; a character the set does not have becomes '?'.
std::string utf8ToWindows1252(std::string_view utf8);

// Converts the dataset's bytes to UTF-8 (for a terminal) and back.
std::string toUtf8(std::string_view bytes, TextEncoding encoding);
std::string fromUtf8(std::string_view utf8, TextEncoding encoding);

} // namespace tess
