#pragma once

#include <QIcon>
#include <QImage>

namespace ui {

// The program's icon: coloured bars on a year grid, as packaging/tessaline.svg draws it (the
// two are kept alike). Painted at any size, so that every size is sharp; no picture format
// plugin is needed.
QImage paintAppIcon(int size);
// The same for a dataset file's icon: the bars on a page.
QImage paintDatasetIcon(int size);
// The program's icon at the sizes window lists and task bars ask for.
QIcon appIcon();

} // namespace ui
