#pragma once

#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace kx3 {

class RecordTable;

/// Where and why a filter text cannot be read.
struct FilterError
{
    QString message;
    /// Character of the filter text where it goes wrong, from 0.
    int position = 0;

    /// "expected a value at character 7": counted from 1, as a reader counts.
    QString text() const;
};

/// A filter over a table's rows, written as terms `field op value` joined by
/// `and` / `or` (`and` binds first): ops = != < <= > >= and ~ (contains,
/// without regard to case). A field is a column header (any case; quoted
/// when it holds blanks), a value a number, a d/m/yyyy date (one the
/// calendar has) or a text (quoted when it holds blanks). Texts compare without regard to case.
/// An empty filter keeps every row.
class TableFilter
{
public:
    TableFilter();
    ~TableFilter();
    TableFilter(TableFilter &&) noexcept;
    TableFilter &operator=(TableFilter &&) noexcept;

    /// Reads `text` against the columns of `table`; nothing, with `error`
    /// set, when it is not a filter.
    static std::optional<TableFilter> parse(const QString &text, const RecordTable &table,
                                            FilterError *error);

    bool isEmpty() const;
    /// The rows of `table` it keeps, in row order.
    std::vector<int> apply(const RecordTable &table) const;

    struct Node; ///< a term, or two joined by `and` / `or`

private:
    std::unique_ptr<Node> mRoot;
};

} // namespace kx3
