#pragma once

#include "core/table/RecordTable.h"
#include "core/table/TableEdit.h"
#include "core/table/TableFilter.h"

#include <QWidget>

#include <memory>
#include <span>

class QCompleter;
class QStringListModel;
class QTimer;

namespace Ui {
class TablePanel;
}

namespace kx3 {

struct DocumentChange;

class RecordTableModel;
struct ScreenContext;

/// The table panel (`pnTable`): the records of one kind (players, staff,
/// clubs, national teams, nations, cities, stadiums or officials) as rows of
/// their screens' fields, filtered and sorted, changed in bulk or
/// cell by cell, and exported to or imported from CSV. Each change is one
/// step of the history, and the panel reads the data again after any other.
class TablePanel : public QWidget
{
    Q_OBJECT

public:
    /// The context must hold the window's steps.
    explicit TablePanel(ScreenContext &context, QWidget *parent = nullptr);
    ~TablePanel() override;

    /// The table shown; null while the panel has not been shown since the
    /// data last changed behind it.
    const RecordTable *table() const { return mTable.get(); }

Q_SIGNALS:
    /// A row was double-clicked, or Enter pressed on it.
    void recordOpened(kx3::RecordKind kind, int index);
    /// "Cancel" or Escape.
    void cancelRequested();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void TableKindChange();
    void TableFilterReturn();
    void TableFilterEdit();
    void applyFilter(bool placeCursor);
    /// Puts a column name picked from the completer in place of what was typed of it.
    void completeColumn(const QString &name);
    void headerClick(int column);
    void headerMenu(const QPoint &pos);
    void openRow(const QModelIndex &index);
    void bnTableSetClick() { askBulkEdit(BulkOperation::Set); }
    void bnTableAddClick() { askBulkEdit(BulkOperation::Add); }
    void bnExportCsvClick();
    void bnImportCsvClick();

    void buildTable();
    void dropTable();
    void historyChanged(const kx3::DocumentChange &change);
    /// The rows the filter keeps, in the order of the sort column.
    void showRows();
    void askBulkEdit(BulkOperation operation);
    bool editCell(int row, int column, const QString &text);
    void writeCells(std::span<const int> rows, int column, BulkOperation operation,
                    const QString &text);
    /// What the core just wrote, as one step; the table was read again by then.
    void takeStep(const QString &label);
    QString headerKey() const;
    void saveHeader();
    /// False when the kind has no header saved.
    bool restoreHeader();

    ScreenContext &mContext;
    std::unique_ptr<Ui::TablePanel> mUi;
    RecordTableModel *mModel = nullptr;
    QTimer *mFilterTimer = nullptr;
    QCompleter *mCompleter = nullptr;
    QStringListModel *mColumnNames = nullptr;
    /// Where the column name the completer offers to finish begins, -1 for
    /// none, and where what was typed of it ends.
    qsizetype mCompletionStart = -1;
    qsizetype mCompletionEnd = 0;
    std::unique_ptr<RecordTable> mTable;
    TableFilter mFilter;
    /// The text of mFilter, the last filter that could be read.
    QString mFilterText;
    int mSortColumn = -1;
    bool mAscending = true;
    /// Set while the panel's own step is taken, which it need not read back.
    bool mTakingStep = false;
    /// Set while the header is rebuilt, so that its state is not saved half done.
    bool mRestoringHeader = false;
};

} // namespace kx3
