#include "ui/export_file.h"

#include "core/file_error.h"
#include "core/file_io.h"
#include "ui/dialogs.h"

#include <QFile>
#include <QFileInfo>

namespace ui {

bool writeExport(Dialogs& dialogs, const QString& path, std::string_view bytes) {
    try {
        tess::writeFileAtomic(QFile::encodeName(path).toStdString(), bytes);
        return true;
    } catch (const tess::FileError& e) {
        dialogs.message(QString::fromUtf8(e.what()));
        return false;
    }
}

QString exportName(const tess::Dataset& ds, const QString& ending) {
    if (ds.fileName.empty())
        return ending.mid(1);
    const QFileInfo file(QFile::decodeName(QByteArray::fromStdString(ds.fileName)));
    return file.absolutePath() + QLatin1Char('/') + file.completeBaseName() + ending;
}

QString fileEnding(const QString& path) {
    return QFileInfo(path).suffix().toLower();
}

} // namespace ui
