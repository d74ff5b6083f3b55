#pragma once

#include "core/dataset.h"
#include "core/printer.h"
#include "state/edit_history.h"
#include "state/settings.h"
#include "state/user_choices.h"

#include <functional>
#include <memory>
#include <string>

namespace ui {
class Dialogs;
}

namespace tess {

// What the timeline print window leaves for the printing of a chart.
struct TimelinePrintSettings {
    std::string yearsPerLine = "0";
    std::string startYear;
    std::string endYear;
};

// The program-wide state, owned by main and handed to every window by reference.
struct AppState {
    explicit AppState(ui::Dialogs& shownThrough, std::string folder = ".")
        : programFolder(std::move(folder)), dialogs(shownThrough) {}

    Dataset dataset;
    // Undo and redo of the changes to the dataset.
    EditHistory history{dataset};
    Settings settings;
    // Recent files, last folders and window choices, kept in choicesFile when it is set.
    UserChoices choices;
    std::string choicesFile;
    // The category table the category editor shows.
    CategoryKind editedKind = kindFactions;
    // The picture name last handed to the picture window, in UTF-8.
    std::string imageToShow;
    TimelinePrintSettings timelinePrint;
    // How often unsaved changes are copied to the dataset's recovery file, in milliseconds.
    int recoveryIntervalMs = 2 * 60 * 1000;
    // The folder of the executable: "zem.ini", "title.bmp", "zem2help.TXT" and pictures.
    std::string programFolder;
    ui::Dialogs& dialogs;
    // Hands a web address or a document (UTF-8) to the system to open with its program; main
    // sets the real one, tests record what would have been opened.
    std::function<void(const std::string&)> shellOpen;
    // Starts a print document on the printer chosen in Reports > Setup, for texts in the given
    // encoding; main sets the real one, tests a recording one. Without one, nothing prints; it
    // gives nothing when the user cancels the choice of a PDF file's name.
    std::function<std::unique_ptr<Printer>(TextEncoding)> openPrinter;

    std::string programFile(const std::string& name) const { return programFolder + "/" + name; }
    // Writes the choices at once: they are worth keeping even when the program is killed. A
    // file that cannot be written costs only the convenience, and is not worth a message.
    void keepChoices() const {
        if (choicesFile.empty())
            return;
        try {
            writeUserChoices(choicesFile, choices);
        } catch (const std::exception&) {
        }
    }
};

} // namespace tess
