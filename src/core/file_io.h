#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace tess {

// Reads a whole file into memory. Throws FileError with the system's description.
std::string readWholeFile(const std::string& path);

// The low-level write used by writeFileAtomic; tests replace it with one that fails part-way.
using WriteFunction = std::function<ssize_t(int fd, const void* data, size_t size)>;

// Replaces the file at path by data without ever leaving a half-written file behind: the data
// goes to a temporary file in the same folder, every write is checked, the file is flushed to
// disk and only then renamed over the target. The old file's permissions are kept, and when
// path is a symbolic link the file it points to is replaced, not the link. On failure the
// temporary file is removed, the old file is untouched, and FileError describes what failed.
void writeFileAtomic(const std::string& path, std::string_view data,
                     const WriteFunction& write = {});

} // namespace tess
