#include "ui/qt_dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeView>

#include <cstdio>
#include <filesystem>

namespace ui {

QString qtFilter(const QString& filters) {
    // Several filters are separated by ";;", as Qt separates them.
    QStringList out;
    for (const QString& filter : filters.split(QStringLiteral(";;"))) {
        const qsizetype bar = filter.indexOf(QLatin1Char('|'));
        if (bar < 0) {
            out.append(filter);
            continue;
        }
        const QString description = filter.left(bar).trimmed();
        const QString patterns =
            filter.mid(bar + 1).trimmed().replace(QLatin1Char(';'), QLatin1Char(' '));
        out.append(description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return out.join(QStringLiteral(";;"));
}

QWidget* QtDialogs::parentWidget() const {
    if (QWidget* active = QApplication::activeModalWidget())
        return active;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    if (lastActive_)
        return lastActive_.data();
    return parent_.data();
}

void QtDialogs::report(const QString& text, const QString& title) const {
    // Nobody may be there to press a button: the message goes to standard error, one line.
    QString line = (title.isEmpty() ? applicationTitle : title) + QStringLiteral(": ") + text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
    std::fflush(stderr);
}

std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const QString& text,
                                            const QString& title,
                                            QMessageBox::StandardButtons buttons) {
    // Plain boxes: the title and the text say what the box is about, no icon is added.
    return std::make_unique<QMessageBox>(
        QMessageBox::NoIcon, title.isEmpty() ? applicationTitle : title, text, buttons, parent);
}

void QtDialogs::message(const QString& text, const QString& title) {
    if (unattended_) {
        report(text, title);
        return;
    }
    makeMessageBox(parentWidget(), text, title, QMessageBox::Ok)->exec();
}

bool QtDialogs::question(const QString& text, const QString& title) {
    if (unattended_) {
        report(text, title);
        return false;
    }
    return makeMessageBox(parentWidget(), text, title, QMessageBox::Yes | QMessageBox::No)
               ->exec() == QMessageBox::Yes;
}

Choice QtDialogs::choose(const QString& text, ChoiceButtons buttons, const QString& title) {
    // Nobody to answer: nothing is given up and nothing closes.
    if (unattended_) {
        report(text, title);
        return Choice::cancel;
    }
    auto box = makeMessageBox(parentWidget(), text, title, QMessageBox::NoButton);
    const bool saving = buttons == ChoiceButtons::saveDiscardCancel;
    QPushButton* yes = box->addButton(saving ? QStringLiteral("&Save") : QStringLiteral("&Yes"),
                                      QMessageBox::AcceptRole);
    QPushButton* no = box->addButton(saving ? QStringLiteral("&Discard") : QStringLiteral("&No"),
                                     saving ? QMessageBox::DestructiveRole : QMessageBox::NoRole);
    QPushButton* cancel = box->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box->setDefaultButton(yes);
    box->setEscapeButton(cancel);
    box->exec();
    if (box->clickedButton() == yes)
        return Choice::yes;
    if (box->clickedButton() == no)
        return Choice::no;
    return Choice::cancel;
}

std::optional<QString> QtDialogs::input(const QString& prompt, const QString& title,
                                        const QString& preset) {
    if (unattended_)
        return std::nullopt;
    bool ok = false;
    const QString text =
        QInputDialog::getText(parentWidget(), title.isEmpty() ? applicationTitle : title, prompt,
                              QLineEdit::Normal, preset, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

namespace {

// Qt's own dialog, in its detail view, wide enough that the size and the date of a file read
// whole: the name column takes what room is left.
void showColumnsWhole(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.resize(std::max(dialog.sizeHint().width(), 780),
                  std::max(dialog.sizeHint().height(), 460));
    if (auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = view->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
}

} // namespace

std::optional<QString> QtDialogs::openFile(const QString& filter, const QString& folder) {
    if (unattended_)
        return std::nullopt;
    QFileDialog dialog(parentWidget(), QString(), folder, qtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    showColumnsWhole(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtDialogs::saveFile(const QString& filter, const QString& defaultSuffix,
                                           const QString& proposedName) {
    if (unattended_)
        return std::nullopt;
    QFileDialog dialog(parentWidget(), QString(), QString(), qtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    showColumnsWhole(dialog);
    QString suffix = defaultSuffix;
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    // With several kinds offered, a name typed without an ending takes the chosen kind's.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        static const QRegularExpression ending(QStringLiteral("\\*\\.(\\w+)"));
        const QRegularExpressionMatch m = ending.match(f);
        if (m.hasMatch())
            dialog.setDefaultSuffix(m.captured(1));
    });
    if (!proposedName.isEmpty())
        dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<int32_t> QtDialogs::color(int32_t initial) {
    if (unattended_)
        return std::nullopt;
    const QColor start(initial & 0xFF, (initial >> 8) & 0xFF, (initial >> 16) & 0xFF);
    const QColor chosen = QColorDialog::getColor(start, parentWidget());
    if (!chosen.isValid())
        return std::nullopt;
    return chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16);
}

QPrinter& QtDialogs::printer() {
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

QtDialogs::QtDialogs(QWidget* parent) : parent_(parent) {
    if (qApp)
        tracking_ =
            QObject::connect(qApp, &QApplication::focusChanged, [this](QWidget*, QWidget* now) {
                QWidget* window = now ? now->window() : nullptr;
                if (window && !qobject_cast<QDialog*>(window))
                    lastActive_ = window;
            });
}

QtDialogs::~QtDialogs() {
    QObject::disconnect(tracking_);
}

namespace {
bool isSpecialFile(const QString& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(QFile::encodeName(path).toStdString(), ec);
    return !ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status) &&
           !std::filesystem::is_directory(status);
}

} // namespace

void PrintDialog::accept() {
    const auto* name = findChild<QLineEdit*>(QStringLiteral("filename"));
    if (name && name->isEnabled() && isSpecialFile(name->text())) {
        makeMessageBox(this,
                       name->text() + QStringLiteral(" is not a regular file.\nPlease choose a "
                                                     "different file name."),
                       windowTitle(), QMessageBox::Ok)
            ->exec();
        return;
    }
    QPrintDialog::accept();
}

bool QtDialogs::printerSetup() {
    if (unattended_)
        return false;
    // A FIFO chosen before is not offered again.
    if (isSpecialFile(printer().outputFileName()))
        printer().setOutputFileName(QString());
    PrintDialog dialog(&printer(), parentWidget());
    // The program prints whole documents: no ranges, selections or current pages to offer.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

int QtDialogs::showModal(QDialog& dialog) {
    if (unattended_)
        return QDialog::Rejected;
    dialog.setWindowModality(Qt::ApplicationModal);
    return dialog.exec();
}

} // namespace ui
