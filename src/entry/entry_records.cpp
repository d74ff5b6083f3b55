#include "entry/entry_records.h"

namespace tess {

int positionAfterMove(int i, int from, int to) {
    if (i == from)
        return to;
    if (from < to && i > from && i <= to)
        return i - 1;
    if (to < from && i >= to && i < from)
        return i + 1;
    return i;
}

} // namespace tess
