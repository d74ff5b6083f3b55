#include "timeline/timeline_window.h"

#include "core/numbers.h"
#include "timeline/chart.h"
#include "timeline/chart_printing.h"
#include "timeline/print_window.h"
#include "timeline/select_window.h"
#include "timeline/stats_window.h"
#include "ui/dialogs.h"
#include "ui/geometry.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenuBar>
#include <QPointer>
#include <QProgressDialog>
#include <QScreen>

namespace tess {

TimelineWindow::TimelineWindow(AppState& state, TimelineSide side, QWidget* parent)
    : QMainWindow(parent), state_(state), side_(side) {
    const bool people = side == TimelineSide::people;
    setObjectName(people ? QStringLiteral("Ptime") : QStringLiteral("Etime"));
    setWindowTitle(people ? QStringLiteral("People Timeline") : QStringLiteral("Events Timeline"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* central = new QWidget(this);
    setCentralWidget(central);
    rtbox1 = new ChartView(central);
    rtbox1->setObjectName(QStringLiteral("rtbox1"));
    rtbox1->setToolTip(QStringLiteral("Click on an item to bring up additional information"));

    auto action = [this](const char* name, const QString& caption) {
        QAction* a = menuBar()->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    mnuselect = action("mnuselect", QStringLiteral("&Select"));
    mnuStats = action("mnuStats", QStringLiteral("S&tats"));
    mnuPrint = action("mnuPrint", QStringLiteral("&Print"));
    mnuExit = action("mnuExit", QStringLiteral("E&xit"));
    connect(mnuselect, &QAction::triggered, this, &TimelineWindow::mnuselect_Click);
    connect(mnuStats, &QAction::triggered, this, &TimelineWindow::mnuStats_Click);
    connect(mnuPrint, &QAction::triggered, this, &TimelineWindow::mnuPrint_Click);
    connect(mnuExit, &QAction::triggered, this, &TimelineWindow::mnuExit_Click);
    connect(rtbox1, &ChartView::lineClicked, this, &TimelineWindow::rtbox1_Click);
    Form_Load();
}

void TimelineWindow::mnuPrint_Click() {
    // A cancelled printer set-up prints nothing.
    if (!state_.dialogs.printerSetup())
        return;
    PrintTimelineWindow window(state_, this);
    state_.dialogs.showModal(window);
    if (!state_.openPrinter)
        return;
    const Dataset& ds = state_.dataset;
    const TimelinePrintSettings& settings = state_.timelinePrint;
    // A long print can be stopped between pages. The progress is modal for the whole program:
    // nothing may close this window, replace its chart or start another print meanwhile.
    QProgressDialog progress(QStringLiteral("Printing the chart..."), QStringLiteral("Cancel"), 0,
                             0, this);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    const std::vector<ChartLine> lines = rtbox1->lines();
    const QPointer<TimelineWindow> alive(this);
    auto keepPrinting = [&progress, &alive](int pages) {
        progress.setLabelText(QStringLiteral("Printing the chart: page %1").arg(pages + 1));
        progress.setValue(0);
        QCoreApplication::processEvents();
        return alive && !progress.wasCanceled();
    };
    try {
        std::unique_ptr<Printer> printer = state_.openPrinter(ds.encoding);
        printTimeline(*printer, lines, ds.encoding, ds.earliestDate, ds.latestDate,
                      {settings.yearsPerLine, settings.startYear, settings.endYear}, keepPrinting);
    } catch (const PrintError& e) {
        progress.close();
        state_.dialogs.message(QString::fromUtf8(e.what()));
    }
}

std::optional<WindowRect>& TimelineWindow::savedRect() {
    return side_ == TimelineSide::people ? state_.settings.peopleWindowRect
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
    if (side_ == TimelineSide::events)
        twips.translate(0, ui::pixelsToTwips(area.height() / 2, dpi));
    return {twips.x(), twips.y(), twips.width(), twips.height()};
}

void TimelineWindow::Form_Load() {
    loading_ = true;
    const bool people = side_ == TimelineSide::people;
    Dataset& ds = state_.dataset;
    const Settings& s = state_.settings;
    rtbox1->setBackgroundColor(people ? s.peopleBackColor : s.eventsBackColor);
    const WindowRect r = savedRect().value_or(defaultRect());
    // A rectangle from another screen, or a damaged one, still gives a usable window; the
    // rectangle used is what the next resize stores.
    const QRect twips = ui::fitOnScreensTwips(QRect(r.left, r.top, r.width, r.height), this);
    ui::setOuterRectTwips(*this, twips);
    if (frameGeometry().size() == geometry().size())
        unsettledTwips_ = twips; // not framed yet: the frame's size is still unknown
    loading_ = false;
    Form_Resize();

    Chart chart =
        people ? buildPeopleChart(ds, s.peopleColorBy) : buildEventsChart(ds, s.eventsColorBy);
    setWindowTitle(
        (people ? QStringLiteral("People Timeline (") : QStringLiteral("Events Timeline (")) +
        QString::fromStdString(chart.colorCaption) + QLatin1Char(')'));
    rtbox1->setChart(std::move(chart.lines), ds.encoding);
}

void TimelineWindow::settlePlacement() {
    if (!unsettledTwips_ || frameGeometry().size() == geometry().size())
        return;
    const QRect twips = *unsettledTwips_;
    unsettledTwips_.reset();
    ui::setOuterRectTwips(*this, twips);
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
    // The box never reaches past the window's client area, whatever the window frame's size.
    const QSize room = centralWidget()->size();
    rtbox1->resize(std::min(ui::twipsToPixels(outer.width() - 60, dpi), room.width()),
                   std::min(ui::twipsToPixels(outer.height() - 650, dpi), room.height()));
    savedRect() = WindowRect{outer.x(), outer.y(), outer.width(), outer.height()};
}

void TimelineWindow::rtbox1_Click(int line, long long offset) {
    Dataset& ds = state_.dataset;
    const bool people = side_ == TimelineSide::people;
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
    const bool people = side_ == TimelineSide::people;
    const int selected = people ? ds.numSelPeople : ds.numSelEvents;
    const int total = people ? ds.numPeople : ds.numEvents;
    state_.dialogs.message(
        QString::fromStdString(plainNumber(selected) + " of " + plainNumber(total) + " selected"));
    Form_Load();
}

void TimelineWindow::mnuStats_Click() {
    StatsWindow stats(state_.dataset, this);
    state_.dialogs.showModal(stats);
}

void TimelineWindow::mnuExit_Click() {
    close();
}

} // namespace tess
