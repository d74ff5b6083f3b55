#pragma once

#include "app/app_state.h"
#include "timeline/chart_view.h"

#include <QMainWindow>

class QAction;

namespace tess {

enum class TimelineSide { people, events };

// The People Timeline (Ptime) and the Events Timeline (Etime): one class, two sides.
class TimelineWindow : public QMainWindow {
    Q_OBJECT
public:
    TimelineWindow(AppState& state, TimelineSide side, QWidget* parent = nullptr);

    TimelineSide side() const { return side_; }

    ChartView* rtbox1 = nullptr;
    QAction* mnuselect = nullptr;
    QAction* mnuStats = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnuExit = nullptr;

    // The rule for a window of this outer size in twips: the chart fills the window less 60
    // twips across and 650 down, and the rectangle is kept for the settings; a window 650
    // twips high or 60 wide or smaller (minimised) keeps its box and stores nothing.
    void applyResize(const QRect& outerTwips);

signals:
    // A chart line was clicked and its entry made current: the entry window should show it.
    void entryRequested(tess::TimelineSide side);

public slots:
    void Form_Load();
    void Form_Resize();
    void rtbox1_Click(int line, long long offset);
    void mnuselect_Click();
    void mnuStats_Click();
    // The printer set-up, then Timeline Print, then the chart in strips, one document.
    void mnuPrint_Click();
    void mnuExit_Click();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    std::optional<WindowRect>& savedRect();
    WindowRect defaultRect() const;

    // Applies a rectangle placed before the window manager framed the window, once the frame's
    // size is known, so that the window does not grow by its frame at every opening.
    void settlePlacement();

    AppState& state_;
    TimelineSide side_;
    bool loading_ = false;
    std::optional<QRect> unsettledTwips_;
};

} // namespace tess
