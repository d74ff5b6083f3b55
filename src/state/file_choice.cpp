#include "state/file_choice.h"

#include "ui/dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tess {

namespace {

QString fromPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::optional<QString> remember(AppState& state, FileKind kind, std::optional<QString> chosen) {
    if (chosen) {
        state.choices.noteFolderOf(kind, QFile::encodeName(*chosen).toStdString());
        state.keepChoices();
    }
    return chosen;
}

} // namespace

QString startFolder(const AppState& state, FileKind kind) {
    const QString kept = fromPath(state.choices.folder(kind));
    if (!kept.isEmpty() && QFileInfo(kept).isDir())
        return kept;
    if (!state.dataset.fileName.empty()) {
        const QString own = QFileInfo(fromPath(state.dataset.fileName)).absolutePath();
        if (QFileInfo(own).isDir())
            return own;
    }
    return QDir::homePath();
}

std::optional<QString> chooseFileToOpen(AppState& state, FileKind kind, const QString& filter) {
    return remember(state, kind, state.dialogs.openFile(filter, startFolder(state, kind)));
}

std::optional<QString> chooseFileToSave(AppState& state, FileKind kind, const QString& filter,
                                        const QString& defaultSuffix, const QString& proposedName) {
    QString proposed = proposedName;
    if (!proposed.contains(QLatin1Char('/')))
        proposed = startFolder(state, kind) + QLatin1Char('/') + proposed;
    return remember(state, kind, state.dialogs.saveFile(filter, defaultSuffix, proposed));
}

} // namespace tess
