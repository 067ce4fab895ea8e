// Tables as CSV files and back: RFC 4180 quoting, UTF-8.
#include "core/table/TableEdit.h"

#include "core/changes/FormFields.h"
#include "core/db/Cp1252.h"
#include "core/table/TableColumns.h"
#include "core/table/TableRows.h"

#include <QHash>
#include <QStringDecoder>

#include <algorithm>

namespace kx3 {

namespace {

const QString IndexColumn = QStringLiteral("Index");

struct CsvRow
{
    int line = 0;
    QStringList fields;
};

/// The rows of a CSV text; false with `error` naming the line and column
/// where the quoting breaks.
bool parseCsv(const QString &text, std::vector<CsvRow> &rows, QString &error,
              const Progress &progress)
{
    int line = 1;
    int column = 1;
    qsizetype at = 0;
    const qsizetype size = text.size();
    CsvRow row{line, {}};
    auto fail = [&](int l, int c, const char *why) {
        error = QStringLiteral("line %1, column %2: %3").arg(l).arg(c).arg(QLatin1String(why));
        return false;
    };
    auto endRow = [&] {
        // A blank line is no row.
        if (!(row.fields.size() == 1 && row.fields[0].isEmpty()))
            rows.push_back(row);
        // In kilo-characters: a file's length may be past an int.
        if (progress && line % 4096 == 0)
            progress(QStringLiteral("Reading the file"), int(at / 1024), int(size / 1024));
        row = CsvRow{line, {}};
        column = 1;
    };
    while (at < size) {
        QString field;
        if (text[at] == u'"') {
            const int startLine = line;
            ++at;
            for (;;) {
                if (at >= size)
                    return fail(startLine, column, "the quote is not closed");
                const QChar c = text[at++];
                if (c == u'"') {
                    if (at < size && text[at] == u'"') {
                        field += u'"';
                        ++at;
                        continue;
                    }
                    break;
                }
                if (c == u'\n')
                    ++line;
                field += c;
            }
            if (at < size && text[at] != u',' && text[at] != u'\n' && text[at] != u'\r')
                return fail(line, column, "text after the closing quote");
        } else {
            while (at < size && text[at] != u',' && text[at] != u'\n' && text[at] != u'\r') {
                if (text[at] == u'"')
                    return fail(line, column, "a quote inside a field not quoted");
                field += text[at++];
            }
        }
        if (marksText(field))
            field.remove(0, 1);
        row.fields.append(field);
        if (at < size && text[at] == u',') {
            ++at;
            ++column;
            if (at == size)
                row.fields.append(QString());
            continue;
        }
        if (at < size && text[at] == u'\r')
            ++at;
        if (at < size && text[at] == u'\n')
            ++at;
        ++line;
        endRow();
    }
    if (!row.fields.isEmpty())
        endRow();
    return true;
}

} // namespace

QByteArray exportCsv(const RecordTable &table, std::span<const int> rows,
                     std::span<const int> columns, const Progress &progress)
{
    // Each line is made in one reused buffer and appended to room reserved
    // for the whole: three quarters of a million lines are never copied
    // again as the text grows.
    // The byte-order mark tells a spreadsheet the file is UTF-8: without it
    // Excel reads "£" and accented names as two letters each.
    std::string line = "\xEF\xBB\xBF" + IndexColumn.toStdString();
    for (const int c : columns) {
        line += ',';
        appendCsvField(line, table.columns()[std::size_t(c)].name);
    }
    line += "\r\n";
    QByteArray out;
    out.reserve(qsizetype(line.size())
                + qsizetype(rows.size()) * qsizetype(4 * columns.size() + 16));
    out.append(line.data(), qsizetype(line.size()));
    int done = 0;
    for (const int r : rows) {
        reportEvery(progress, 4096, QStringLiteral("Writing rows"), done++, int(rows.size()));
        line.clear(); // keeps its room
        line += std::to_string(table.record(r));
        if (!columns.empty()) {
            line += ',';
            table.appendCsvRow(r, columns, line);
        }
        line += "\r\n";
        out.append(line.data(), qsizetype(line.size()));
    }
    return out;
}

QByteArray exportCsv(const RecordTable &table)
{
    std::vector<int> rows(std::size_t(table.rowCount()));
    for (std::size_t r = 0; r < rows.size(); ++r)
        rows[r] = int(r);
    std::vector<int> columns(table.columns().size());
    for (std::size_t c = 0; c < columns.size(); ++c)
        columns[c] = int(c);
    return exportCsv(table, rows, columns);
}

TableEditOutcome importCsv(Database &db, Lookups &lookups, RecordTable &table,
                           const QByteArray &csv, bool dryRun, const Progress &progress)
{
    TableEditOutcome out;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(csv);
    if (utf8.hasError()) {
        out.refused.append(QStringLiteral("The file is not UTF-8 text."));
        return out;
    }
    std::vector<CsvRow> rows;
    QString error;
    if (!parseCsv(text, rows, error, progress)) {
        out.refused.append(error);
        return out;
    }
    if (rows.empty()) {
        out.refused.append(QStringLiteral("line 1: the file has no header"));
        return out;
    }
    // The header: the Index, and columns of the table in any order.
    const CsvRow &header = rows.front();
    std::vector<int> columnOf(std::size_t(header.fields.size()), -1);
    int indexAt = -1;
    QStringList unknown;
    for (qsizetype i = 0; i < header.fields.size(); ++i) {
        const QString name = header.fields[i].trimmed();
        const bool isIndex = name.compare(IndexColumn, Qt::CaseInsensitive) == 0;
        const int c = isIndex ? -2 : table.column(name);
        if (c == -1) {
            unknown.append(QStringLiteral("'%1'").arg(header.fields[i]));
            continue;
        }
        if ((isIndex && indexAt >= 0)
            || (!isIndex && std::find(columnOf.begin(), columnOf.end(), c) != columnOf.end())) {
            out.refused.append(QStringLiteral("line %1, column %2: '%3' is there twice")
                                   .arg(header.line)
                                   .arg(i + 1)
                                   .arg(name));
            continue;
        }
        if (isIndex)
            indexAt = int(i);
        else
            columnOf[std::size_t(i)] = c;
    }
    if (!unknown.isEmpty())
        out.refused.prepend(
            QStringLiteral("line %1: the %2 table has no columns %3")
                .arg(header.line)
                .arg(tableKindNoun(table.kind()), unknown.join(QStringLiteral(", "))));
    const RowMatcher matcher(table, indexAt, columnOf);
    if (!out.ok())
        return out;
    if (!matcher.canMatch()) {
        out.refused.append(QStringLiteral("line %1: an Index column, or the name columns, "
                                          "are needed to find each row's record")
                               .arg(header.line));
        return out;
    }

    std::vector<RowWrite> writes;
    QHash<int, int> lineOf; // record -> the line naming it
    for (std::size_t i = 1; i < rows.size(); ++i) {
        reportEvery(progress, 4096, QStringLiteral("Matching rows"), int(i), int(rows.size()));
        const CsvRow &r = rows[i];
        if (r.fields.size() != header.fields.size()) {
            out.refused.append(QStringLiteral("line %1: %2 fields, the header has %3")
                                   .arg(r.line)
                                   .arg(r.fields.size())
                                   .arg(header.fields.size()));
            continue;
        }
        QString why;
        int blame = 0;
        const int row = matcher.match(r.fields, why, blame);
        if (row < 0) {
            out.refused.append(
                QStringLiteral("line %1, column %2: %3").arg(r.line).arg(blame + 1).arg(why));
            continue;
        }
        const int record = table.record(row);
        if (const auto seen = lineOf.constFind(record); seen != lineOf.constEnd()) {
            out.refused.append(
                QStringLiteral("line %1: the same record as line %2").arg(r.line).arg(*seen));
            continue;
        }
        lineOf.insert(record, r.line);
        RowWrite w;
        w.record = record;
        for (qsizetype f = 0; f < r.fields.size(); ++f) {
            const int c = columnOf[std::size_t(f)];
            if (c < 0 || !table.columns()[std::size_t(c)].editable)
                continue;
            const QString &cell = r.fields[f];
            if (const QString bad = unstorableText(cell, table.columns()[std::size_t(c)].name);
                !bad.isEmpty()) {
                out.refused.append(
                    QStringLiteral("line %1, column %2: %3").arg(r.line).arg(f + 1).arg(bad));
                continue;
            }
            if (cell == table.text(row, c))
                continue;
            w.cells.emplace_back(c, cell);
            w.columnsAt.push_back(int(f) + 1);
        }
        w.who = QString::number(r.line);
        if (!w.cells.empty())
            writes.push_back(std::move(w));
    }
    if (!out.ok() || writes.empty())
        return out;
    const auto where = [](const RowWrite &w, int cell) {
        return QStringLiteral("line %1, column %2: ")
            .arg(w.who)
            .arg(w.columnsAt[std::size_t(cell)]);
    };
    return writeRows(db, lookups, table, writes, !dryRun, where, progress);
}

} // namespace kx3
