#include "app/help_viewer.h"

#include "core/file_error.h"
#include "core/file_io.h"
#include "core/text_encoding.h"
#include "ui/text_codec.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>

namespace tess {

HelpViewer* HelpViewer::open(const QString& path) {
    std::string bytes;
    try {
        bytes = readWholeFile(QFile::encodeName(path).toStdString());
    } catch (const FileError&) {
        return nullptr;
    }
    auto* viewer = new HelpViewer(ui::toQString(bytes, detectEncoding(bytes)));
    viewer->setWindowTitle(QFileInfo(path).fileName());
    return viewer;
}

HelpViewer::HelpViewer(const QString& text) {
    setObjectName(QStringLiteral("helpViewer"));
    setAttribute(Qt::WA_DeleteOnClose);
    setReadOnly(true);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setPlainText(text);
}

} // namespace tess
