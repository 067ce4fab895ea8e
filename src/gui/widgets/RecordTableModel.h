#pragma once

#include <QAbstractTableModel>

#include <functional>
#include <vector>

namespace kx3 {

class RecordTable;

/// The rows of a record table a view shows, in the order shown: each is a
/// row of the table, read from it only when the view paints it.
///
/// New rows (another filter or sort, or the table read again) keep the
/// selection and the current cell on their records, wherever they now are.
class RecordTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    /// Writes `text` into `column` of table row `row`; true when it was
    /// written. It may give the model new rows before it returns.
    using CellEditor = std::function<bool(int row, int column, const QString &text)>;

    explicit RecordTableModel(QObject *parent = nullptr);

    /// Shows `rows` of `table` (none: an empty view), its columns replacing
    /// the last table's.
    void setTable(const RecordTable *table, std::vector<int> rows);
    /// Shows other rows of the same table.
    void setRows(std::vector<int> rows);
    void setCellEditor(CellEditor editor) { mEditor = std::move(editor); }

    const RecordTable *table() const { return mTable; }
    /// The table rows shown, top to bottom.
    const std::vector<int> &rows() const { return mRows; }
    int tableRow(int viewRow) const { return mRows[std::size_t(viewRow)]; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

private:
    std::vector<int> recordsOf(const std::vector<int> &rows) const;

    const RecordTable *mTable = nullptr;
    std::vector<int> mRows;
    /// The record of each row shown, as it was when shown: the table may
    /// have been read again since, and its rows renumbered.
    std::vector<int> mRecords;
    CellEditor mEditor;
};

} // namespace kx3
