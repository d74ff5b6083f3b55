#include "ui/qt_dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace ui {

QString qtFilter(const QString& filter) {
    const qsizetype bar = filter.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return filter;
    const QString description = filter.left(bar).trimmed();
    const QString patterns =
        filter.mid(bar + 1).trimmed().replace(QLatin1Char(';'), QLatin1Char(' '));
    return description + QStringLiteral(" (") + patterns + QLatin1Char(')');
}

QWidget* QtDialogs::parentWidget() const {
    if (QWidget* active = QApplication::activeModalWidget())
        return active;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return parent_.data();
}

void QtDialogs::message(const QString& text, const QString& title) {
    QMessageBox::information(parentWidget(), title.isEmpty() ? applicationTitle : title, text,
                             QMessageBox::Ok);
}

bool QtDialogs::question(const QString& text, const QString& title) {
    return QMessageBox::question(parentWidget(), title.isEmpty() ? applicationTitle : title, text,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::optional<QString> QtDialogs::input(const QString& prompt, const QString& title,
                                        const QString& preset) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parentWidget(), title.isEmpty() ? applicationTitle : title, prompt,
                              QLineEdit::Normal, preset, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<QString> QtDialogs::openFile(const QString& filter) {
    const QString path =
        QFileDialog::getOpenFileName(parentWidget(), QString(), QString(), qtFilter(filter));
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> QtDialogs::saveFile(const QString& filter, const QString& defaultSuffix,
                                           const QString& proposedName) {
    QFileDialog dialog(parentWidget(), QString(), QString(), qtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QString suffix = defaultSuffix;
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    if (!proposedName.isEmpty())
        dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<int32_t> QtDialogs::color(int32_t initial) {
    const QColor start(initial & 0xFF, (initial >> 8) & 0xFF, (initial >> 16) & 0xFF);
    const QColor chosen = QColorDialog::getColor(start, parentWidget());
    if (!chosen.isValid())
        return std::nullopt;
    return chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16);
}

bool QtDialogs::printerSetup() {
    QPrinter printer;
    QPrintDialog dialog(&printer, parentWidget());
    return dialog.exec() == QDialog::Accepted;
}

int QtDialogs::showModal(QDialog& dialog) {
    dialog.setWindowModality(Qt::ApplicationModal);
    return dialog.exec();
}

} // namespace ui
