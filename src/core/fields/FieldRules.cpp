#include "core/fields/FieldRules.h"

#include "core/db/Cp1252.h"

#include <QRegularExpression>

namespace kx3 {

namespace {

QString controlName(char16_t c)
{
    switch (c) {
    case u'\0': return QStringLiteral("NUL");
    case u'\t': return QStringLiteral("TAB");
    case u'\n': return QStringLiteral("LF (a line break)");
    case u'\r': return QStringLiteral("CR (a line break)");
    default: return QStringLiteral("U+%1").arg(int(c), 4, 16, QLatin1Char('0')).toUpper();
    }
}

} // namespace

QString lineTextRefusal(const QString &text, const QString &caption, int maxLength)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        // U+0080..U+009F stand for the code page's bytes without a letter and
        // come back as those bytes: only the C0 controls and DEL are refused.
        if (c < 0x20 || c == 0x7f)
            return QStringLiteral("%1 cannot hold the control character %2 (at character %3)")
                .arg(caption, controlName(c))
                .arg(i + 1);
        if (c == u'"')
            return QStringLiteral("%1 cannot hold a double quote (\"): the game's files could "
                                  "not give it back")
                .arg(caption);
    }
    if (QString why = unstorableText(text, caption); !why.isEmpty())
        return why;
    if (maxLength > 0 && text.size() > maxLength)
        return QStringLiteral("%1 holds at most %2 characters; '%3' has %4")
            .arg(caption)
            .arg(maxLength)
            .arg(text)
            .arg(text.size());
    return {};
}

QString textRefusal(const FieldRow &field, const QString &text)
{
    return lineTextRefusal(text, fieldCaption(field), field.maxLength);
}

QString miscLineRefusal(const QString &line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char16_t c = line.at(i).unicode();
        if (c < 0x20 || c == 0x7f)
            return QStringLiteral("a misc line cannot hold the control character %1 (at "
                                  "character %2)")
                .arg(controlName(c))
                .arg(i + 1);
    }
    if (QString why = unstorableText(line, QStringLiteral("a misc line")); !why.isEmpty())
        return why;
    // A load keeps only lines holding a quote, and the game reads a keyword
    // in quotes first: anything else would be added at every apply and gone
    // at the next load.
    static const QRegularExpression form(QStringLiteral("^\"[^\"]+\""));
    if (!form.match(line).hasMatch() || line.count(QLatin1Char('"')) % 2 != 0)
        return QStringLiteral("'%1' is not a misc line: it begins with a quoted keyword and "
                              "closes every quote it opens (\"LOAN\" \"Name\" ...)")
            .arg(line);
    return {};
}

} // namespace kx3
