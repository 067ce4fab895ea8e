#include "HistoryEditor.h"

#include "core/db/Cp1252.h"
#include "core/db/NumberField.h"
#include "gui/widgets/Prompter.h"

#include <QEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <algorithm>

namespace kx3 {

namespace {

enum Column { Season, Club, Apps, Goals };

const QString SeasonNotValid = QStringLiteral("Season Year is not valid.");
// A new row names no real club until the user picks one; saved as it is, it
// matches no club.
const QString NewRowClub = QStringLiteral("<club short-name>");

QTreeWidgetItem *rowItem(const QStringList &texts)
{
    auto *item = new QTreeWidgetItem(texts);
    item->setTextAlignment(Apps, Qt::AlignRight | Qt::AlignVCenter);
    item->setTextAlignment(Goals, Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

HistoryEditor::HistoryEditor(const HistoryWidgets &widgets, QObject *parent)
    : QObject(parent), mW(widgets)
{
    mW.list->setSelectionMode(QAbstractItemView::SingleSelection);
    mW.list->setColumnWidth(Season, 58);
    mW.list->setColumnWidth(Club, ClubWidth);
    mW.list->setColumnWidth(Apps, 42);
    // Fixed columns that fit the list exactly; a wider list widens the club.
    mW.list->header()->setStretchLastSection(false);
    mDesignWidth = mW.list->width();
    mW.list->installEventFilter(this);
    mW.list->setColumnWidth(Goals, 64);
    mW.list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(mW.list, &QTreeWidget::itemSelectionChanged, this, &HistoryEditor::HistListSelect);
    connect(mW.club, &QLineEdit::textChanged, this, &HistoryEditor::HCluChange);
    connect(mW.apps, &QLineEdit::textChanged, this, &HistoryEditor::HAppChange);
    connect(mW.goals, &QLineEdit::textChanged, this, &HistoryEditor::HGoaChange);
    connect(mW.add, &QPushButton::clicked, this, &HistoryEditor::HAddClick);
    connect(mW.remove, &QPushButton::clicked, this, &HistoryEditor::HDelClick);
    mW.season->installEventFilter(this);
}

void HistoryEditor::load(const QList<HistoryRow> &rows)
{
    {
        const QSignalBlocker blocker(mW.list);
        mW.list->clear();
        QList<QTreeWidgetItem *> items;
        for (const HistoryRow &row : rows) {
            items.append(rowItem({fromCp1252(row.season), fromCp1252(row.club),
                                  fromCp1252(row.apps), fromCp1252(row.goals)}));
        }
        mW.list->addTopLevelItems(items);
    }
    for (QLineEdit *box : {mW.season, mW.club, mW.apps, mW.goals})
        box->clear();
    mChanged = false;
}

QList<HistoryRow> HistoryEditor::rows() const
{
    QList<HistoryRow> result;
    for (int i = 0; i < mW.list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = mW.list->topLevelItem(i);
        result.append({toCp1252(item->text(Season)), toCp1252(item->text(Club)),
                       toCp1252(item->text(Apps)), toCp1252(item->text(Goals))});
    }
    return result;
}

QTreeWidgetItem *HistoryEditor::selectedItem() const
{
    const QList<QTreeWidgetItem *> selected = mW.list->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

int HistoryEditor::selectedRow() const
{
    QTreeWidgetItem *item = selectedItem();
    return item ? mW.list->indexOfTopLevelItem(item) : -1;
}

void HistoryEditor::markChanged()
{
    mChanged = true;
    Q_EMIT changed();
}

void HistoryEditor::HistListSelect()
{
    QTreeWidgetItem *item = selectedItem();
    if (!item)
        return;
    // The boxes' own change handling runs as they are filled, as it does for
    // typing: that is what marks a history as touched once a row is picked.
    const QString season = item->text(Season);
    const QString club = item->text(Club);
    const QString apps = item->text(Apps);
    const QString goals = item->text(Goals);
    mW.season->setText(season.left(4));
    mW.club->setText(club);
    mW.apps->setText(apps);
    mW.goals->setText(goals);
}

bool HistoryEditor::HSeaExit()
{
    QTreeWidgetItem *item = selectedItem();
    if (!item)
        return true;
    const QString text = mW.season->text();
    if (text.size() < 4) {
        if (mPrompter)
            mPrompter->information(SeasonNotValid);
        return false;
    }
    const std::optional<std::int32_t> year = parseInteger(text.left(4));
    if (!year) {
        if (mPrompter)
            mPrompter->information(notAnIntegerMessage(text.left(4)));
        return false;
    }
    // The record keeps the year in 16 bits.
    item->setText(Season, fromCp1252(seasonLabel(std::int16_t(*year))));
    markChanged();
    return true;
}

void HistoryEditor::setColumn(int column, const QString &text)
{
    QTreeWidgetItem *item = selectedItem();
    if (!item)
        return;
    item->setText(column, text);
    markChanged();
}

void HistoryEditor::HCluChange()
{
    setColumn(Club, mW.club->text());
}

void HistoryEditor::HAppChange()
{
    setColumn(Apps, mW.apps->text());
}

void HistoryEditor::HGoaChange()
{
    setColumn(Goals, mW.goals->text());
}

void HistoryEditor::HAddClick()
{
    QTreeWidgetItem *item =
        rowItem({QStringLiteral("1900"), NewRowClub, QStringLiteral("0"), QStringLiteral("0")});
    mW.list->addTopLevelItem(item);
    markChanged();
    // The boxes edit the selected row: the new one, so what is typed next
    // lands in it and not in the row selected before.
    mW.list->setCurrentItem(item);
    mW.list->scrollToItem(item);
}

void HistoryEditor::HDelClick()
{
    QTreeWidgetItem *item = selectedItem();
    if (!item)
        return;
    {
        // The list would otherwise select a neighbour and refill the boxes
        // from it; nothing is selected after a deletion.
        const QSignalBlocker blocker(mW.list);
        delete item;
        mW.list->clearSelection();
        mW.list->setCurrentItem(nullptr);
    }
    markChanged();
}

bool HistoryEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mW.list && event->type() == QEvent::Resize)
        mW.list->setColumnWidth(Club, ClubWidth + std::max(0, mW.list->width() - mDesignWidth));
    if (watched == mW.season && event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        // Only a move to another control of the window leaves the box; a
        // message box or a menu taking the focus for a moment does not.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason
            && !HSeaExit()) {
            // Not from inside the focus change that is still going on.
            QMetaObject::invokeMethod(
                mW.season, [box = mW.season] { box->setFocus(Qt::OtherFocusReason); },
                Qt::QueuedConnection);
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kx3
