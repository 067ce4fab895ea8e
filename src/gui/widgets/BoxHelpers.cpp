#include "BoxHelpers.h"

#include "core/db/Cp1252.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabWidget>
#include <QWidget>

namespace kx3 {

namespace {

class DoubleClickFilter : public QObject
{
public:
    DoubleClickFilter(std::function<void()> action, QObject *parent)
        : QObject(parent), mAction(std::move(action))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonDblClick)
            mAction();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> mAction;
};

} // namespace

void selectQuietly(QComboBox *box, int item)
{
    const QSignalBlocker blocker(box);
    box->setCurrentIndex(item >= 0 && item < box->count() ? item : -1);
}

void fillItems(QComboBox *box, const QStringList &items)
{
    const QSignalBlocker blocker(box);
    box->clear();
    box->addItems(items);
}

void refillItems(std::span<QComboBox *const> boxes, const QList<QByteArray> &names)
{
    QStringList items;
    items.reserve(names.size());
    for (const QByteArray &name : names)
        items.append(fromCp1252(name));
    for (QComboBox *box : boxes) {
        bool same = box->count() == items.size();
        for (int i = 0; same && i < items.size(); ++i)
            same = box->itemText(i) == items.at(i);
        if (!same)
            fillItems(box, items);
    }
}

void onDoubleClick(QWidget *widget, std::function<void()> action)
{
    widget->installEventFilter(new DoubleClickFilter(std::move(action), widget));
}

std::vector<QLineEdit *> findBoxes(QWidget *root, std::span<const char *const> names)
{
    std::vector<QLineEdit *> boxes;
    boxes.reserve(names.size());
    for (const char *name : names) {
        auto *box = root->findChild<QLineEdit *>(QString::fromLatin1(name));
        Q_ASSERT_X(box, "findBoxes", name);
        boxes.push_back(box);
    }
    return boxes;
}

void focusBox(QWidget *box)
{
    // A tab's page sits in the tab widget's stack; bring each enclosing page
    // to the front, outermost last.
    for (QWidget *w = box; w && w->parentWidget(); w = w->parentWidget()) {
        auto *stack = qobject_cast<QStackedWidget *>(w->parentWidget());
        auto *tabs = stack ? qobject_cast<QTabWidget *>(stack->parentWidget()) : nullptr;
        if (tabs)
            tabs->setCurrentWidget(w);
    }
    box->setFocus();
    if (auto *edit = qobject_cast<QLineEdit *>(box))
        edit->selectAll();
}

// The closed boxes are narrow to fit the fixed window; their opened lists
// are wider so that long nation, stadium and colour names can be read.
void widenDropDowns(QWidget *window)
{
    static const struct
    {
        int width;
        std::initializer_list<const char *> names;
    } groups[] = {
        {150,
         {"HomeCol1", "HomeCol2", "AwayCol1", "AwayCol2", "ThirdCol1", "ThirdCol2", "NatHCol1",
          "NatHCol2", "NatACol1", "NatACol2", "NatTCol1", "NatTCol2"}},
        {152,
         {"PNation", "PSecNation", "SNation", "SSecNation", "SNatTeam", "CNation", "CMainStad",
          "CRsvStad", "NStad", "NCity", "StCity", "CtNat", "ONation", "OCity", "NRiv1", "NRiv2",
          "NRiv3", "StNearby"}},
        {200, {"CDiv", "CLastDiv", "COtherDiv"}},
    };
    for (const auto &group : groups) {
        for (const char *name : group.names) {
            // Boxes of screens not built yet are simply not found.
            if (auto *box = window->findChild<QComboBox *>(QLatin1String(name)))
                box->view()->setMinimumWidth(qMax(group.width, box->width()));
        }
    }
}

void keepToolTipsUp(QWidget *root)
{
    // Qt takes a hint down after some seconds; the form's hints are long
    // enough that a reader needs them until he moves the pointer away.
    if (!root->toolTip().isEmpty())
        root->setToolTipDuration(HintDurationMs);
    const QList<QWidget *> children = root->findChildren<QWidget *>();
    for (QWidget *w : children) {
        if (!w->toolTip().isEmpty())
            w->setToolTipDuration(HintDurationMs);
    }
}

} // namespace kx3
