#include "reports/report_windows.h"

#include "core/numbers.h"
#include "core/text_encoding.h"
#include "reports/report_printing.h"
#include "ui/dialogs.h"
#include "ui/export_file.h"
#include "ui/geometry.h"
#include "ui/named.h"
#include "ui/option_frame.h"
#include "ui/tab_order.h"
#include "ui/text_codec.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QVBoxLayout>

namespace tess {

namespace {

QString number(int n) {
    return QString::number(n);
}

// A read-only plain text in a fixed-pitch font, lines wrapped at the window's width.
QPlainTextEdit* reportText(QWidget* parent) {
    auto* t = ui::named(new QPlainTextEdit(parent), "Text1");
    t->setReadOnly(true);
    t->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The text arrives whole at every build: no undo history to keep.
    t->setUndoRedoEnabled(false);
    return t;
}

// The text of a report (CR LF line breaks, the dataset's encoding) as the text area shows it.
QString shownText(const std::string& report, TextEncoding encoding) {
    QString text = ui::toQString(report, encoding);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

// Prints a report on the chosen printer and says how many lines went, or why none did.
void printOnPrinter(AppState& state, const std::string& text) {
    if (!state.openPrinter)
        return;
    try {
        std::unique_ptr<Printer> printer = state.openPrinter(state.dataset.encoding);
        if (!printer) // the choice of a PDF file's name was cancelled
            return;
        const long long lines = printReport(*printer, text, state.dataset.encoding);
        state.dialogs.message(QString::fromStdString(printedMessage(lines)));
    } catch (const PrintError& e) {
        state.dialogs.message(QString::fromUtf8(e.what()));
    }
}

QMenuBar* printMenu(QDialog* window, QAction*& print, QAction*& exportText) {
    auto* bar = new QMenuBar(window);
    print = bar->addAction(QStringLiteral("&Print"));
    print->setObjectName(QStringLiteral("mnuPrint"));
    print->setVisible(false);
    exportText = bar->addAction(QStringLiteral("Exp&ort"));
    exportText->setObjectName(QStringLiteral("mnuExport"));
    exportText->setVisible(false);
    return bar;
}

// Saves a report's text as a UTF-8 text file, its line breaks as they are.
void exportReport(AppState& state, const std::string& text, const QString& ending) {
    const std::optional<QString> path =
        state.dialogs.saveFile(QStringLiteral("Text file | *.txt"), QStringLiteral(".txt"),
                               ui::exportName(state.dataset, ending));
    if (path)
        ui::writeExport(state.dialogs, *path, toUtf8(text, state.dataset.encoding));
}

} // namespace

ReportWriter::ReportWriter(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("rpt1"));
    ui::tabInReadingOrderWhenShown(*this);
    setWindowTitle(QStringLiteral("Report Writer"));
    QMenuBar* bar = printMenu(this, printAction_, exportAction_);

    auto* outer = new QVBoxLayout(this);
    outer->setMenuBar(bar);
    outer->setContentsMargins(0, 0, 0, 0);
    // The report sits at the window's top left and follows the window's size by its own rule;
    // the options stay below it, so that the report can be built again with others.
    auto* reportArea = new QWidget(this);
    outer->addWidget(reportArea, 1);
    reportView_ = ui::named(new ChartView(reportArea), "Text1");
    reportView_->setBackgroundColor(0xFFFFFF);
    reportView_->hide();

    optionsStrip_ = ui::named(new QWidget(this), "options");
    outer->addWidget(optionsStrip_);
    auto* row = new QHBoxLayout(optionsStrip_);

    const ui::OptionFrame type = ui::optionFrame(
        optionsStrip_, QStringLiteral("Report Type"), "Frame1",
        {{"OptPeople", QStringLiteral("People")}, {"OptEvents", QStringLiteral("Events")}});
    peopleOption_ = type.options[0];
    row->addWidget(type.frame);

    auto* dates = new QGridLayout();
    auto* startLabel = ui::named(new QLabel(QStringLiteral("Start Date"), optionsStrip_), "Label1");
    startYearBox_ = ui::named(new QLineEdit(optionsStrip_), "date1");
    auto* endLabel = ui::named(new QLabel(QStringLiteral("End Date"), optionsStrip_), "Label2");
    endYearBox_ = ui::named(new QLineEdit(optionsStrip_), "date2");
    for (QLineEdit* d : {startYearBox_, endYearBox_}) {
        d->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-000000")) + 16);
        d->installEventFilter(this);
    }
    // The date fields and the buttons stand level with the options of the boxes beside them,
    // below the boxes' titles, so that they read (and Tab goes) row by row.
    const int belowTitle = fontMetrics().height();
    dates->setContentsMargins(0, belowTitle, 0, 0);
    dates->addWidget(startLabel, 0, 0);
    dates->addWidget(startYearBox_, 0, 1);
    dates->addWidget(endLabel, 1, 0);
    dates->addWidget(endYearBox_, 1, 1);
    row->addLayout(dates);

    auto* columnsFrame =
        ui::named(new QGroupBox(QStringLiteral("Include the following"), optionsStrip_), "Frame2");
    auto* f2 = new QGridLayout(columnsFrame);
    const char* checkNames[] = {"Check1", "Check2", "Check3", "Check4", "Check5", "Check6"};
    const QString captions[] = {QStringLiteral("Dates"),        QStringLiteral("Groupings"),
                                QStringLiteral("Descriptions"), QStringLiteral("Assocd image"),
                                QStringLiteral("URL link"),     QStringLiteral("URL only")};
    QCheckBox** checks[] = {&datesCheck_, &groupingsCheck_, &descriptionsCheck_,
                            &imageCheck_, &urlCheck_,       &urlOnlyCheck_};
    for (int i = 0; i < 6; ++i) {
        *checks[i] = ui::named(new QCheckBox(captions[i], columnsFrame), checkNames[i]);
        f2->addWidget(*checks[i], i % 2, i / 2);
    }
    urlCheck_->setToolTip(QStringLiteral("Include URLs where present"));
    urlOnlyCheck_->setToolTip(QStringLiteral("List only items with URL links"));
    row->addWidget(columnsFrame);

    auto* buttons = new QVBoxLayout();
    buttons->setContentsMargins(0, belowTitle, 0, 0);
    auto* okButton = ui::named(new QPushButton(QStringLiteral("OK"), optionsStrip_), "cmdOK");
    auto* cancelButton =
        ui::named(new QPushButton(QStringLiteral("Cancel"), optionsStrip_), "cmdCancel");
    okButton->setDefault(true);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    buttons->addStretch();
    row->addLayout(buttons);

    // The view paints rows and has no selection of its own: Copy takes the whole report.
    auto* copy = new QShortcut(QKeySequence::Copy, reportView_);
    copy->setContext(Qt::WidgetWithChildrenShortcut);
    connect(copy, &QShortcut::activated, this, &ReportWriter::copyReport);
    reportView_->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* copyAction = new QAction(QStringLiteral("&Copy report"), reportView_);
    copyAction->setObjectName(QStringLiteral("copyReport"));
    reportView_->addAction(copyAction);
    connect(copyAction, &QAction::triggered, this, &ReportWriter::copyReport);
    reportView_->setFocusPolicy(Qt::StrongFocus);
    connect(okButton, &QPushButton::clicked, this, &ReportWriter::cmdOK_Click);
    connect(cancelButton, &QPushButton::clicked, this, &ReportWriter::cmdCancel_Click);
    connect(printAction_, &QAction::triggered, this, &ReportWriter::mnuPrint_Click);
    connect(exportAction_, &QAction::triggered, this, [this] {
        exportReport(state_, text_,
                     peopleOption_->isChecked() ? QStringLiteral("-people.txt")
                                                : QStringLiteral("-events.txt"));
    });

    const double dpi = ui::logicalDpi(this);
    resize(ui::twipsToPixels(11000, dpi), ui::twipsToPixels(7200, dpi));
    Form_Load();
}

void ReportWriter::Form_Load() {
    ui::centerForm(*this);
    startYearBox_->setText(number(state_.dataset.earliestDate));
    endYearBox_->setText(number(state_.dataset.latestDate));
    peopleOption_->setChecked(true);
    printAction_->setVisible(false);
    exportAction_->setVisible(false);
}

void ReportWriter::date1_LostFocus() {
    const Dataset& ds = state_.dataset;
    startYearBox_->setText(number(
        reportStartRule(startYearBox_->text().toStdString(), ds.earliestDate, ds.latestDate)));
}

void ReportWriter::date2_LostFocus() {
    endYearBox_->setText(
        number(reportEndRule(endYearBox_->text().toStdString(), startYearBox_->text().toStdString(),
                             state_.dataset.latestDate)));
}

bool ReportWriter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (watched == startYearBox_)
            date1_LostFocus();
        else if (watched == endYearBox_)
            date2_LostFocus();
    }
    return QDialog::eventFilter(watched, event);
}

void ReportWriter::cmdOK_Click() {
    // Enter in a date box presses OK without the box losing the focus; its rule runs first.
    if (startYearBox_->hasFocus())
        date1_LostFocus();
    if (endYearBox_->hasFocus())
        date2_LostFocus();
    const Dataset& ds = state_.dataset;
    const int start = static_cast<int>(readLeadingNumber(startYearBox_->text().toStdString()));
    const int end = static_cast<int>(readLeadingNumber(endYearBox_->text().toStdString()));
    const bool people = peopleOption_->isChecked();
    setWindowTitle(people ? QStringLiteral("People") : QStringLiteral("Events"));
    ListingColumns c;
    c.dates = datesCheck_->isChecked();
    c.groupings = groupingsCheck_->isChecked();
    c.descriptions = descriptionsCheck_->isChecked();
    c.image = imageCheck_->isChecked();
    c.url = urlCheck_->isChecked();
    c.urlOnly = urlOnlyCheck_->isChecked();
    text_ = buildListing(ds, people ? Side::people : Side::events, start, end, c);
    reportView_->setChart(reportLines(text_, ds.encoding), ds.encoding);
    reportView_->show();
    printAction_->setVisible(true);
    exportAction_->setVisible(true);
    Form_Resize();
}

void ReportWriter::mnuPrint_Click() {
    printOnPrinter(state_, text_);
}

void ChoiceReport::mnuPrint_Click() {
    printOnPrinter(state_, text_);
}

void ReportWriter::copyReport() {
    QGuiApplication::clipboard()->setText(shownText(text_, state_.dataset.encoding));
}

void ReportWriter::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

void ReportWriter::Form_Resize() {
    fitText(ui::outerRectTwips(*this));
}

void ReportWriter::fitText(const QRect& outer) {
    if (outer.width() <= 60 || outer.height() <= 650)
        return;
    const double dpi = ui::logicalDpi(this);
    // The options strip is taken from the height the rule leaves, so that it stays in sight,
    // and the report never runs past the area above it (a window frame takes its share too).
    const QWidget* area = reportView_->parentWidget();
    const int height = std::min(ui::twipsToPixels(outer.height() - 650, dpi) -
                                    (optionsStrip_ ? optionsStrip_->sizeHint().height() : 0),
                                area->height());
    const int width = std::min(ui::twipsToPixels(outer.width() - 60, dpi), area->width());
    reportView_->setGeometry(0, 0, std::max(width, 0), std::max(height, 0));
}

ChoiceReport::ChoiceReport(AppState& state, Kind kind, QWidget* parent)
    : QDialog(parent), state_(state), kind_(kind) {
    const bool age = kind == Kind::age;
    setObjectName(age ? QStringLiteral("AgeReport") : QStringLiteral("inMyLife"));
    ui::tabInReadingOrderWhenShown(*this);
    setWindowTitle(age ? QStringLiteral("Age Report") : QStringLiteral("In My Life..."));
    QMenuBar* bar = printMenu(this, printAction_, exportAction_);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* area = new QWidget(this);
    layout->addWidget(area, 1);
    promptLabel_ = ui::named(
        new QLabel(age ? QStringLiteral("Choose an event") : QStringLiteral("Choose a person"),
                   area),
        "Label1");
    choiceBox_ = ui::named(new QComboBox(area), "Combo1");
    choiceBox_->setPlaceholderText(QStringLiteral("Combo1"));
    choiceBox_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    choiceBox_->setMinimumContentsLength(40);
    reportView_ = reportText(area);
    const double dpi = ui::logicalDpi(this);
    promptLabel_->move(ui::twipsToPixels(240, dpi), ui::twipsToPixels(120, dpi));
    promptLabel_->adjustSize();
    choiceBox_->move(ui::twipsToPixels(240, dpi), ui::twipsToPixels(420, dpi));
    choiceBox_->adjustSize();
    reportView_->move(ui::twipsToPixels(240, dpi), ui::twipsToPixels(960, dpi));
    connect(choiceBox_, &QComboBox::activated, this, &ChoiceReport::Combo1_Click);
    connect(printAction_, &QAction::triggered, this, &ChoiceReport::mnuPrint_Click);
    connect(exportAction_, &QAction::triggered, this, [this] {
        exportReport(state_, text_,
                     kind_ == Kind::age ? QStringLiteral("-age.txt")
                                        : QStringLiteral("-in-my-life.txt"));
    });
    resize(ui::twipsToPixels(7200, dpi), ui::twipsToPixels(6000, dpi));
    Form_Load();
}

void ChoiceReport::Form_Load() {
    printAction_->setVisible(false);
    exportAction_->setVisible(false);
    promptLabel_->show();
    choiceBox_->show();
    const Dataset& ds = state_.dataset;
    ChoiceList list = reportChoices(ds, kind_ == Kind::age ? Side::events : Side::people);
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(list.texts.size()));
    for (const std::string& t : list.texts)
        texts.append(ui::toQString(t, ds.encoding));
    choiceBox_->clear();
    choiceBox_->addItems(texts);
    choiceBox_->setCurrentIndex(-1);
    indexes_ = std::move(list.indexes);
}

void ChoiceReport::Combo1_Click(int k) {
    if (k < 0 || static_cast<size_t>(k) >= indexes_.size())
        return;
    const Dataset& ds = state_.dataset;
    const int record = indexes_[static_cast<size_t>(k)];
    text_ = kind_ == Kind::age ? ageReport(ds, record) : inMyLifeReport(ds, record);
    reportView_->setPlainText(shownText(text_, ds.encoding));
    promptLabel_->hide();
    printAction_->setVisible(true);
    exportAction_->setVisible(true);
}

void ChoiceReport::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

void ChoiceReport::Form_Resize() {
    fitText(ui::outerRectTwips(*this));
}

void ChoiceReport::fitText(const QRect& outer) {
    const double dpi = ui::logicalDpi(this);
    const bool age = kind_ == Kind::age;
    const int minHeight = age ? 1650 : 1600;
    if (outer.width() <= 600 || outer.height() <= minHeight)
        return;
    reportView_->resize(ui::twipsToPixels(outer.width() - (age ? 600 : 500), dpi),
                        ui::twipsToPixels(outer.height() - minHeight, dpi));
}

} // namespace tess
