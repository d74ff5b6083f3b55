#pragma once

#include <stdexcept>
#include <string>

namespace tess {

// The one exception the file functions throw: a plain description the caller shows as it is.
class FileError : public std::runtime_error {
public:
    explicit FileError(const std::string& description) : std::runtime_error(description) {}
    std::string description() const { return what(); }
};

} // namespace tess
