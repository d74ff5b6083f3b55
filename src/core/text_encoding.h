#pragma once

#include "core/dataset.h"

#include <optional>
#include <string>
#include <string_view>

namespace tess {

bool isValidUtf8(std::string_view bytes);

// The text without the blanks and tabs around it.
std::string_view trimBlanks(std::string_view text);

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
// The same, or nothing when any character is missing from the set (or the text is not UTF-8).
std::optional<std::string> utf8ToWindows1252Exactly(std::string_view utf8);

// Converts the dataset's bytes to UTF-8 (for a terminal) and back.
std::string toUtf8(std::string_view bytes, TextEncoding encoding);
std::string fromUtf8(std::string_view utf8, TextEncoding encoding);

// The one way the program measures and cuts text: widths count characters in the dataset's
// encoding, one per byte in Windows-1252 and one per code point in UTF-8, never bytes. (A
// stray byte that cannot start a UTF-8 sequence counts as a character of its own.)
size_t textWidth(std::string_view bytes, TextEncoding encoding);
// Byte offset of character `chars` of the text; the text's size when it has fewer.
size_t byteOffsetOfChar(std::string_view bytes, TextEncoding encoding, size_t chars);
// Characters [first, first + count) of the text; shorter or empty past its end.
std::string_view textSlice(std::string_view bytes, TextEncoding encoding, size_t first,
                           size_t count);

// Text taken from a file, made safe to show in a message box or write to a terminal, in UTF-8:
// control characters (C0, DEL and C1; a NUL too) and the invisible marks that reorder text
// are written as \xHH or \uHHHH escapes, so a name cannot clear a screen, turn a line around
// or cut a message short, and a text longer than maxChars characters is cut there and ends in
// an ellipsis.
std::string displayText(std::string_view bytes, TextEncoding encoding, size_t maxChars);
// Chart lines for a terminal, in UTF-8, one character for one: control characters become their
// symbols from the Control Pictures block and the other invisible controls U+FFFD, so that
// nothing is obeyed by the terminal and the one-character-per-year columns hold.
std::string terminalText(std::string_view bytes, TextEncoding encoding);
// How many characters of a file's text a message quotes.
inline constexpr size_t messageTextLimit = 80;

} // namespace tess
