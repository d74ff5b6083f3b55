#include "ui/tab_order.h"

#include <QEvent>
#include <QLayout>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace ui {

namespace {

bool takesTab(const QWidget* w) {
    return (w->focusPolicy() & Qt::TabFocus) != 0;
}

// Orders the window's controls when it is shown, and again when one of them is shown or
// hidden later (an entry's picture fields, a report once it is built).
class ReorderOnShow : public QObject {
public:
    explicit ReorderOnShow(QWidget& window) : QObject(&window), window_(window) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (watched == &window_ && type == QEvent::Show) {
            for (QWidget* w : window_.findChildren<QWidget*>())
                if (takesTab(w) && w->window() == &window_)
                    w->installEventFilter(this);
            tabInReadingOrder(window_);
        } else if (watched != &window_ && (type == QEvent::Show || type == QEvent::Hide) &&
                   !pending_ && window_.isVisible()) {
            // Once the layout has placed what changed.
            pending_ = true;
            QTimer::singleShot(0, this, [this] {
                pending_ = false;
                tabInReadingOrder(window_);
            });
        }
        return false;
    }

private:
    QWidget& window_;
    bool pending_ = false;
};

} // namespace

bool level(const QRect& a, const QRect& b) {
    const int lower = std::min(a.height(), b.height());
    const int higher = std::max(a.height(), b.height());
    const int overlap = std::min(a.bottom(), b.bottom()) - std::max(a.top(), b.top()) + 1;
    return overlap * 2 >= lower && higher <= 3 * lower;
}

QList<QWidget*> tabControls(QWidget& window) {
    QList<QWidget*> controls;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!takesTab(w) || w->window() != &window || !w->isVisibleTo(&window) || !w->isEnabled())
            continue;
        // A line edit inside a combo box, say, is reached through its control.
        bool part = false;
        for (QWidget* p = w->parentWidget(); p && p != &window; p = p->parentWidget())
            part = part || takesTab(p);
        if (!part)
            controls.append(w);
    }
    return controls;
}

void tabInReadingOrder(QWidget& window) {
    if (window.layout())
        window.layout()->activate();
    QList<QWidget*> controls = tabControls(window);
    auto rect = [&window](QWidget* w) { return QRect(w->mapTo(&window, QPoint(0, 0)), w->size()); };
    std::stable_sort(controls.begin(), controls.end(),
                     [&](QWidget* a, QWidget* b) { return rect(a).top() < rect(b).top(); });
    // Rows: each starts at the topmost control left and takes those level with it (a date
    // field beside a group box's first option, say; not a button below a tall list).
    for (qsizetype start = 0; start < controls.size();) {
        const QRect first = rect(controls[start]);
        qsizetype end = start + 1;
        while (end < controls.size() && level(first, rect(controls[end])))
            ++end;
        std::stable_sort(controls.begin() + start, controls.begin() + end,
                         [&](QWidget* a, QWidget* b) { return rect(a).left() < rect(b).left(); });
        start = end;
    }
    for (qsizetype i = 1; i < controls.size(); ++i)
        QWidget::setTabOrder(controls[i - 1], controls[i]);
}

void tabInReadingOrderWhenShown(QWidget& window) {
    window.installEventFilter(new ReorderOnShow(window));
}

} // namespace ui
