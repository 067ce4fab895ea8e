// The table panel's changes to the data: cells set or added to in bulk or
// one at a time, and CSV out and in. The rest of the panel is in TablePanel.cpp.

#include "TablePanel.h"
#include "ui_TablePanel.h"

#include "core/changes/DatabaseDiff.h"
#include "core/db/Cp1252.h"
#include "core/db/Database.h"
#include "core/db/DiskOps.h"
#include "core/document/Document.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/RecordTitles.h"
#include "gui/screen/RecordScreen.h"
#include "gui/widgets/ProgressRunner.h"
#include "gui/widgets/Prompter.h"
#include "gui/widgets/RecordTableModel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>

#include <algorithm>

namespace kx3 {

namespace {

const QString CsvFilter = QStringLiteral("CSV files (*.csv)");

QString listed(const QStringList &lines)
{
    return boxList(lines, 20);
}

} // namespace

void TablePanel::askBulkEdit(BulkOperation operation)
{
    if (!mTable || !mContext.changesAllowed())
        return;
    const QModelIndex current = mUi->tvTable->currentIndex();
    const QModelIndexList selected = mUi->tvTable->selectionModel()->selectedRows();
    if (selected.isEmpty() || !current.isValid()) {
        mContext.prompter.information(
            QStringLiteral("Select the rows to change, with the current cell in the column "
                           "to change."));
        return;
    }
    const int column = current.column();
    const TableColumn &field = mTable->columns()[std::size_t(column)];
    if (!field.editable) {
        mContext.prompter.information(
            QStringLiteral("%1 follows from other fields and cannot be set.").arg(field.name));
        return;
    }
    std::vector<int> rows;
    rows.reserve(std::size_t(selected.size()));
    for (const QModelIndex &index : selected)
        rows.push_back(mModel->tableRow(index.row()));
    std::sort(rows.begin(), rows.end());

    const bool set = operation == BulkOperation::Set;
    const QString many = rows.size() == 1 ? QStringLiteral("the selected row")
                                          : QStringLiteral("%1 selected rows").arg(rows.size());
    bool ok = false;
    const QString text = mContext.prompter.askText(
        set ? QStringLiteral("Set %1").arg(field.name)
            : QStringLiteral("Add To %1").arg(field.name),
        set ? QStringLiteral("%1 of %2:").arg(field.name, many)
            : QStringLiteral("Number to add to %1 of %2:").arg(field.name, many),
        set ? current.data(Qt::EditRole).toString() : QString(), &ok);
    if (ok)
        writeCells(rows, column, operation, text);
}

// Written once the cell's box has closed: a message shown while it is open
// takes its focus, and the box would hand its text in a second time.
bool TablePanel::editCell(int row, int column, const QString &text)
{
    if (!mContext.changesAllowed())
        return false;
    const RecordTable *table = mTable.get();
    const int record = table->record(row);
    QMetaObject::invokeMethod(
        this,
        [this, table, record, column, text] {
            ProgressRunner::whenIdle(this, [this, table, record, column, text] {
                const int now = mTable.get() == table ? mTable->rowOf(record) : -1;
                if (now >= 0)
                    writeCells(std::span(&now, 1), column, BulkOperation::Set, text);
            });
        },
        Qt::QueuedConnection);
    return true;
}

void TablePanel::writeCells(std::span<const int> rows, int column, BulkOperation operation,
                            const QString &text)
{
    const bool set = operation == BulkOperation::Set;
    QString what = QStringLiteral("%1 rows").arg(rows.size());
    if (rows.size() == 1) {
        const int record = mTable->record(rows.front());
        what = fromCp1252(recordTitle(mContext.db, tableFormKind(mTable->kind()), record));
    }
    const QString label = QStringLiteral("%1 %2 \u2014 %3")
                              .arg(set ? QStringLiteral("Set") : QStringLiteral("Add"),
                                   mTable->columns()[std::size_t(column)].name, what);
    TableEditOutcome outcome;
    ProgressRunner(this, label)
        .runHere(
            [&](const Progress &progress) {
                outcome = bulkEdit(mContext.db, mContext.lookups, *mTable, rows, column, operation,
                                   text, progress);
            },
            mUi->tvTable);
    if (!outcome.ok()) {
        showRows();
        if (rows.size() == 1)
            mContext.prompter.error(outcome.refused.constFirst());
        else
            mContext.prompter.information(
                QStringLiteral("%1 of the %2 rows cannot take it; nothing was changed.")
                    .arg(outcome.refused.size())
                    .arg(rows.size()),
                listed(outcome.refused));
        return;
    }
    // Values beyond the advised ranges are asked about as a confirm asks;
    // the rows were written to check them and are taken back on No.
    if (!storeAnyway(mContext.prompter, outcome.advice)) {
        mContext.db.rollBackChanges();
        mContext.lookups.build(mContext.db, mContext.lookups.stadiums().locale());
        mTable->reload();
        showRows();
        return;
    }
    takeStep(label);
}

void TablePanel::takeStep(const QString &label)
{
    mTakingStep = true;
    mContext.doc.commitStep(label);
    mTakingStep = false;
    showRows();
}

void TablePanel::bnExportCsvClick()
{
    if (!mTable)
        return;
    const QString path = mContext.prompter.chooseFile(true, QStringLiteral("Export CSV"),
                                                      CsvFilter, QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    // The columns as the user arranged them, hidden ones left out.
    const QHeaderView *header = mUi->tvTable->horizontalHeader();
    std::vector<int> columns;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        if (!header->isSectionHidden(column))
            columns.push_back(column);
    }
    // Here, not on a worker: reading cells fills the table's caches, and so
    // does painting them.
    Failure failure;
    ProgressRunner(this, QStringLiteral("Exporting to %1").arg(QDir::toNativeSeparators(path)))
        .runHere([&](const Progress &progress) {
            const QByteArray csv = exportCsv(*mTable, mModel->rows(), columns, progress);
            progress(QStringLiteral("Writing the file"), 0, 0);
            failure = saveWholeFile(path, csv);
        });
    if (failure) {
        mContext.prompter.error(
            QStringLiteral("Cannot write %1 (%2)").arg(QDir::toNativeSeparators(path), *failure));
    }
}

// As a patch is applied: checked whole and shown first, then written as one
// step if the user agrees.
void TablePanel::bnImportCsvClick()
{
    if (!mTable || !mContext.changesAllowed())
        return;
    const QString path = mContext.prompter.chooseFile(false, QStringLiteral("Import CSV"),
                                                      CsvFilter, QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    const QString name = QFileInfo(path).fileName();
    QString error;
    const std::optional<QByteArray> read = readUserFile(path, &error);
    if (!read) {
        mContext.prompter.error(error);
        return;
    }
    const QByteArray &csv = *read;
    // The check writes the rows and takes them back: the table's view keeps
    // its picture meanwhile.
    TableEditOutcome check;
    ProgressRunner(this, QStringLiteral("Checking %1").arg(name))
        .runHere(
            [&](const Progress &progress) {
                check = importCsv(mContext.db, mContext.lookups, *mTable, csv, true, progress);
            },
            mUi->tvTable);
    if (!check.ok()) {
        mContext.prompter.information(
            QStringLiteral("%1 cannot be imported; nothing was changed.").arg(name),
            listed(check.refused));
        return;
    }
    if (check.changes.isEmpty()) {
        mContext.prompter.information(QStringLiteral("Nothing to change."));
        return;
    }
    const qsizetype count = check.changes.rowCount();
    const QString question =
        QStringLiteral("Import %1 %2 of %3?")
            .arg(count)
            .arg(count == 1 ? QStringLiteral("change") : QStringLiteral("changes"), name);
    if (mContext.prompter.questionWithExtra(question, listed(diffLines(check.changes)), QString())
            != Prompter::Choice::Yes
        || !storeAnyway(mContext.prompter, check.advice))
        return;
    TableEditOutcome outcome;
    ProgressRunner(this, QStringLiteral("Importing %1").arg(name))
        .runHere(
            [&](const Progress &progress) {
                outcome = importCsv(mContext.db, mContext.lookups, *mTable, csv, false, progress);
            },
            mUi->tvTable);
    if (!outcome.ok()) {
        showRows();
        mContext.prompter.information(
            QStringLiteral("%1 was not imported; nothing was changed.").arg(name),
            listed(outcome.refused));
        return;
    }
    takeStep(QStringLiteral("Import CSV \u2014 %1").arg(name));
}

} // namespace kx3
