#pragma once

namespace ui {
class QtDialogs;
}

namespace tess {

class ZemMain;

// A termination signal (logout, kill, Ctrl+C, a closed terminal) ends the program without a
// question and without losing unsaved changes: the handler only writes to a socket, and the
// event loop then lets the main window put the changes in safety, closes every window and
// quits. A second signal while that runs ends the program at once.
void endOnTerminationSignals(ZemMain& window, ui::QtDialogs& dialogs);

} // namespace tess
