#include "app/program_folder.h"
#include "app/termination.h"
#include "app/zemmain.h"
#include "core/text_encoding.h"
#include "state/app_state.h"
#include "ui/app_icon.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_printer.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>
#include <QUrl>

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessaline"));
    // No display name: the window system would append it to every caption.

    // A relative path names a file in the folder the program was started from; the window makes
    // its own folder current, so the path is made absolute first.
    const QStringList args = QCoreApplication::arguments();
    const QString datasetPath =
        args.size() > 1 ? QFileInfo(args.at(1)).absoluteFilePath() : QString();

    // Launchers and window lists match the program's windows to its installed .desktop file.
    QGuiApplication::setDesktopFileName(QStringLiteral("tessaline"));
    QApplication::setWindowIcon(ui::appIcon());

    const tess::ProgramFolder folder = tess::chooseProgramFolder(
        QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString(),
        TESSALINE_SHARED_FROM_BIN,
        tess::xdgDataHome(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")));

    ui::QtDialogs dialogs;
    tess::AppState state(dialogs, folder.path);
    // Links have been checked by then: a web address, or a document in the program's folder.
    state.shellOpen = [](const std::string& target) {
        const QString text = QString::fromStdString(target).trimmed();
        if (text.contains(QStringLiteral("://"))) {
            QDesktopServices::openUrl(QUrl(text));
            return;
        }
        // A page of the program's folder, with its #fragment or ?query kept apart from the name.
        const qsizetype cut = text.indexOf(QRegularExpression(QStringLiteral("[#?]")));
        QUrl url = QUrl::fromLocalFile(QDir::current().absoluteFilePath(text.left(cut)));
        if (cut >= 0) {
            const QUrl rest(text.mid(cut));
            url.setQuery(rest.query());
            url.setFragment(rest.fragment());
        }
        QDesktopServices::openUrl(url);
    };
    // Printing goes to the printer chosen in Reports > Setup (a PDF file where there is none).
    QString lastPdf;
    state.openPrinter = [&dialogs, &lastPdf](tess::TextEncoding encoding) {
        return ui::openChosenPrinter(dialogs.printer(), dialogs, lastPdf, encoding);
    };
    tess::ZemMain window(state);
    dialogs.setParent(&window);
    tess::endOnTerminationSignals(window, dialogs);
    window.show();
    // The program runs on from the shared files, but settings will not keep: the user is told
    // now rather than at exit.
    if (!folder.problem.empty())
        QTimer::singleShot(0, &window, [&dialogs, &folder] {
            dialogs.message(QString::fromStdString(
                tess::displayText(folder.problem, tess::TextEncoding::utf8, 400)));
        });

    // A dataset named on the command line (as a file manager hands one over) is opened once
    // the window is up, as Files > Open would open it.
    // Otherwise changes to a dataset without a file name that were never saved are offered.
    QTimer::singleShot(0, &window, [&window, datasetPath] {
        if (datasetPath.isEmpty())
            window.document().offerUnnamedRecovery();
        else
            window.document().openPath(datasetPath);
    });
    return app.exec();
}
