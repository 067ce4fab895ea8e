#include "PanelAnchors.h"

#include <QEvent>
#include <QStackedWidget>
#include <QTabWidget>
#include <QWidget>

#include <algorithm>

namespace kx3 {

PanelAnchors::PanelAnchors(QWidget *panel) : QObject(panel), mPanel(panel), mDesign(panel->size())
{
    panel->installEventFilter(this);
}

void PanelAnchors::anchor(std::initializer_list<const char *> names, Edges edges)
{
    for (const char *name : names) {
        auto *widget = mPanel->findChild<QWidget *>(QLatin1String(name));
        Q_ASSERT_X(widget, "PanelAnchors::anchor", name);
        if (widget)
            anchor(widget, edges);
    }
}

void PanelAnchors::anchor(QWidget *widget, Edges edges)
{
    mRules.insert(widget, {widget->geometry(), edges});
}

void PanelAnchors::anchor(QWidget *widget, Edges edges, const QRect &design)
{
    const Rule rule{design, edges};
    mRules.insert(widget, rule);
    widget->setGeometry(place(rule, growth(widget->parentWidget())));
}

void PanelAnchors::apply()
{
    for (auto it = mRules.cbegin(); it != mRules.cend(); ++it)
        it.key()->setGeometry(place(it.value(), growth(it.key()->parentWidget())));
}

bool PanelAnchors::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mPanel && event->type() == QEvent::Resize)
        apply();
    return QObject::eventFilter(watched, event);
}

// Worked out from the rules rather than measured: a tab page or a panel of a
// stack that is not in front has not been given its size yet.
QSize PanelAnchors::growth(const QWidget *widget) const
{
    if (!widget)
        return QSize();
    if (widget == mPanel) {
        return QSize(std::max(0, mPanel->width() - mDesign.width()),
                     std::max(0, mPanel->height() - mDesign.height()));
    }
    const QWidget *parent = widget->parentWidget();
    const auto rule = mRules.constFind(const_cast<QWidget *>(widget));
    if (rule != mRules.cend())
        return place(*rule, growth(parent)).size() - rule->design.size();
    // Pages fill their stack, and a tab widget's stack fills the tab widget.
    if (qobject_cast<const QStackedWidget *>(parent) || qobject_cast<const QTabWidget *>(parent))
        return growth(parent);
    return QSize();
}

// Both edges of a share are rounded the same way, so neighbours that split
// the growth keep the gap the form gives them.
QRect PanelAnchors::place(const Rule &rule, QSize parentGrowth) const
{
    const auto moved = [](double share, int growth) { return qRound(share * growth); };
    const Edges &e = rule.edges;
    const int dx = parentGrowth.width();
    const int dy = parentGrowth.height();
    QRect r = rule.design;
    r.setCoords(r.left() + moved(e.horizontal.from, dx), r.top() + moved(e.vertical.from, dy),
                r.right() + moved(e.horizontal.to, dx), r.bottom() + moved(e.vertical.to, dy));
    return r;
}

} // namespace kx3
