// Writes the icon theme's PNG sizes of the program's and the dataset files' icons, painted
// by the program's own code, under the folder given: hicolor/NxN/{apps,mimetypes}/.
#include "ui/app_icon.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons FOLDER\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = root + QStringLiteral("/hicolor/%1x%1/").arg(size);
        if (!QDir().mkpath(dir + QStringLiteral("apps")) ||
            !QDir().mkpath(dir + QStringLiteral("mimetypes")) ||
            !ui::paintAppIcon(size).save(dir + QStringLiteral("apps/tessaline.png")) ||
            !ui::paintDatasetIcon(size).save(
                dir + QStringLiteral("mimetypes/application-x-tessaline-dataset.png"))) {
            std::fprintf(stderr, "make_icons: cannot write the icons of size %d\n", size);
            return 1;
        }
    }
    return 0;
}
