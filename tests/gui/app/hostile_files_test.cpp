#include "app/zemmain.h"
#include "categories/category_windows.h"
#include "entry/field_rules.h"
#include "reports/report_windows.h"
#include "ui/dialogs.h"

#include "support/recording_printer.h"
#include "support/temp_dir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <filesystem>

using namespace tess;
using namespace testing_support;

namespace {

// Dialogs that answer everything as a hurried user would: OK, No, Cancel, and every window of
// the program's own accepted as it opens.
class HurriedDialogs : public ui::Dialogs {
public:
    int messages = 0;
    void message(const QString&, const QString&) override { ++messages; }
    bool question(const QString&, const QString&) override { return false; }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return QStringLiteral("Renamed");
    }
    std::optional<QString> openFile(const QString&) override { return std::nullopt; }
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

} // namespace

// Every damaged or hostile dataset the tests hold goes through every window: opened, charted,
// stepped through, reported, edited and printed, without a crash.
TEST(HostileFiles, EveryWindowSurvivesThem) {
    int files = 0;
    for (const char* folder : {"broken", "hostile"}) {
        for (const auto& entry : std::filesystem::directory_iterator(dataFile(folder))) {
            if (entry.path().extension() != ".qd3")
                continue;
            ++files;
            SCOPED_TRACE(entry.path().filename().string());
            TempDir program;
            HurriedDialogs dialogs;
            RecordingPrinter printer;
            AppState state(dialogs, program.path().string());
            state.openPrinter = [&printer](TextEncoding) { return printer.share(); };
            std::vector<std::string> opened;
            state.shellOpen = [&opened](const std::string& target) { opened.push_back(target); };
            ZemMain w(state);
            w.openPath(QString::fromStdString(entry.path().string()));
            EXPECT_EQ(dialogs.messages > 0, std::string(folder) == "broken");
            w.mnudisplay_Click();
            for (TimelineWindow* t : {w.peopleTimeline(), w.eventsTimeline()}) {
                t->mnuPrint_Click();
                t->rtbox1_Click(1, 3);
            }
            for (const EntrySide side : {EntrySide::people, EntrySide::events}) {
                EntryWindow e(state, side);
                e.show();
                for (int i = 0; i < 3; ++i) {
                    e.cmdLink->click();
                    e.cmdNext->click();
                }
                e.cmdPrev->click();
                e.savePending();
            }
            ReportWriter report(state);
            for (QCheckBox* c :
                 {report.Check1, report.Check2, report.Check3, report.Check4, report.Check5})
                c->setChecked(true);
            report.cmdOK_Click();
            report.mnuPrint_Click();
            for (const auto kind : {ChoiceReport::Kind::age, ChoiceReport::Kind::inMyLife}) {
                ChoiceReport choice(state, kind);
                if (choice.Combo1->count() > 0) {
                    choice.Combo1_Click(0);
                    choice.mnuPrint_Click();
                }
            }
            EditGroupings editor(state);
            editor.show();
            for (QRadioButton* o :
                 {editor.Option1, editor.Option2, editor.Option3, editor.Option4}) {
                o->click();
                editor.rtbox1_MouseUp(1);
                editor.rtbox1_MouseUp(32767);
                editor.cmdPrune_Click();
            }
            editor.cmdConsolidate_Click();
            w.close();
            // A link from a file is handed over only when it names a page or a document, never
            // a program: nothing in a dataset can make the program run anything.
            for (const std::string& target : opened) {
                const LinkKind kind = classifyLink(target);
                EXPECT_TRUE(kind == LinkKind::webAddress || kind == LinkKind::localDocument)
                    << target;
            }
        }
    }
    EXPECT_GE(files, 28);
}
