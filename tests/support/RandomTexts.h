#pragma once

#include "DatabaseGenerator.h"
#include "core/db/NumberField.h"
#include "core/lookup/EditBoxes.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace kx3::test {

/// The texts a user may type into boxes and name fields, drawn from a seed,
/// each known to be storable or not before the core sees it.
class RandomTexts
{
public:
    explicit RandomTexts(quint64 seed) : mRandom(seed) {}

    BuilderRandom &random() { return mRandom; }
    /// A number in [0, count); 0 when count is not positive.
    int below(qint64 count) { return count > 0 ? int(mRandom.next() % quint32(count)) : 0; }
    bool chance(int percent) { return mRandom.chance(percent); }

    /// A whole number in [lo, hi], mostly small ones and the bounds.
    std::int64_t number(std::int64_t lo, std::int64_t hi)
    {
        const int kind = below(4);
        if (kind == 0)
            return below(2) ? lo : hi;
        if (kind == 1 && hi - lo >= 0) {
            const quint64 wide = (quint64(mRandom.next()) << 32) | mRandom.next();
            return lo + std::int64_t(wide % quint64(hi - lo + 1));
        }
        return qBound(lo, std::int64_t(below(41)) - 5, hi);
    }

    /// A text `field` stores, once scaled.
    QString validNumber(const NumberField &field)
    {
        const std::int64_t scale = field.scale > 0 ? field.scale : 1;
        return QString::number(
            number(numberMin(field.type) / scale, numberMax(field.type) / scale));
    }

    /// A text `field` refuses: no number, or one that does not fit once scaled.
    QString invalidNumber(const NumberField &field)
    {
        const std::int64_t scale = field.scale > 0 ? field.scale : 1;
        switch (below(6)) {
        case 0: return QString();
        case 1: return QStringLiteral("12x");
        case 2: return QStringLiteral("1.5");
        case 3: return QStringLiteral("99999999999");
        case 4:
            if (numberMin(field.type) < 0)
                return QString::number(numberMin(field.type) / scale - 1 - below(1000));
            return QString::number(-1 - below(1000));
        default: return QString::number(numberMax(field.type) / scale + 1 + below(1000));
        }
    }

    /// A day or month that makes a real date with any other and any year. It
    /// draws as many numbers as it always did, so that each seed runs the
    /// sequence it ran before.
    QString validDayOrMonth()
    {
        const int value = number(1, 12);
        chance(5);
        return QString::number(value);
    }
    /// No number, or a day or month no date has.
    QString invalidDayOrMonth()
    {
        static const char *const texts[] = {"3rd", "4294967296", "0", "-1", "32", "70001"};
        return QString::fromLatin1(texts[below(6)]);
    }

    QString validReal()
    {
        const double v = (std::int64_t(mRandom.next() % 2000001) - 1000000) / 1000.0;
        return QString::number(v, 'g', 1 + below(10));
    }
    QString invalidReal()
    {
        static const char *const texts[] = {"", "abc", "1e999", "1,5", "--1"};
        return QString::fromLatin1(texts[below(5)]);
    }

    /// A text for an edit box: valid or, with `invalid`, one the core must refuse.
    QString boxText(const EditBox &box, bool invalid)
    {
        switch (box.kind) {
        case EditBox::Real: return invalid ? invalidReal() : validReal();
        case EditBox::Day:
        case EditBox::Month: return invalid ? invalidDayOrMonth() : validDayOrMonth();
        case EditBox::Integer:
        case EditBox::Year: break;
        }
        return invalid ? invalidNumber(box.field) : validNumber(box.field);
    }

    /// A name as typed: letters, blanks, Windows-1252 letters and the odd sign,
    /// sometimes empty or longer than any field. Never a double quote or a line
    /// end, which a misc line cannot carry.
    QByteArray name()
    {
        static const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                       " '-.|\xE9\xF6\xC7\xDF\x8A";
        const int length = chance(5) ? 0 : chance(5) ? 60 : 1 + below(14);
        QByteArray text;
        for (int i = 0; i < length; ++i)
            text.append(alphabet[below(qsizetype(sizeof(alphabet)) - 1)]);
        return text;
    }

private:
    BuilderRandom mRandom;
};

} // namespace kx3::test
