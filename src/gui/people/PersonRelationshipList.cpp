#include "PersonRelationshipList.h"

#include "core/db/Cp1252.h"
#include "core/db/Lookups.h"
#include "core/db/NameTables.h"
#include "core/people/PersonRecord.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace kx3 {

namespace {

const QString NoneText = QStringLiteral("<none>");

QString slotDesc(int slot)
{
    static const char *const Groups[] = {"Fav Club ", "Dislike Club ", "Fav Plyr/Staff ",
                                         "Dislike Plyr/Staff "};
    return QString::fromLatin1(Groups[slot / 3]) + QString::number(slot % 3 + 1);
}

QString personName(const Database &db, int index)
{
    // Only a person that exists has names to show.
    if (index >= personCount(db)
        || !db.image(DataFile::Staff).contains(personOffset(index), RecordSize::Person))
        return {};
    const DataImage &image = db.image(DataFile::Staff);
    const qsizetype at = personOffset(index);
    return fromCp1252(FirstNameText(db, image.i32(at + PersonField::FirstName.offset)) + ' '
                      + SecondNameText(db, image.i32(at + PersonField::SecondName.offset)));
}

} // namespace

QList<RelationshipRow> personRelationshipRows(const Database &db, const ClubNameList &clubNames,
                                              int person)
{
    QList<RelationshipRow> rows;
    const DataImage &image = db.image(DataFile::Staff);
    if (person < 0 || person >= personCount(db)
        || !image.contains(personOffset(person), RecordSize::Person))
        return rows;
    for (int slot = 0; slot < PersonRelationship::Count; ++slot) {
        const std::int32_t value =
            image.i32(personOffset(person) + PersonField::Relationships.at(slot).offset);
        QString name;
        if (value < 0)
            name = NoneText;
        else if (PersonRelationship::isClubSlot(slot))
            name = fromCp1252(clubNames.get(value));
        else
            name = personName(db, value);
        rows.append({slotDesc(slot), name});
    }
    return rows;
}

void setUpRelationshipList(QTreeWidget *list)
{
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setColumnWidth(0, 112);
    list->header()->setStretchLastSection(true);
}

void fillRelationshipList(QTreeWidget *list, const QList<RelationshipRow> &rows)
{
    const int selected = selectedRelationshipRow(list);
    list->clear();
    QList<QTreeWidgetItem *> items;
    for (const RelationshipRow &row : rows)
        items.append(new QTreeWidgetItem(QStringList{row.desc, row.name}));
    list->addTopLevelItems(items);
    if (selected >= 0 && selected < items.size()) {
        list->setCurrentItem(items.at(selected));
        items.at(selected)->setSelected(true);
    }
}

int selectedRelationshipRow(const QTreeWidget *list)
{
    const QList<QTreeWidgetItem *> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->indexOfTopLevelItem(selected.first());
}

} // namespace kx3
