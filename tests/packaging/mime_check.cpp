// Prints the MIME type the desktop's database gives each file named, as a file manager would
// look it up, and the icon it shows for it.
#include <QCoreApplication>
#include <QMimeDatabase>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QMimeDatabase db;
    for (const QString& file : QCoreApplication::arguments().mid(1)) {
        const QMimeType type = db.mimeTypeForFile(file);
        std::printf("%s %s\n", qPrintable(type.name()), qPrintable(type.iconName()));
    }
    return 0;
}
