#include "SearchGroup.h"

#include "core/db/Database.h"
#include "core/document/Document.h"
#include "core/layout/CodeLists.h"
#include "core/layout/PersonRecord.h"

#include "core/db/Cp1252.h"
#include "gui/widgets/BusyCursor.h"
#include "gui/widgets/ProgressRunner.h"
#include "gui/widgets/Prompter.h"
#include "gui/widgets/ResultList.h"
#include "gui/widgets/SearchResultModel.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

namespace kx3 {

SearchGroup::SearchGroup(const SearchGroupWidgets &widgets, Search search, QString notFound,
                         QObject *parent)
    : QObject(parent), mWidgets(widgets), mSearch(std::move(search)),
      mNotFound(std::move(notFound)), mModel(new SearchResultModel(this))
{
    setUpResultList(mWidgets.list, mModel);
    connect(mWidgets.searchButton, &QPushButton::clicked, this, &SearchGroup::beginSearch);
    connect(mWidgets.list, &QTreeView::doubleClicked, this, &SearchGroup::open);
    mWidgets.list->installEventFilter(this);
    if (mWidgets.gotoButton)
        connect(mWidgets.gotoButton, &QPushButton::clicked, this, &SearchGroup::open);
}

void SearchGroup::beginSearch()
{
    const QString text = mWidgets.box->text();
    if (text.isEmpty() || !mSearch)
        return;
    const bool caseSensitive = mWidgets.caseSensitive && mWidgets.caseSensitive->isChecked();
    bool empty = false;
    {
        BusyCursor busy;
        mModel->setSortedRows(searched(text, caseSensitive));
        empty = mModel->rowCount() == 0;
    }
    mListed.emplace(text, caseSensitive);
    mWidgets.list->setHeaderHidden(false);
    if (empty && mPrompter)
        mPrompter->information(mNotFound);
}

std::optional<qint64> SearchGroup::selectedOffset() const
{
    return kx3::selectedOffset(mWidgets.list);
}

void SearchGroup::clear()
{
    mModel->clear();
    mListed.reset();
    mWidgets.list->setHeaderHidden(true);
}

// A search reads only the images, and its sort only the list's settings: a
// worker does both while the window paints on.
SearchResultModel::SortedRows SearchGroup::searched(const QString &text, bool caseSensitive)
{
    SearchResultModel::SortedRows rows;
    ProgressRunner(mWidgets.list, QStringLiteral("Searching for '%1'").arg(text))
        .runInWorker([&](const Progress &) {
            rows = mModel->sorted(mSearch(toCp1252(text), caseSensitive));
        });
    return rows;
}

// Enter on a result opens it, as a double-click does; the list itself only
// moves with the keys.
bool SearchGroup::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mWidgets.list && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && key->modifiers() == Qt::NoModifier && selectedOffset()) {
            open();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void SearchGroup::open()
{
    if (const auto offset = selectedOffset())
        Q_EMIT chosen(*offset);
}

void SearchGroup::followRecords(Document &doc, EditorScreen kind)
{
    mKind = kind;
    connect(&doc, &Document::changed, this, [this, &doc, kind](const DocumentChange &change) {
        const Database &db = doc.db();
        std::function<bool(int)> belongs;
        if (kind == EditorScreen::Player || kind == EditorScreen::Staff) {
            const bool players = kind == EditorScreen::Player;
            belongs = [&db, players](int index) {
                const std::optional<ConstPersonRecord> p = person(db, index);
                return p
                       && (players ? Classification::hasPlayerAttributes(p->classification())
                                   : Classification::hasStaffAttributes(p->classification()));
            };
        }
        // Kept by the model to read names when they are shown: it holds the
        // document, which outlives every view of it.
        mModel->follow(
            change, recordKind(kind).record, recordKind(kind).recordSize,
            [&doc, kind](int index) { return recordKind(kind).name(doc.db(), index); }, belongs);
        if (change.isLoad())
            mListed.reset();
    });
}

bool SearchGroup::openNeighbour(qint64 offset, int delta)
{
    for (int row = 0; row < mModel->rowCount(); ++row) {
        if (mModel->offsetAt(row) != offset)
            continue;
        const int next = row + delta;
        if (next < 0 || next >= mModel->rowCount())
            return false;
        mWidgets.list->setCurrentIndex(mModel->index(next, 0));
        Q_EMIT chosen(mModel->offsetAt(next));
        return true;
    }
    return false;
}

} // namespace kx3
