#pragma once

#include <cstddef>
#include <iterator>
#include <utility>
#include <vector>

namespace tess {

// Asks the system to back the memory with huge pages where it can. A dataset's arrays run to
// tens of megabytes that are filled once, page by page; where the first touch of a page is
// dear (in virtual machines it can be most of the time an open or a merge takes), one fault
// per 2 MB instead of per 4 KB makes the difference. Only advice: nothing changes where the
// system declines.
void adviseHugePages(const void* data, size_t bytes);

// Grows v's capacity to n elements, the new storage advised as above before it is touched.
template <typename T> void reserveLarge(std::vector<T>& v, size_t n) {
    if (n <= v.capacity())
        return;
    std::vector<T> grown;
    grown.reserve(n);
    adviseHugePages(grown.data(), n * sizeof(T));
    grown.insert(grown.end(), std::make_move_iterator(v.begin()), std::make_move_iterator(v.end()));
    v = std::move(grown);
}

} // namespace tess
