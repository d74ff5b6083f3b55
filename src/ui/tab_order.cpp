#include "ui/tab_order.h"

#include <QEvent>
#include <QLayout>
#include <QObject>
#include <QWidget>

#include <algorithm>

namespace ui {

namespace {

bool takesTab(const QWidget* w) {
    return (w->focusPolicy() & Qt::TabFocus) != 0;
}

class ReorderOnShow : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            tabInReadingOrder(*static_cast<QWidget*>(watched));
        return false;
    }
};

} // namespace

bool level(const QRect& a, const QRect& b) {
    auto within = [](int y, const QRect& r) { return y >= r.top() && y <= r.bottom(); };
    return within(a.center().y(), b) && within(b.center().y(), a);
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
    // Rows: each starts at the topmost control left and takes those level with it, each one's
    // middle within the other's height (a button beside a group box's first option, say; not
    // a button below a tall list).
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
    window.installEventFilter(new ReorderOnShow(&window));
}

} // namespace ui
