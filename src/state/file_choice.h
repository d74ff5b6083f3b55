#pragma once

#include "state/app_state.h"

#include <QString>

#include <optional>

namespace tess {

// The folder a dialog for the kind of file starts in: the one last used for that kind, else
// the open dataset's, else the user's home (never the program's own folder).
QString startFolder(const AppState& state, FileKind kind);

// The Open dialog for a kind of file, started in its folder; the chosen file's folder becomes
// the kind's folder.
std::optional<QString> chooseFileToOpen(AppState& state, FileKind kind, const QString& filter);
// The Save As dialog the same way; a proposed name without a folder is offered in the kind's
// folder.
std::optional<QString> chooseFileToSave(AppState& state, FileKind kind, const QString& filter,
                                        const QString& defaultSuffix, const QString& proposedName);

} // namespace tess
