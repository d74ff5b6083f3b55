#include "app/app_state.h"
#include "app/zemmain.h"
#include "ui/qt_dialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QTimer>
#include <QUrl>

#include <csignal>
#include <cstdlib>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A termination signal (logout, kill) closes the program as Files > Exit would: the handler
// only writes to a pipe, and the event loop does the closing.
int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &c, 1);
}

void closeOnSignals(QObject* owner, ui::QtDialogs& dialogs) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [&dialogs] {
        char c = 0;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &c, 1);
        // A second signal while the first is being handled: the user insists.
        if (dialogs.unattended())
            std::_Exit(1);
        // Nobody may be there to answer a box: from here on messages go to standard error.
        dialogs.setUnattended(true);
        QApplication::closeAllWindows();
        QApplication::quit();
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGHUP, &sa, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessaline"));
    // No display name: the window system would append it to every caption.

    // A relative path names a file in the folder the program was started from; the window makes
    // its own folder current, so the path is made absolute first.
    const QStringList args = QCoreApplication::arguments();
    const QString datasetPath =
        args.size() > 1 ? QFileInfo(args.at(1)).absoluteFilePath() : QString();

    ui::QtDialogs dialogs;
    tess::AppState state(dialogs,
                         QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
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
    tess::ZemMain window(state);
    dialogs.setParent(&window);
    closeOnSignals(&window, dialogs);
    window.show();

    // A dataset named on the command line (as a file manager hands one over) is opened once
    // the window is up, as Files > Open would open it.
    if (!datasetPath.isEmpty())
        QTimer::singleShot(0, &window, [&window, datasetPath] { window.openPath(datasetPath); });
    return app.exec();
}
