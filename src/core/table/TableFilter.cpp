#include "core/table/TableFilter.h"

#include "core/table/RecordTable.h"
#include "core/table/TableColumns.h"

#include <QDate>
#include <QStringView>

namespace kx3 {

struct TableFilter::Node
{
    enum Type : std::uint8_t { Term, And, Or };
    enum Op : std::uint8_t { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual, Contains };
    Type type = Term;
    int column = -1;
    Op op = Equal;
    QString text;
    double number = 0.0;
    std::unique_ptr<Node> left;
    std::unique_ptr<Node> right;

    void evaluate(const RecordTable &table, std::vector<std::uint8_t> &keep) const;
};

namespace {

class Parser
{
public:
    Parser(const QString &text, const RecordTable &table) : mText(text), mTable(table) {}

    std::unique_ptr<TableFilter::Node> parse(FilterError *error)
    {
        std::unique_ptr<TableFilter::Node> root = expression();
        skipBlanks();
        if (root && mAt < mText.size())
            fail(QStringLiteral("expected 'and' or 'or'"));
        if (!mError.message.isEmpty()) {
            if (error)
                *error = mError;
            return nullptr;
        }
        return root;
    }

private:
    using Node = TableFilter::Node;

    std::unique_ptr<Node> expression() { return chain(QStringLiteral("or"), Node::Or); }

    // `and` binds before `or`.
    std::unique_ptr<Node> chain(const QString &word, Node::Type type)
    {
        std::unique_ptr<Node> left =
            type == Node::Or ? chain(QStringLiteral("and"), Node::And) : primary();
        while (left && keyword(word)) {
            std::unique_ptr<Node> right =
                type == Node::Or ? chain(QStringLiteral("and"), Node::And) : primary();
            if (!right)
                return nullptr;
            auto node = std::make_unique<Node>();
            node->type = type;
            node->left = std::move(left);
            node->right = std::move(right);
            left = std::move(node);
        }
        return left;
    }

    std::unique_ptr<Node> primary()
    {
        skipBlanks();
        if (peek(u'(')) {
            ++mAt;
            std::unique_ptr<Node> inner = expression();
            skipBlanks();
            if (!inner)
                return nullptr;
            if (!peek(u')'))
                return fail(QStringLiteral("expected ')'"));
            ++mAt;
            return inner;
        }
        return term();
    }

    std::unique_ptr<Node> term()
    {
        auto node = std::make_unique<Node>();
        const qsizetype fieldAt = mAt;
        if (mAt >= mText.size())
            return fail(QStringLiteral("expected a column name"));
        node->column = columnAt();
        if (!mError.message.isEmpty())
            return nullptr;
        if (node->column < 0)
            return fail(QStringLiteral("no column '%1'").arg(mWord), fieldAt);
        skipBlanks();
        static const std::pair<const char16_t *, Node::Op> Ops[] = {
            {u"<=", Node::LessEqual}, {u">=", Node::GreaterEqual}, {u"!=", Node::NotEqual},
            {u"=", Node::Equal},      {u"<", Node::Less},          {u">", Node::Greater},
            {u"~", Node::Contains}};
        bool found = false;
        for (const auto &[text, op] : Ops) {
            const QStringView v(text);
            if (QStringView(mText).mid(mAt).startsWith(v)) {
                node->op = op;
                mAt += v.size();
                found = true;
                break;
            }
        }
        if (!found)
            return fail(QStringLiteral("expected an operator (= != < <= > >= ~)"));
        skipBlanks();
        const qsizetype valueAt = mAt;
        if (!word(true))
            return mError.message.isEmpty() ? fail(QStringLiteral("expected a value")) : nullptr;
        node->text = mWord;
        const TableColumn &column = mTable.columns()[std::size_t(node->column)];
        if (column.type != TableColumn::Text && node->op != Node::Contains) {
            const std::optional<double> v = cellValue(column.type, mWord);
            // A cell may hold a damaged date and still compares, but a
            // day no calendar has typed into a filter is a slip to point out.
            if (const auto d = column.type == TableColumn::Date ? dateParts(mWord) : std::nullopt;
                d && !QDate::isValid((*d)[2], (*d)[1], (*d)[0]))
                return fail(QStringLiteral("'%1' is a day no calendar has").arg(mWord), valueAt);
            if (!v) {
                return fail(column.type == TableColumn::Date
                                ? QStringLiteral("'%1' is not a d/m/yyyy date").arg(mWord)
                                : QStringLiteral("'%1' is not a number").arg(mWord),
                            valueAt);
            }
            node->number = *v;
        }
        return node;
    }

    /// A column name: quoted, or the longest header that starts here, or
    /// one word (which names no column).
    int columnAt()
    {
        if (peek(u'"')) {
            if (!word(false))
                return -1;
            return mTable.column(mWord);
        }
        int best = -1;
        qsizetype bestLength = 0;
        const QStringView rest = QStringView(mText).mid(mAt);
        for (std::size_t i = 0; i < mTable.columns().size(); ++i) {
            const QString &full = mTable.columns()[i].name;
            for (const QString &name : {full, columnShortName(full)}) {
                if (name.size() <= bestLength || !rest.startsWith(name, Qt::CaseInsensitive))
                    continue;
                const qsizetype end = name.size();
                if (end < rest.size() && (rest[end].isLetterOrNumber() || rest[end] == u'_'))
                    continue;
                best = int(i);
                bestLength = name.size();
            }
        }
        if (best >= 0) {
            mAt += bestLength;
            return best;
        }
        word(false);
        return -1;
    }

    /// Reads a quoted text, or a run up to a blank (a value also stops at
    /// ')', a name at an operator).
    bool word(bool value)
    {
        mWord.clear();
        if (peek(u'"')) {
            const qsizetype start = mAt;
            ++mAt;
            while (mAt < mText.size() && mText[mAt] != u'"')
                mWord += mText[mAt++];
            if (mAt >= mText.size()) {
                fail(QStringLiteral("the quote is not closed"), start);
                return false;
            }
            ++mAt;
            return true;
        }
        while (mAt < mText.size() && !mText[mAt].isSpace() && mText[mAt] != u')'
               && (value || QStringLiteral("=!<>~(").indexOf(mText[mAt]) < 0))
            mWord += mText[mAt++];
        return !mWord.isEmpty();
    }

    bool keyword(const QString &k)
    {
        skipBlanks();
        const QStringView rest = QStringView(mText).mid(mAt);
        if (!rest.startsWith(k, Qt::CaseInsensitive)
            || (rest.size() > k.size() && !rest[k.size()].isSpace() && rest[k.size()] != u'('
                && rest[k.size()] != u'"'))
            return false;
        mAt += k.size();
        return true;
    }

    bool peek(char16_t c) const { return mAt < mText.size() && mText[mAt] == c; }

    void skipBlanks()
    {
        while (mAt < mText.size() && mText[mAt].isSpace())
            ++mAt;
    }

    std::unique_ptr<Node> fail(const QString &message, qsizetype at = -1)
    {
        if (mError.message.isEmpty())
            mError = {message, int(at < 0 ? mAt : at)};
        return nullptr;
    }

    const QString &mText;
    const RecordTable &mTable;
    qsizetype mAt = 0;
    QString mWord;
    FilterError mError;
};

template <typename T>
bool compare(TableFilter::Node::Op op, const T &a, const T &b)
{
    using Node = TableFilter::Node;
    switch (op) {
    case Node::Equal: return a == b;
    case Node::NotEqual: return a != b;
    case Node::Less: return a < b;
    case Node::LessEqual: return a <= b;
    case Node::Greater: return a > b;
    case Node::GreaterEqual: return a >= b;
    case Node::Contains: break;
    }
    return false;
}

} // namespace

void TableFilter::Node::evaluate(const RecordTable &table, std::vector<std::uint8_t> &keep) const
{
    const std::size_t rows = keep.size();
    if (type != Term) {
        std::vector<std::uint8_t> other(rows);
        left->evaluate(table, keep);
        right->evaluate(table, other);
        for (std::size_t r = 0; r < rows; ++r)
            keep[r] = type == And ? (keep[r] & other[r]) : (keep[r] | other[r]);
        return;
    }
    const TableColumn::Type columnType = table.columns()[std::size_t(column)].type;
    if (columnType == TableColumn::Text) {
        keep = table.textMatches(column, [this](const QString &cell) {
            return op == Contains ? cell.contains(text, Qt::CaseInsensitive)
                                  : compare(op, cell.compare(text, Qt::CaseInsensitive), 0);
        });
    } else if (op == Contains) {
        for (std::size_t r = 0; r < rows; ++r)
            keep[r] = table.text(int(r), column).contains(text, Qt::CaseInsensitive);
    } else {
        const auto [values, has] = table.columnValues(column);
        for (std::size_t r = 0; r < rows; ++r)
            keep[r] = has[r] ? compare(op, values[r], number) : op == NotEqual;
    }
}

QString FilterError::text() const
{
    return QStringLiteral("%1 at character %2").arg(message).arg(position + 1);
}

TableFilter::TableFilter() = default;
TableFilter::~TableFilter() = default;
TableFilter::TableFilter(TableFilter &&) noexcept = default;
TableFilter &TableFilter::operator=(TableFilter &&) noexcept = default;

std::optional<TableFilter> TableFilter::parse(const QString &text, const RecordTable &table,
                                              FilterError *error)
{
    TableFilter filter;
    if (text.trimmed().isEmpty())
        return filter;
    filter.mRoot = Parser(text, table).parse(error);
    if (!filter.mRoot)
        return std::nullopt;
    return filter;
}

bool TableFilter::isEmpty() const
{
    return !mRoot;
}

std::vector<int> TableFilter::apply(const RecordTable &table) const
{
    std::vector<int> rows;
    if (!mRoot) {
        rows.resize(std::size_t(table.rowCount()));
        for (int r = 0; r < table.rowCount(); ++r)
            rows[std::size_t(r)] = r;
        return rows;
    }
    std::vector<std::uint8_t> keep(std::size_t(table.rowCount()));
    mRoot->evaluate(table, keep);
    for (std::size_t r = 0; r < keep.size(); ++r) {
        if (keep[r])
            rows.push_back(int(r));
    }
    return rows;
}

} // namespace kx3
