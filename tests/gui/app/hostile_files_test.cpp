#include "app/zemmain.h"
#include "categories/category_windows.h"
#include "core/field_rules.h"
#include "core/file_error.h"
#include "core/import_file.h"
#include "core/legacy_file.h"
#include "core/qd3_file.h"
#include "reports/report_windows.h"
#include "state/settings.h"
#include "ui/dialogs.h"

#include "support/gui_test.h"
#include "support/recording_printer.h"

#include <sys/stat.h>

namespace {

// Dialogs that answer everything as a hurried user would: OK, No, Cancel, and every window of
// the program's own accepted as it opens.
class HurriedDialogs : public ui::Dialogs {
public:
    QStringList told;
    void message(const QString& text, const QString&) override { told.append(text); }
    bool question(const QString&, const QString&) override { return false; }
    ui::Choice choose(const QString&, ui::ChoiceButtons, const QString&) override {
        return ui::Choice::no;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return QStringLiteral("Renamed");
    }
    std::optional<QString> fileToOpen;
    std::optional<QString> openFile(const QString&, const QString&) override { return fileToOpen; }
    std::optional<QString> saveFile(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<int32_t> color(int32_t) override { return 0x123456; }
    bool printerSetup() override { return true; }
    int showModal(QDialog& dialog) override {
        dialog.show();
        dialog.accept();
        return QDialog::Accepted;
    }
};

// Goes through every window with whatever the main window holds: charted, stepped through,
// reported, edited and printed. Links handed to the desktop are collected in opened.
void driveEveryWindow(AppState& state, ZemMain& w) {
    w.mnudisplay_Click();
    for (auto* t : {topLevel<TimelineWindow>("Ptime"), topLevel<TimelineWindow>("Etime")}) {
        t->mnuPrint_Click();
        t->rtbox1_Click(1, 3);
    }
    for (const Side side : {Side::people, Side::events}) {
        EntryWindow e(state, side);
        EntryControls ec(e);
        e.show();
        for (int i = 0; i < 3; ++i) {
            ec.cmdLink->click();
            e.picture_Click();
            ec.cmdNext->click();
        }
        ec.cmdPrev->click();
        e.savePending();
    }
    ReportWriter report(state);
    for (const char* c : {"Check1", "Check2", "Check3", "Check4", "Check5"})
        child<QCheckBox>(report, c)->setChecked(true);
    report.cmdOK_Click();
    report.mnuPrint_Click();
    for (const auto kind : {ChoiceReport::Kind::age, ChoiceReport::Kind::inMyLife}) {
        ChoiceReport choice(state, kind);
        if (child<QComboBox>(choice, "Combo1")->count() > 0) {
            choice.Combo1_Click(0);
            choice.mnuPrint_Click();
        }
    }
    EditGroupings editor(state);
    editor.show();
    for (const char* o : {"Option1", "Option2", "Option3", "Option4"}) {
        child<QRadioButton>(editor, o)->click();
        editor.rtbox1_MouseUp(1);
        editor.rtbox1_MouseUp(32767);
        editor.cmdPrune_Click();
    }
    editor.cmdConsolidate_Click();
}

enum class Input { dataset, older, settings, gedcom };

struct Case {
    std::filesystem::path file;
    Input input;
    bool broken;
};

std::vector<Case> hostileCases() {
    std::vector<Case> cases;
    for (const char* folder : {"broken", "hostile", "broken/qd2", "broken/ini"}) {
        for (const auto& entry : std::filesystem::directory_iterator(dataFile(folder))) {
            const std::string ext = entry.path().extension().string();
            const Input input = ext == ".qd3"   ? Input::dataset
                                : ext == ".qd2" ? Input::older
                                : ext == ".ged" ? Input::gedcom
                                                : Input::settings;
            if (entry.is_regular_file())
                cases.push_back({entry.path(), input, folder != std::string("hostile")});
        }
    }
    return cases;
}

} // namespace

// Every damaged or hostile dataset, older file, GEDCOM file and settings file the tests hold goes
// through every window without a crash, and leaves the program as it should: a damaged dataset or
// older file told about and not loaded, a GEDCOM file refused at a line or imported into a dataset
// that opens, a damaged "zem.ini" quietly replaced by sound settings with the timelines on the
// screen.
TEST(HostileFiles, EveryWindowSurvivesThem) {
    int counts[4] = {};
    for (const Case& c : hostileCases()) {
        ++counts[static_cast<int>(c.input)];
        SCOPED_TRACE(c.file.string());
        TempDir program;
        HurriedDialogs dialogs;
        RecordingPrinter printer;
        const std::string settingsFile = (program.path() / settingsFileName).string();
        if (c.input == Input::settings)
            std::filesystem::copy_file(c.file, settingsFile);
        // A picture name that leads to a pipe must not wait for a writer that never comes.
        ASSERT_EQ(::mkfifo((program.path() / "pipe.bmp").c_str(), 0600), 0);
        AppState state(dialogs, program.path().string());
        state.openPrinter = [&printer](TextEncoding) { return printer.share(); };
        std::vector<std::string> opened;
        state.shellOpen = [&opened](const std::string& target) { opened.push_back(target); };
        ZemMain w(state);
        if (c.input == Input::older) {
            // Converted beside a copy, so that the copy made is the test's own.
            const auto older = program.path() / c.file.filename();
            std::filesystem::copy_file(c.file, older);
            dialogs.fileToOpen = q(older.string());
            w.Command1_Click();
            EXPECT_EQ(std::filesystem::exists(convertedFileName(older.string())), !c.broken);
        } else {
            std::string file =
                c.input == Input::dataset ? c.file.string() : dataFile("golden/basic/input.qd3");
            if (c.input == Input::gedcom) {
                try {
                    ImportResult imported = importFile(c.file.string());
                    file = program.file("imported.qd3");
                    writeDataset(imported.dataset, file);
                } catch (const FileError& e) {
                    EXPECT_TRUE(std::string(e.what()).starts_with("line ")) << e.what();
                }
            }
            w.document().openPath(q(file));
        }
        // A damaged file is described; a sound one opens quietly, or converts and says so.
        const std::string expected = c.input == Input::older && !c.broken ? "Conversion complete"
                                     : c.broken && c.input != Input::settings ? "at line"
                                                                              : "";
        ASSERT_EQ(dialogs.told.size(), expected.empty() ? 0u : 1u);
        if (!expected.empty()) {
            EXPECT_NE(dialogs.told[0].toStdString().find(expected), std::string::npos);
        }
        EXPECT_EQ(state.dataset.loaded, !c.broken || c.input == Input::settings);
        driveEveryWindow(state, w);
        if (c.input == Input::settings) {
            const QRect screen = w.screen()->availableGeometry();
            for (auto* t : {topLevel<TimelineWindow>("Ptime"), topLevel<TimelineWindow>("Etime")}) {
                EXPECT_TRUE(screen.contains(t->frameGeometry())) << t->frameGeometry().x();
                EXPECT_GE(t->width(), 100);
            }
        }
        w.close();
        // What is written back on the way out is sound, whatever was read.
        EXPECT_EQ(formatSettings(readSettings(settingsFile)), readBytes(settingsFile));
        // A link from a file is handed over only when it names a page or a document, never a
        // program: nothing in a dataset can make the program run anything.
        if (c.file.filename() == "links_that_run.qd3") {
            EXPECT_EQ(opened, std::vector<std::string>{}); // a program, a launcher, a script
        }
        for (const std::string& target : opened) {
            const LinkKind kind = classifyLink(target);
            EXPECT_TRUE(kind == LinkKind::webAddress || kind == LinkKind::localDocument) << target;
        }
    }
    EXPECT_GE(counts[static_cast<int>(Input::dataset)], 29);
    EXPECT_GE(counts[static_cast<int>(Input::older)], 14);
    EXPECT_GE(counts[static_cast<int>(Input::settings)], 11);
    EXPECT_GE(counts[static_cast<int>(Input::gedcom)], 16);
}
