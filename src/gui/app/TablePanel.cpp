#include "TablePanel.h"
#include "ui_TablePanel.h"

#include "core/document/Document.h"
#include "gui/screen/RecordScreen.h"
#include "gui/widgets/BusyCursor.h"
#include "gui/widgets/CancelOnEscape.h"
#include "gui/widgets/PanelAnchors.h"
#include "gui/widgets/ProgressRunner.h"
#include "gui/widgets/RecordTableModel.h"

#include <QCompleter>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QRegularExpression>
#include <QSettings>
#include <QShortcut>
#include <QStringListModel>
#include <QTimer>

#include <algorithm>
#include <numeric>

namespace kx3 {

namespace {

const QAbstractItemView::EditTriggers EditTriggers =
    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed;

/// "national teams" as a list item: "National Teams".
QString kindCaption(TableKind kind)
{
    QStringList words = tableKindNoun(kind).split(QLatin1Char(' '));
    for (QString &word : words) {
        if (!word.isEmpty())
            word[0] = word[0].toUpper();
    }
    return words.join(QLatin1Char(' '));
}

/// Where the column name being typed before `cursor` begins, -1 when none is:
/// a name follows the start, a bracket, `and` or `or`, and may hold blanks,
/// so the earliest word from which the text begins some column's name wins
/// ("current ab" finishes as "Current Ability"). Past an operator or a quote
/// a value is typed, which no column name finishes.
qsizetype columnNameStart(const QString &text, qsizetype cursor, const QStringList &names)
{
    static const QRegularExpression segment(
        QStringLiteral(R"((?:^|\(|\b(?:and|or)\s)\s*([^=!<>~"()]*)$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = segment.match(text.left(cursor));
    if (!m.hasMatch())
        return -1;
    for (qsizetype at = m.capturedStart(1); at < cursor; ++at) {
        if (text[at].isSpace() || (at > m.capturedStart(1) && !text[at - 1].isSpace()))
            continue;
        const QStringView typed = QStringView(text).mid(at, cursor - at);
        if (std::any_of(names.begin(), names.end(), [typed](const QString &name) {
                return name.startsWith(typed, Qt::CaseInsensitive);
            }))
            return at;
    }
    return -1;
}

} // namespace

TablePanel::TablePanel(ScreenContext &context, QWidget *parent)
    : QWidget(parent), mContext(context), mUi(std::make_unique<Ui::TablePanel>())
{
    mUi->setupUi(this);
    using A = PanelAnchors;
    auto *anchors = new PanelAnchors(this);
    anchors->anchor({"lbTableTitle", "lbFilterError"}, {A::Grow, A::Fixed});
    anchors->anchor({"lbTableCount"}, {A::Move, A::Fixed});
    anchors->anchor({"tvTable"}, {A::Grow, A::Grow});
    anchors->anchor({"bnTableSet", "bnTableAdd", "bnExportCsv", "bnImportCsv"},
                    {A::Fixed, A::Move});
    anchors->anchor({"bnTableCancel"}, {A::Move, A::Move});
    for (TableKind kind : AllTableKinds)
        mUi->TableKind->addItem(kindCaption(kind), int(kind));

    mModel = new RecordTableModel(this);
    mModel->setCellEditor(
        [this](int row, int column, const QString &text) { return editCell(row, column, text); });
    QTableView *view = mUi->tvTable;
    view->setModel(mModel);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // A double click opens the record; typing or F2 edits the cell.
    view->setEditTriggers(EditTriggers);
    view->setWordWrap(false);
    view->setTabKeyNavigation(false);
    view->verticalHeader()->hide();
    // Rows of one fixed height: a million scroll without being measured.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    QHeaderView *header = view->horizontalHeader();
    header->setSectionsMovable(true);
    header->setSortIndicatorShown(true);
    header->setHighlightSections(false);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    view->installEventFilter(this);

    mFilterTimer = new QTimer(this);
    mFilterTimer->setSingleShot(true);
    mFilterTimer->setInterval(300);

    connect(mUi->TableKind, &QComboBox::currentIndexChanged, this, &TablePanel::TableKindChange);
    // Completes the word under the cursor, not the whole line: the line
    // holds several terms. The completer is not the line edit's own, which
    // would replace all of its text.
    mColumnNames = new QStringListModel(this);
    mCompleter = new QCompleter(mColumnNames, this);
    mCompleter->setCaseSensitivity(Qt::CaseInsensitive);
    mCompleter->setCompletionMode(QCompleter::PopupCompletion);
    mCompleter->setWidget(mUi->TableFilter);
    connect(mCompleter, qOverload<const QString &>(&QCompleter::activated), this,
            &TablePanel::completeColumn);
    connect(mUi->TableFilter, &QLineEdit::textEdited, this, &TablePanel::TableFilterEdit);
    // Typed before an import or an edit of many rows, the filter reads the
    // table once they are over.
    connect(mFilterTimer, &QTimer::timeout, this,
            [this] { ProgressRunner::whenIdle(this, [this] { applyFilter(false); }); });
    connect(mUi->TableFilter, &QLineEdit::returnPressed, this, &TablePanel::TableFilterReturn);
    connect(header, &QHeaderView::sectionClicked, this, &TablePanel::headerClick);
    connect(header, &QHeaderView::customContextMenuRequested, this, &TablePanel::headerMenu);
    connect(header, &QHeaderView::sectionMoved, this, &TablePanel::saveHeader);
    connect(header, &QHeaderView::sectionResized, this, &TablePanel::saveHeader);
    connect(view, &QTableView::doubleClicked, this, &TablePanel::openRow);
    connect(mUi->bnTableSet, &QPushButton::clicked, this, &TablePanel::bnTableSetClick);
    connect(mUi->bnTableAdd, &QPushButton::clicked, this, &TablePanel::bnTableAddClick);
    connect(mUi->bnExportCsv, &QPushButton::clicked, this, &TablePanel::bnExportCsvClick);
    connect(mUi->bnImportCsv, &QPushButton::clicked, this, &TablePanel::bnImportCsvClick);
    connect(mUi->bnTableCancel, &QPushButton::clicked, this, &TablePanel::cancelRequested);
    connect(&context.doc, &Document::changed, this, &TablePanel::historyChanged);
    cancelOnEscape(this, mUi->bnTableCancel);
    auto *find = new QShortcut(QKeySequence::Find, this);
    find->setContext(Qt::WidgetWithChildrenShortcut);
    connect(find, &QShortcut::activated, this, [this] {
        mUi->TableFilter->setFocus(Qt::ShortcutFocusReason);
        mUi->TableFilter->selectAll();
    });
}

TablePanel::~TablePanel()
{
    // The model must not outlive the table it reads.
    mModel->setTable(nullptr, {});
}

// The table is read when it is first seen, not after every change made
// elsewhere while it was out of sight.
void TablePanel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    const bool changes = mContext.changesAllowed();
    for (QWidget *button : {mUi->bnTableSet, mUi->bnTableAdd, mUi->bnImportCsv})
        button->setEnabled(changes);
    mUi->tvTable->setEditTriggers(changes ? EditTriggers : QAbstractItemView::NoEditTriggers);
    if (!mTable)
        buildTable();
    mUi->tvTable->setFocus();
}

bool TablePanel::eventFilter(QObject *watched, QEvent *event)
{
    // A Return that ends a cell's edit comes on to the view, which no longer
    // has the focus then: it opens nothing.
    if (watched == mUi->tvTable && event->type() == QEvent::KeyPress && mUi->tvTable->hasFocus()) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openRow(mUi->tvTable->currentIndex());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TablePanel::buildTable()
{
    BusyCursor busy;
    dropTable();
    const auto kind = TableKind(mUi->TableKind->currentData().toInt());
    mTable = std::make_unique<RecordTable>(mContext.db, mContext.lookups, kind);
    mRestoringHeader = true;
    mModel->setTable(mTable.get(), {});
    const bool restored = restoreHeader();
    QStringList names;
    for (const TableColumn &c : mTable->columns())
        names.append(c.name);
    mColumnNames->setStringList(names);
    // The filter typed for one kind is kept for the next when it reads;
    // when it does not, the new kind shows every row, and says so.
    mFilter = TableFilter();
    mFilterText.clear();
    applyFilter(false);
    if (!mUi->lbFilterError->text().isEmpty())
        showRows();
    if (!restored)
        mUi->tvTable->resizeColumnsToContents();
    mRestoringHeader = false;
}

// The header loses its sections with the model's columns: that is no choice
// of the user's to save.
void TablePanel::dropTable()
{
    mRestoringHeader = true;
    mModel->setTable(nullptr, {});
    mTable.reset();
    mRestoringHeader = false;
}

// A step taken elsewhere (an undo, a screen's confirm, a load) may change any
// row of its kind, and a name any person's; the panel's own steps leave the
// table as the core reloaded it.
void TablePanel::historyChanged(const DocumentChange &change)
{
    if (mTakingStep || !mTable)
        return;
    const RecordKind shown = tableFormKind(mTable->kind());
    const bool moved = std::any_of(change.moves.begin(), change.moves.end(),
                                   [shown](const RecordMove &m) { return m.kind == shown; });
    if (!change.isLoad() && !change.touched[std::size_t(shown)] && !moved && !change.names
        && !change.lists)
        return;
    if (!isVisible()) {
        dropTable();
        return;
    }
    BusyCursor busy;
    mTable->reload();
    showRows();
}

void TablePanel::showRows()
{
    if (!mTable)
        return;
    std::vector<int> rows;
    {
        BusyCursor busy;
        if (mFilter.isEmpty()) {
            rows.resize(std::size_t(mTable->rowCount()));
            std::iota(rows.begin(), rows.end(), 0);
        } else {
            rows = mFilter.apply(*mTable);
        }
        if (mSortColumn >= 0)
            rows = mTable->sorted(std::move(rows), mSortColumn, mAscending);
    }
    mModel->setRows(std::move(rows));
    mUi->lbTableCount->setText(
        tableCountText(mTable->kind(), mModel->rowCount(), mTable->rowCount()));
}

void TablePanel::TableKindChange()
{
    mFilterTimer->stop();
    if (isVisible())
        buildTable();
    else
        dropTable();
}

void TablePanel::TableFilterReturn()
{
    // That Return picked a column name: the filter is read once it is in place.
    if (mCompleter->popup()->isVisible())
        return;
    applyFilter(true);
}

void TablePanel::TableFilterEdit()
{
    mFilterTimer->start();
    const QLineEdit *line = mUi->TableFilter;
    mCompletionEnd = line->cursorPosition();
    mCompletionStart = columnNameStart(line->text(), mCompletionEnd, mColumnNames->stringList());
    if (mCompletionStart < 0) {
        mCompleter->popup()->hide();
        return;
    }
    mCompleter->setCompletionPrefix(
        line->text().mid(mCompletionStart, mCompletionEnd - mCompletionStart));
    mCompleter->complete();
}

// The Return that picks a name reaches the line too, which may have moved
// its cursor by then: the name replaces what was typed of it.
void TablePanel::completeColumn(const QString &name)
{
    QLineEdit *line = mUi->TableFilter;
    if (mCompletionStart < 0 || mCompletionEnd > line->text().size())
        return;
    line->setText(line->text().left(mCompletionStart) + name + line->text().mid(mCompletionEnd));
    line->setCursorPosition(int(mCompletionStart + name.size()));
    mCompletionStart = -1;
    mFilterTimer->start();
}

// While typing, the cursor stays where the user types; Return takes it to
// the fault.
//
// A filter that cannot be read (most often one still being typed) keeps the
// rows of the last one that could, rather than dropping to every row at each
// keystroke; the message under the line then says whose rows they are, so
// that the rows, the count and a bulk edit over them are never taken for
// the text's.
void TablePanel::applyFilter(bool placeCursor)
{
    mFilterTimer->stop();
    if (!mTable)
        return;
    FilterError error;
    const QString text = mUi->TableFilter->text();
    std::optional<TableFilter> filter = TableFilter::parse(text, *mTable, &error);
    if (!filter) {
        const QString kept = mFilterText.trimmed().isEmpty()
                                 ? QStringLiteral("every row")
                                 : QStringLiteral("the rows of \u201c%1\u201d").arg(mFilterText);
        mUi->lbFilterError->setText(
            QStringLiteral("%1 \u2014 showing %2").arg(error.text(), kept));
        mUi->lbFilterError->setToolTip(mUi->lbFilterError->text());
        if (placeCursor)
            mUi->TableFilter->setCursorPosition(error.position);
        return;
    }
    mUi->lbFilterError->clear();
    mUi->lbFilterError->setToolTip(QString());
    mFilter = std::move(*filter);
    mFilterText = text.trimmed();
    showRows();
}

void TablePanel::headerClick(int column)
{
    if (!mTable)
        return;
    mAscending = column == mSortColumn ? !mAscending : true;
    mSortColumn = column;
    // The header flips its own arrow on a click; the panel's order is the one shown.
    mUi->tvTable->horizontalHeader()->setSortIndicator(column, mAscending ? Qt::AscendingOrder
                                                                          : Qt::DescendingOrder);
    showRows();
    saveHeader();
}

// The last column shown cannot be hidden: with none, there would be no
// header left to bring one back from.
void TablePanel::headerMenu(const QPoint &pos)
{
    if (!mTable)
        return;
    QHeaderView *header = mUi->tvTable->horizontalHeader();
    QMenu menu(this);
    const bool lastShown = header->hiddenSectionCount() >= header->count() - 1;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        QAction *action = menu.addAction(mTable->columns()[std::size_t(column)].name);
        action->setCheckable(true);
        action->setChecked(!header->isSectionHidden(column));
        action->setEnabled(header->isSectionHidden(column) || !lastShown);
        connect(action, &QAction::toggled, this, [this, header, column](bool shown) {
            header->setSectionHidden(column, !shown);
            saveHeader();
        });
    }
    menu.exec(header->viewport()->mapToGlobal(pos));
}

QString TablePanel::headerKey() const
{
    return QStringLiteral("table/%1/header").arg(QLatin1String(tableKindName(mTable->kind())));
}

void TablePanel::saveHeader()
{
    if (mRestoringHeader || !mTable)
        return;
    QSettings().setValue(headerKey(), mUi->tvTable->horizontalHeader()->saveState());
}

// Each kind keeps its own columns, order, widths and sort.
bool TablePanel::restoreHeader()
{
    QHeaderView *header = mUi->tvTable->horizontalHeader();
    const QByteArray state = QSettings().value(headerKey()).toByteArray();
    const bool restored = !state.isEmpty() && header->restoreState(state);
    if (!restored)
        header->setSortIndicator(-1, Qt::AscendingOrder);
    mSortColumn = header->sortIndicatorSection();
    if (mSortColumn >= mModel->columnCount())
        mSortColumn = -1;
    mAscending = header->sortIndicatorOrder() == Qt::AscendingOrder;
    return restored;
}

void TablePanel::openRow(const QModelIndex &index)
{
    if (!mTable || !index.isValid())
        return;
    Q_EMIT recordOpened(tableFormKind(mTable->kind()),
                        mTable->record(mModel->tableRow(index.row())));
}

} // namespace kx3
