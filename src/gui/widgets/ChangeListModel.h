#pragma once

#include "core/changes/DatabaseDiff.h"

#include <QAbstractTableModel>

#include <utility>
#include <vector>

namespace kx3 {

/// The rows of a change list: one per field that reads differently, one per
/// record added or removed, in the order of the diff.
///
/// A list can run to every field of thousands of records: a row is only a
/// pair of indices into the diff, and its texts are read when the view asks.
class ChangeListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { RecordColumn, FieldColumn, OldColumn, NewColumn, ColumnCount };

    explicit ChangeListModel(DatabaseDiff diff, QObject *parent = nullptr);

    const DatabaseDiff &diff() const { return mDiff; }
    /// The record `row` speaks of; null for a row that does not exist.
    const RecordChange *recordAt(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QString text(int row, int column) const;

    DatabaseDiff mDiff;
    /// Per row: the record's place in the diff, and its field's (-1: the
    /// row stands for the whole record).
    std::vector<std::pair<int, int>> mRows;
};

} // namespace kx3
