#include "timeline/timeline_window.h"

#include "core/dataset_change.h"
#include "core/numbers.h"
#include "core/year_text.h"
#include "state/file_choice.h"
#include "timeline/chart.h"
#include "timeline/chart_export.h"
#include "timeline/chart_image.h"
#include "timeline/chart_printing.h"
#include "timeline/print_window.h"
#include "timeline/select_window.h"
#include "timeline/stats_window.h"
#include "ui/dialogs.h"
#include "ui/export_file.h"
#include "ui/geometry.h"

#include <QAction>
#include <QBuffer>
#include <QCoreApplication>
#include <QDockWidget>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProgressDialog>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTreeWidget>

#include <cmath>
#include <limits>

namespace tess {

TimelineWindow::TimelineWindow(AppState& state, Side side, QWidget* parent)
    : QMainWindow(parent), state_(state), side_(side) {
    const bool people = side == Side::people;
    setObjectName(people ? QStringLiteral("Ptime") : QStringLiteral("Etime"));
    setWindowTitle(people ? QStringLiteral("People Timeline") : QStringLiteral("Events Timeline"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* central = new QWidget(this);
    setCentralWidget(central);
    chartView_ = new ChartView(central);
    chartView_->setObjectName(QStringLiteral("rtbox1"));
    chartView_->setToolTip(QStringLiteral("Click on an item to bring up additional information"));
    ruler_ = new YearRuler(central);
    ruler_->setObjectName(QStringLiteral("ruler"));
    ruler_->setYearStyle(state_.choices.yearStyle());
    step_ = state_.choices.zoomStep(side_);

    legendDock_ = new QDockWidget(QStringLiteral("Legend"), this);
    legendDock_->setObjectName(QStringLiteral("legendPanel"));
    legendDock_->setFeatures(QDockWidget::NoDockWidgetFeatures);
    legendList_ = new QTreeWidget(legendDock_);
    legendList_->setObjectName(QStringLiteral("legend"));
    legendList_->setColumnCount(2);
    legendList_->setHeaderLabels({QStringLiteral("Category"), QStringLiteral("Lines")});
    legendList_->setRootIsDecorated(false);
    legendList_->header()->setStretchLastSection(false);
    legendList_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    legendList_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    legendList_->setToolTip(QStringLiteral("Click a category to highlight its first line"));
    legendDock_->setWidget(legendList_);
    addDockWidget(Qt::RightDockWidgetArea, legendDock_);
    auto showCategory = [this](QTreeWidgetItem* item) {
        const int row = legendList_->indexOfTopLevelItem(item);
        if (row >= 0 && static_cast<size_t>(row) < legend_.size())
            showLine(legend_[static_cast<size_t>(row)].firstLine);
    };
    connect(legendList_, &QTreeWidget::itemClicked, this, showCategory);
    connect(legendList_, &QTreeWidget::itemActivated, this, showCategory);
    // The chart is placed by hand (its size follows the window's by a rule): it is placed
    // again whenever the room for it changes, as when the legend is shown or hidden.
    central->installEventFilter(this);

    auto action = [this](const char* name, const QString& caption) {
        QAction* a = menuBar()->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    QAction* selectAction = action("mnuselect", QStringLiteral("&Select"));
    QAction* statsAction = action("mnuStats", QStringLiteral("S&tats"));
    QAction* printAction = action("mnuPrint", QStringLiteral("&Print"));
    QAction* exportAction = action("mnuExport", QStringLiteral("Exp&ort"));
    linkAction_ = action("mnuLink", QStringLiteral("&Link scrolling"));
    linkAction_->setCheckable(true);
    linkAction_->setChecked(state_.settings.linkScrolling);
    linkAction_->setToolTip(
        QStringLiteral("Scrolling this chart sideways scrolls the other to the same years"));
    QAction* exitAction = action("mnuExit", QStringLiteral("E&xit"));

    QMenu* zoom = menuBar()->addMenu(QStringLiteral("&Zoom"));
    auto item = [this](QMenu* menu, const char* name, const QString& caption,
                       QList<QKeySequence> keys) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcuts(keys);
        // The window's keys work wherever the focus is in it, the legend included.
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
        return a;
    };
    zoomInAction_ =
        item(zoom, "mnuZoomIn", QStringLiteral("Zoom &In"),
             {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    zoomOutAction_ = item(zoom, "mnuZoomOut", QStringLiteral("Zoom &Out"),
                          {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    QAction* fitAction =
        item(zoom, "mnuZoomFit", QStringLiteral("&Fit"), {QKeySequence(Qt::CTRL | Qt::Key_0)});
    QAction* actualAction = item(zoom, "mnuZoomActual", QStringLiteral("&Actual Size"),
                                 {QKeySequence(Qt::CTRL | Qt::Key_1)});
    connect(zoomInAction_, &QAction::triggered, this, &TimelineWindow::zoomIn);
    connect(zoomOutAction_, &QAction::triggered, this, &TimelineWindow::zoomOut);
    connect(fitAction, &QAction::triggered, this, &TimelineWindow::zoomToFit);
    connect(actualAction, &QAction::triggered, this, [this] { setZoomStep(1); });
    auto zoomBy = [this](int direction) { direction > 0 ? zoomIn() : zoomOut(); };
    connect(chartView_, &ChartView::zoomRequested, this, zoomBy);
    connect(ruler_, &YearRuler::zoomRequested, this, zoomBy);

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    legendAction_ = item(view, "mnuLegend", QStringLiteral("&Legend"), {QKeySequence(Qt::Key_L)});
    legendAction_->setCheckable(true);
    signedAction_ = item(view, "mnuSignedYears", QStringLiteral("&Signed years"), {});
    signedAction_->setCheckable(true);
    signedAction_->setChecked(state_.choices.yearStyle() == YearStyle::signedNumbers);
    signedAction_->setToolTip(QStringLiteral("Years before the era as -44 rather than 44 BC"));
    connect(legendAction_, &QAction::toggled, this, &TimelineWindow::showLegend);
    connect(signedAction_, &QAction::toggled, this, &TimelineWindow::useSignedYears);
    legendAction_->setChecked(state_.choices.legendShown(side_));
    legendDock_->setVisible(legendAction_->isChecked());
    connect(linkAction_, &QAction::toggled, this, &TimelineWindow::mnuLink_Click);
    // A menu bar draws no tick for a checked entry: its caption carries a box that shows it.
    auto showLink = [this](bool on) {
        linkAction_->setText((on ? QStringLiteral("\u2611 ") : QStringLiteral("\u2610 ")) +
                             QStringLiteral("&Link scrolling"));
    };
    showLink(linkAction_->isChecked());
    connect(linkAction_, &QAction::toggled, this, showLink);
    connect(exportAction, &QAction::triggered, this, &TimelineWindow::mnuExport_Click);
    auto* goTo = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_G), this);
    connect(goTo, &QShortcut::activated, this, &TimelineWindow::goToYear);
    chartView_->setKeyboardLines(true);
    chartView_->toolTipFor = [this](int line, long long column) { return toolTipAt(line, column); };
    connect(chartView_, &ChartView::lineActivated, this,
            [this](int line) { rtbox1_Click(line, 0); });
    connect(chartView_->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int x) {
        ruler_->setScrollX(x);
        if (!zooming_)
            centreAim_.reset();
        if (!following_ && state_.settings.linkScrolling)
            emit yearsScrolled(leftYear());
    });
    connect(chartView_, &ChartView::columnHovered, this, [this](long long column) {
        ruler_->setHoverColumn(column < 0 ? std::nullopt : std::optional(column));
    });
    connect(selectAction, &QAction::triggered, this, &TimelineWindow::mnuselect_Click);
    connect(statsAction, &QAction::triggered, this, &TimelineWindow::mnuStats_Click);
    connect(printAction, &QAction::triggered, this, &TimelineWindow::mnuPrint_Click);
    connect(exitAction, &QAction::triggered, this, &TimelineWindow::mnuExit_Click);
    connect(chartView_, &ChartView::lineClicked, this, &TimelineWindow::rtbox1_Click);
    Form_Load();
}

void TimelineWindow::mnuPrint_Click() {
    // A cancelled printer set-up prints nothing.
    if (!state_.dialogs.printerSetup())
        return;
    PrintTimelineWindow window(state_, this);
    state_.dialogs.showModal(window);
    // Printed at one year a character, whatever the zoom on screen.
    printChartAsAsked(state_, this, chartAt(1).lines);
}

std::optional<WindowRect>& TimelineWindow::savedRect() {
    return side_ == Side::people ? state_.settings.peopleWindowRect
                                 : state_.settings.eventsWindowRect;
}

WindowRect TimelineWindow::defaultRect() const {
    // Without a saved place: most of the screen's width, the people above the events.
    const QScreen* screen = this->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    const double dpi = ui::logicalDpi(this);
    const QRect r(area.x() + area.width() / 10, area.y() + area.height() / 20,
                  area.width() * 8 / 10, area.height() * 9 / 20);
    QRect twips = ui::pixelsToTwips(r, dpi);
    if (side_ == Side::events)
        twips.translate(0, ui::pixelsToTwips(area.height() / 2, dpi));
    // Kept as every rectangle is, in twips of the unscaled screen.
    twips = ui::toStoredTwips(twips, this);
    return {twips.x(), twips.y(), twips.width(), twips.height()};
}

void TimelineWindow::Form_Load() {
    loading_ = true;
    const bool people = side_ == Side::people;
    const Settings& s = state_.settings;
    chartView_->setBackgroundColor(people ? s.peopleBackColor : s.eventsBackColor);
    const WindowRect r = savedRect().value_or(defaultRect());
    // A rectangle from another screen, or a damaged one, still gives a usable window; the
    // rectangle used is what the next resize stores.
    const QRect fitted = ui::fitOnScreensTwips(QRect(r.left, r.top, r.width, r.height), this);
    const QRect twips = ui::fromStoredTwips(fitted, this);
    ui::setOuterRectTwips(*this, twips);
    // Where the window stands as placed, so that a rectangle nobody moved is kept to the twip
    // (pixels at a scale such as 1.25 round differently on the way back).
    placed_ = {ui::twipsToPixels(twips, ui::logicalDpi(this)), fitted};
    if (frameGeometry().size() == geometry().size())
        unsettledTwips_ = twips; // not framed yet: the frame's size is still unknown
    loading_ = false;
    Form_Resize();
    if (!built_)
        // The legend starts at what its names need, never more than a third of the window.
        resizeDocks({legendDock_}, {std::min(legendDock_->sizeHint().width(), width() / 3)},
                    Qt::Horizontal);
    showChart(built_);
}

void TimelineWindow::showChart(bool rebuild) {
    const bool people = side_ == Side::people;
    const Dataset& ds = state_.dataset;
    // A first build has no place to keep.
    const double centre = rebuild ? centreYearExact() : -std::numeric_limits<double>::infinity();
    Chart chart = chartAt(step_);
    setWindowTitle(
        (people ? QStringLiteral("People Timeline (") : QStringLiteral("Events Timeline (")) +
        QString::fromStdString(chart.colorCaption) + QLatin1Char(')'));
    leftEdgeYear_ = ds.earliestDate;
    drawn_.clear();
    drawnEncoding_ = ds.encoding;
    auto note = [this](const auto& records, int count) {
        for (int i = 0; i < count && static_cast<size_t>(i) < records.size(); ++i) {
            const auto& r = records[static_cast<size_t>(i)];
            if (r.selected != 0)
                drawn_.push_back({r.name, r.date1, r.date2, r.date1Type, r.date2Type});
        }
    };
    if (people)
        note(ds.people, ds.numPeople);
    else
        note(ds.events, ds.numEvents);
    // Both charts reach the end of the range, whatever their own lines, so that linked
    // scrolling can bring them to the same years (a second date's label and a name follow it).
    chartView_->setMinimumColumns(scale().columnOf(ds.latestDate) + 20);
    chartView_->setChart(std::move(chart.lines), ds.encoding, rebuild);
    ruler_->setScale(scale(), chartView_->charWidth());
    // Years only where the chart has them; none at all for a chart without lines.
    ruler_->setYears(drawn_.empty() ? std::nullopt
                                    : std::optional(std::pair(ds.earliestDate, ds.latestDate)));
    ruler_->setScrollX(chartView_->horizontalScrollBar()->value());
    legend_ = legendRows(ds, side_, colorBy());
    fillLegend();
    updateZoomActions();
    built_ = true;
    // A rebuild keeps the user's place while its year is still in the chart.
    following_ = true;
    if (centre >= ds.earliestDate && centre <= ds.latestDate)
        scrollToCentre(centre);
    else
        showData();
    following_ = false;
}

int TimelineWindow::colorBy() const {
    return side_ == Side::people ? state_.settings.peopleColorBy : state_.settings.eventsColorBy;
}

Chart TimelineWindow::chartAt(int step) const {
    return side_ == Side::people ? buildPeopleChart(state_.dataset, colorBy(), step)
                                 : buildEventsChart(state_.dataset, colorBy(), step);
}

double TimelineWindow::leftYear() const {
    return static_cast<double>(scale().firstYearOf(0)) + chartView_->leftColumn() * step_;
}

double TimelineWindow::columnAt(double year) const {
    return (year - static_cast<double>(scale().firstYearOf(0))) / step_;
}

double TimelineWindow::viewColumns() const {
    return chartView_->viewport()->width() / static_cast<double>(chartView_->charWidth());
}

double TimelineWindow::centreYearExact() const {
    return leftYear() + viewColumns() / 2 * step_;
}

long long TimelineWindow::centreYear() const {
    return static_cast<long long>(std::floor(centreYearExact()));
}

void TimelineWindow::scrollToCentre(double year) {
    // Kept as a fraction of a year, so that zooming in and out and rebuilding never drift.
    chartView_->scrollToColumn(columnAt(year) - viewColumns() / 2);
}

void TimelineWindow::showData() {
    // The earliest first date of this chart's own lines, its label in sight.
    std::optional<int> first;
    for (const DrawnEntry& e : drawn_)
        first = std::min(first.value_or(e.date1), static_cast<int>(e.date1));
    chartView_->scrollToColumn(first ? static_cast<double>(scale().columnOf(*first)) - 8.0 : 0.0);
}

void TimelineWindow::fillLegend() {
    legendList_->clear();
    const TextEncoding encoding = state_.dataset.encoding;
    const qreal scale = devicePixelRatioF();
    for (const LegendRow& row : legend_) {
        auto* item = new QTreeWidgetItem(legendList_);
        item->setText(0, row.category ? QString::fromUtf8(captionName(row.name, encoding))
                                      : QString::fromStdString(row.name));
        item->setText(1, QString::number(row.lines));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        // The swatch is painted at the screen's scale so that it stays sharp.
        QPixmap swatch(QSize(14, 14) * scale);
        swatch.setDevicePixelRatio(scale);
        swatch.fill(storedColor(row.color, palette().color(QPalette::Text)));
        item->setIcon(0, QIcon(swatch));
    }
}

void TimelineWindow::updateZoomActions() {
    zoomInAction_->setEnabled(step_ != zoomSteps.front());
    zoomOutAction_->setEnabled(step_ != zoomSteps.back());
}

void TimelineWindow::setZoomStep(int step) {
    step = validZoomStep(step);
    // The year the user had in the middle, even where a narrow chart could not keep it there.
    const double centre = centreAim_.value_or(centreYearExact());
    state_.choices.setZoomStep(side_, step);
    state_.keepChoices();
    if (step == step_)
        return;
    step_ = step;
    zooming_ = true;
    refreshChart();
    scrollToCentre(centre);
    zooming_ = false;
    centreAim_ = centre;
}

void TimelineWindow::zoomIn() {
    setZoomStep(zoomedIn(step_));
}

void TimelineWindow::zoomOut() {
    setZoomStep(zoomedOut(step_));
}

void TimelineWindow::zoomToFit() {
    const Dataset& ds = state_.dataset;
    // Room is left for the last date's label after its mark.
    setZoomStep(fitStep(ds.earliestDate, ds.latestDate, static_cast<long long>(viewColumns()) - 8));
    chartView_->scrollToColumn(0);
}

void TimelineWindow::showLegend(bool shown) {
    legendDock_->setVisible(shown);
    if (state_.choices.legendShown(side_) != shown) {
        state_.choices.setLegendShown(side_, shown);
        state_.keepChoices();
    }
}

void TimelineWindow::useSignedYears(bool on) {
    const YearStyle style = on ? YearStyle::signedNumbers : YearStyle::readable;
    ruler_->setYearStyle(style);
    signedAction_->setChecked(on);
    if (state_.choices.yearStyle() != style) {
        state_.choices.setYearStyle(style);
        state_.keepChoices();
        emit yearStyleToggled(on);
    }
}

void TimelineWindow::refreshChart() {
    const int line = chartView_->currentLine();
    const std::optional<DrawnEntry> marked = line >= 0 && static_cast<size_t>(line) < drawn_.size()
                                                 ? std::optional(drawn_[static_cast<size_t>(line)])
                                                 : std::nullopt;
    showChart(true);
    if (!marked)
        return;
    // The marked entry may have moved up or down (an entry deleted or added before it, a new
    // first date) or be gone: the nearest line drawn for it keeps the mark, or none does.
    int found = -1;
    for (size_t i = 0; i < drawn_.size(); ++i)
        if (drawn_[i] == *marked &&
            (found < 0 || std::abs(static_cast<int>(i) - line) < std::abs(found - line)))
            found = static_cast<int>(i);
    if (found != line)
        chartView_->setCurrentLine(found);
}

long long TimelineWindow::yearAtViewColumn(long long column) const {
    return scale().firstYearOf(column);
}

QString TimelineWindow::toolTipAt(int line, long long column) const {
    const YearStyle style = state_.choices.yearStyle();
    QString text = QString::fromStdString(yearText(yearAtViewColumn(column), style));
    if (step_ > 1)
        text += QStringLiteral(" \u2013 ") +
                QString::fromStdString(yearText(scale().lastYearOf(column), style));
    if (line < 0 || static_cast<size_t>(line) >= drawn_.size())
        return text;
    const DrawnEntry& e = drawn_[static_cast<size_t>(line)];
    return text + QStringLiteral(" \u2014 ") +
           QString::fromUtf8(captionName(e.name, drawnEncoding_)) + QLatin1Char(' ') +
           QString::fromStdString(spanText(e.date1, e.date1Type, e.date2, e.date2Type, style));
}

void TimelineWindow::mnuExport_Click() {
    const bool people = side_ == Side::people;
    // Offered under the dataset's name, in the folder exports last went to.
    const std::optional<QString> path = chooseFileToSave(
        state_, FileKind::exported,
        QStringLiteral("SVG picture | *.svg;;Web page | *.html;;PNG picture | *.png"),
        QStringLiteral(".svg"),
        QFileInfo(ui::exportName(state_.dataset, people ? QStringLiteral("-people.svg")
                                                        : QStringLiteral("-events.svg")))
            .fileName());
    if (!path)
        return;
    const QString ending = ui::fileEnding(*path);
    const std::vector<ChartLine>& lines = chartView_->lines();
    const TextEncoding encoding = state_.dataset.encoding;
    const int32_t background =
        people ? state_.settings.peopleBackColor : state_.settings.eventsBackColor;
    const ChartFrame frame = chartFrame(state_.dataset, side_, colorBy(), step_,
                                        state_.choices.yearStyle(), windowTitle().toStdString());
    if (ending == QLatin1String("svg")) {
        ui::writeExport(state_.dialogs, *path, chartSvg(lines, encoding, background, frame));
    } else if (ending == QLatin1String("html") || ending == QLatin1String("htm")) {
        ui::writeExport(state_.dialogs, *path, chartHtml(lines, encoding, background, frame));
    } else if (ending == QLatin1String("png")) {
        QByteArray png;
        if (state_.dialogs.question(QStringLiteral("Export the whole chart?\r\n(No exports "
                                                   "only what is on screen.)"),
                                    QStringLiteral("Export"))) {
            QString why;
            const std::optional<QByteArray> whole =
                wholeChartPng(lines, encoding, background, frame, why);
            if (!whole) {
                state_.dialogs.message(why);
                return;
            }
            png = *whole;
        } else {
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            chartView_->viewport()->grab().save(&buffer, "PNG");
        }
        ui::writeExport(state_.dialogs, *path, std::string_view(png.constData(), png.size()));
    } else {
        state_.dialogs.message(QStringLiteral("Name the file .svg, .html or .png: its ending "
                                              "says what to export."));
    }
}

void TimelineWindow::mnuLink_Click(bool on) {
    if (state_.settings.linkScrolling == on)
        return;
    state_.settings.linkScrolling = on;
    emit linkToggled(on);
    // Linked again: the other chart comes to these years at once.
    if (on)
        emit yearsScrolled(leftYear());
}

void TimelineWindow::setLinked(bool on) {
    linkAction_->setChecked(on);
}

void TimelineWindow::focusChart() {
    chartView_->setFocus();
}

void TimelineWindow::followYears(double leftYear) {
    if (!state_.settings.linkScrolling)
        return;
    following_ = true;
    chartView_->scrollToColumn(columnAt(leftYear));
    following_ = false;
}

void TimelineWindow::showYear(long long year) {
    ruler_->setTargetYear(year);
    chartView_->scrollToColumn(static_cast<double>(scale().columnOf(year)) - viewColumns() / 4);
}

void TimelineWindow::goToYear() {
    const long long middle =
        yearAtViewColumn(static_cast<long long>(chartView_->leftColumn() + viewColumns() / 4));
    const std::optional<QString> answer = state_.dialogs.input(
        QStringLiteral("Year to show (1492, 44 BC or -44)"), QStringLiteral("Go to year"),
        QString::fromStdString(yearText(middle, state_.choices.yearStyle())));
    if (!answer)
        return;
    const std::optional<long long> year = parseYear(answer->toStdString());
    if (!year || *year < -32768 || *year > 32767) {
        state_.dialogs.message(QStringLiteral("\"") + answer->left(40) +
                               QStringLiteral("\" is not a year."));
        return;
    }
    showYear(*year);
}

bool TimelineWindow::showEntryLine(int index) {
    const Dataset& ds = state_.dataset;
    const std::optional<int> line =
        side_ == Side::people ? lineOfPerson(ds, index) : lineOfEvent(ds, index);
    if (!line || *line > chartView_->lineCount())
        return false;
    showLine(*line - 1);
    return true;
}

void TimelineWindow::showLine(int line) {
    chartView_->setCurrentLine(line);
    // The line's start comes into sight too, unless it is already.
    const ChartLine& l = chartView_->lines()[static_cast<size_t>(line)];
    const double columns = viewColumns();
    const double left = chartView_->leftColumn();
    if (l.lead < left || l.lead + 6 > left + columns)
        chartView_->scrollToColumn(l.lead - columns / 4);
}

void TimelineWindow::settlePlacement() {
    if (!unsettledTwips_ || frameGeometry().size() == geometry().size())
        return;
    const QRect twips = *unsettledTwips_;
    unsettledTwips_.reset();
    ui::setOuterRectTwips(*this, twips);
}

bool TimelineWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize && !loading_ && isVisible())
        Form_Resize();
    return QMainWindow::eventFilter(watched, event);
}

void TimelineWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    settlePlacement();
    if (!loading_)
        Form_Resize();
}

void TimelineWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    settlePlacement();
    // A move is a resize of the rectangle too: the new place is kept for the next opening.
    if (!loading_ && isVisible())
        Form_Resize();
}

void TimelineWindow::Form_Resize() {
    applyResize(ui::outerRectTwips(*this));
}

void TimelineWindow::applyResize(const QRect& outer) {
    if (outer.height() <= 650 || outer.width() <= 60)
        return;
    const double dpi = ui::logicalDpi(this);
    // The box never reaches past the window's client area, whatever the window frame's size;
    // the ruler stands above it.
    const QSize room = centralWidget()->size();
    const int rulerHigh = ruler_->sizeHint().height();
    const int width = std::min(ui::twipsToPixels(outer.width() - 60, dpi), room.width());
    ruler_->setGeometry(0, 0, width, rulerHigh);
    chartView_->setGeometry(0, rulerHigh, width,
                            std::min(ui::twipsToPixels(outer.height() - 650, dpi), room.height()) -
                                rulerHigh);
    // The ruler's columns line up with the chart's, inside its frame.
    ruler_->setLeftMargin(chartView_->viewport()->x());
    const QRect stored = placed_ && ui::twipsToPixels(outer, dpi) == placed_->first
                             ? placed_->second
                             : ui::toStoredTwips(outer, this);
    savedRect() = WindowRect{stored.x(), stored.y(), stored.width(), stored.height()};
}

void TimelineWindow::rtbox1_Click(int line, long long offset) {
    Dataset& ds = state_.dataset;
    const bool people = side_ == Side::people;
    const std::optional<int> index = people ? personAtLine(ds, line) : eventAtLine(ds, line);
    if (!index) {
        state_.dialogs.message((people ? QStringLiteral("ERROR: no person found at ")
                                       : QStringLiteral("ERROR: no event found at ")) +
                               QString::number(offset));
        return;
    }
    (people ? ds.curPerson : ds.curEvent) = static_cast<int16_t>(*index);
    emit entryRequested(side_);
}

void TimelineWindow::mnuselect_Click() {
    SelectWindow select(state_, side_, this);
    state_.dialogs.showModal(select);
    const Dataset& ds = state_.dataset;
    const bool people = side_ == Side::people;
    const int selected = people ? ds.numSelPeople : ds.numSelEvents;
    const int total = people ? ds.numPeople : ds.numEvents;
    state_.dialogs.message(
        QString::fromStdString(plainNumber(selected) + " of " + plainNumber(total) + " selected"));
    Form_Load();
    // Select filters both sides: the other chart is drawn again too.
    emit selectionApplied();
    // The message box handed the focus back to whichever window it chose: the chart the user
    // was selecting for stays in front.
    raise();
    activateWindow();
}

void TimelineWindow::mnuStats_Click() {
    StatsWindow stats(state_.dataset, this);
    state_.dialogs.showModal(stats);
}

void TimelineWindow::mnuExit_Click() {
    close();
}

} // namespace tess
