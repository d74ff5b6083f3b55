#pragma once

#include "core/year_scale.h"
#include "state/app_state.h"
#include "timeline/chart.h"
#include "timeline/legend.h"
#include "ui/chart_view.h"
#include "ui/year_ruler.h"

#include <QMainWindow>

#include <optional>
#include <utility>

class QAction;
class QDockWidget;
class QTreeWidget;

namespace tess {

// The People Timeline (Ptime) and the Events Timeline (Etime): one class, two sides.
class TimelineWindow : public QMainWindow {
    Q_OBJECT
public:
    TimelineWindow(AppState& state, Side side, QWidget* parent = nullptr);

    Side side() const { return side_; }

    // The year at the chart's left edge when it was built: both sides' charts start there
    // unless a Select changed the range between their builds.
    int leftEdgeYear() const { return leftEdgeYear_; }
    // The year a column of this chart stands for (the first of them, zoomed out).
    long long yearAtViewColumn(long long column) const;
    // Years a character, and where they stand.
    int zoomStep() const { return step_; }
    YearScale scale() const { return {leftEdgeYear_, step_}; }
    // The year at the middle of the chart's view.
    long long centreYear() const;
    const std::vector<LegendRow>& legend() const { return legend_; }

    // The rule for a window of this outer size in twips: the chart fills the window less 60
    // twips across and 650 down, and the rectangle is kept for the settings; a window 650
    // twips high or 60 wide or smaller (minimised) keeps its box and stores nothing.
    void applyResize(const QRect& outerTwips);

signals:
    // A chart line was clicked and its entry made current: the entry window should show it.
    void entryRequested(tess::Side side);
    // The chart was scrolled sideways by the user; the year is the one at its left edge.
    void yearsScrolled(double leftYear);
    void linkToggled(bool on);
    // Signed years chosen or not in this window: the other follows.
    void yearStyleToggled(bool on);
    // Select filtered the dataset: the other chart must be drawn again.
    void selectionApplied();

public slots:
    void Form_Load();
    void Form_Resize();
    void rtbox1_Click(int line, long long offset);
    void mnuselect_Click();
    void mnuStats_Click();
    // The printer set-up, then Timeline Print, then the chart in strips, one document.
    void mnuPrint_Click();
    void mnuExit_Click();
    // The chart as an SVG picture, a web page, or a PNG picture of the whole chart or of what
    // is on screen, as the file's ending and a question choose.
    void mnuExport_Click();
    void mnuLink_Click(bool on);
    // Ticks or clears Link scrolling, as the other timeline's toggle did.
    void setLinked(bool on);
    // The keys go to the chart, as after a click on it.
    void focusChart();
    // The chart again from the dataset, where the view stands (after an undo, say).
    void refreshChart();
    // Scrolls so that the left edge stands at that year, when scrolling is linked.
    void followYears(double leftYear);
    // Ctrl+G: asks for a year and puts its column a quarter from the left.
    void goToYear();
    // Puts the year's column a quarter of the view from the left.
    void showYear(long long year);
    // Highlights the entry's line and scrolls it into sight; false when it is not on the chart.
    bool showEntryLine(int index);
    // Zoom: a step of the list, the year at the middle kept there; kept in the user's choices.
    void setZoomStep(int step);
    void zoomIn();
    void zoomOut();
    // The smallest step at which the chart's whole range fits the window's width.
    void zoomToFit();
    void showLegend(bool shown);
    void useSignedYears(bool on);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    std::optional<WindowRect>& savedRect();
    WindowRect defaultRect() const;

    // Applies a rectangle placed before the window manager framed the window, once the frame's
    // size is known, so that the window does not grow by its frame at every opening.
    void settlePlacement();

    // The chart at the current step. A rebuild keeps the view where it was while the year at
    // its middle is still in the chart's range; a first build, or one whose range left that
    // year behind, shows the start of its own lines.
    void showChart(bool rebuild);
    void showData();
    double centreYearExact() const;
    // The colouring of this side's chart, and the chart at a step.
    int colorBy() const;
    Chart chartAt(int step) const;
    // The year at the left edge, and the column of a year, as fractions.
    double leftYear() const;
    double columnAt(double year) const;
    void scrollToCentre(double year);
    double viewColumns() const;
    void showLine(int line);
    void fillLegend();
    void updateZoomActions();
    QString toolTipAt(int line, long long column) const;

    // The entry of each line as it was when the chart was drawn, for the tooltips: they name
    // what the line shows even when the dataset has changed since.
    struct DrawnEntry {
        std::string name;
        int16_t date1 = 0, date2 = 0;
        int16_t date1Type = 0, date2Type = 0;
        bool operator==(const DrawnEntry&) const = default;
    };
    std::vector<DrawnEntry> drawn_;
    TextEncoding drawnEncoding_ = TextEncoding::windows1252;

    AppState& state_;
    Side side_;
    int leftEdgeYear_ = 0;
    int step_ = 1;
    // The middle year zooming aims at, kept until the user scrolls; zooming_ tells its own
    // scrolls from the user's.
    std::optional<double> centreAim_;
    bool zooming_ = false;
    bool built_ = false;
    std::vector<LegendRow> legend_;
    bool following_ = false;
    bool loading_ = false;
    std::optional<QRect> unsettledTwips_;
    // The window's outer rectangle in pixels as Form_Load placed it, and the stored rectangle
    // it came from.
    std::optional<std::pair<QRect, QRect>> placed_;

    ChartView* chartView_ = nullptr;
    YearRuler* ruler_ = nullptr;
    QDockWidget* legendDock_ = nullptr;
    QTreeWidget* legendList_ = nullptr;
    QAction* zoomInAction_ = nullptr;
    QAction* zoomOutAction_ = nullptr;
    QAction* legendAction_ = nullptr;
    QAction* signedAction_ = nullptr;
    // Horizontal scrolls move the other chart to the same years; kept in the settings.
    QAction* linkAction_ = nullptr;
};

} // namespace tess
