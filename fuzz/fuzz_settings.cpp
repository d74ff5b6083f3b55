// Any bytes as a settings file: never a crash, and what is read is written back as it was read.
#include "state/settings.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const tess::Settings s =
        tess::parseSettings(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!(tess::parseSettings(tess::formatSettings(s)) == s)) // every value read comes back
        std::abort();
    return 0;
}
