#include "SetupLines.h"

namespace kx3 {

QList<QByteArray> parseSetupLines(const QByteArray &content)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype n = content.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = content.at(i);
        if (c != '\r' && c != '\n')
            continue;
        lines.append(content.mid(start, i - start));
        if (c == '\r' && i + 1 < n && content.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(content.mid(start));
    dropUnreadSetupLines(lines);
    return lines;
}

void dropUnreadSetupLines(QList<QByteArray> &lines)
{
    while (!lines.isEmpty() && !lines.constLast().contains('"'))
        lines.removeLast();
}

QByteArray serializeSetupLines(const QList<QByteArray> &lines)
{
    QByteArray out;
    qsizetype total = 0;
    for (const QByteArray &line : lines)
        total += line.size() + 2;
    out.reserve(total);
    for (const QByteArray &line : lines) {
        out.append(line);
        out.append("\r\n", 2);
    }
    return out;
}

} // namespace kx3
