#include "core/lookup/EditBoxes.h"

#include "core/db/DataImage.h"
#include "core/lookup/PickList.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace kx3 {

namespace {

QString integerText(const DataImage &image, qsizetype recordOffset, const NumberField &field)
{
    const std::int64_t scale = field.scale > 0 ? field.scale : 1;
    return QString::number(readNumber(image, recordOffset, field) / scale);
}

/// Day and month a date shows; 0 and 0 for a day beyond the end of its year,
/// which the conversion leaves as it found them.
std::pair<int, int> shownDayMonth(const RecordDate &date)
{
    int day = 0;
    int month = 0;
    decodeRecordDate(date, day, month);
    return {day, month};
}

} // namespace

QString realText(double value)
{
    return QString::number(value, 'g', 7);
}

QString notARealMessage(const QString &text)
{
    return QStringLiteral("'%1' is not a valid floating point value").arg(text);
}

std::optional<double> parseReal(const QString &text)
{
    // The C locale whatever the user's: a file typed on one machine must mean
    // the same number on another.
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = c.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QList<QString> boxTexts(const DataImage &image, qsizetype recordOffset,
                        std::span<const EditBox> boxes)
{
    QList<QString> texts(qsizetype(boxes.size()));
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const EditBox &box = boxes[i];
        const qsizetype at = recordOffset + box.field.offset;
        switch (box.kind) {
        case EditBox::Integer:
            texts[qsizetype(i)] = integerText(image, recordOffset, box.field);
            break;
        case EditBox::Real: texts[qsizetype(i)] = realText(image.f64(at)); break;
        case EditBox::Day: {
            const RecordDate date = readRecordDate(image, at);
            const auto [day, month] = shownDayMonth(date);
            texts[qsizetype(i)] = QString::number(day);
            if (i + 2 < boxes.size()) {
                texts[qsizetype(i) + 1] = QString::number(month);
                texts[qsizetype(i) + 2] = QString::number(date.year);
            }
            break;
        }
        case EditBox::Month:
        case EditBox::Year: break; // filled with their day box
        }
    }
    return texts;
}

std::vector<QString> boxLimits(std::span<const EditBox> boxes)
{
    std::vector<QString> out;
    for (const EditBox &box : boxes) {
        const QString caption = QString::fromUtf8(box.field.caption);
        if (box.kind != EditBox::Integer && box.kind != EditBox::Year) {
            out.push_back(caption);
            continue;
        }
        // Typed values are stored times the scale: the typed range is the
        // stored one divided by it.
        const int scale = std::max(1, box.field.scale);
        out.push_back(QStringLiteral("%1: a whole number from %2 to %3")
                          .arg(caption)
                          .arg(numberMin(box.field.type) / scale)
                          .arg(numberMax(box.field.type) / scale));
    }
    return out;
}

std::vector<BoxAdvice> boxAdvice(std::span<const EditBox> boxes)
{
    // Each pair: the box that should not be below, and the box it is held to.
    static constexpr std::array<std::pair<const char *, const char *>, 3> Orders{{
        {"Capacity", "Seating"},
        {"End", "Join"},
        {"Nat End", "Nat Join"},
    }};
    std::vector<BoxAdvice> advice;
    advice.reserve(boxes.size());
    for (const EditBox &box : boxes)
        advice.push_back({box.field, box.kind});
    auto find = [&](const char *caption, EditBox::Kind kind) {
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].kind == kind && qstrcmp(boxes[i].field.caption, caption) == 0)
                return int(i);
        }
        return -1;
    };
    for (const auto &[upper, lower] : Orders) {
        for (const EditBox::Kind kind : {EditBox::Integer, EditBox::Day}) {
            const int u = find(upper, kind);
            const int l = find(lower, kind);
            if (u >= 0 && l >= 0)
                advice[std::size_t(u)].notBelow = l;
        }
    }
    return advice;
}

QStringList rangeQuestions(std::span<const BoxAdvice> advice, const QList<QString> &texts,
                           const QList<QString> &shown)
{
    QStringList questions;
    if (texts.size() != qsizetype(advice.size()))
        return questions;
    const bool fresh = shown.size() != texts.size();
    auto changed = [&](std::size_t i, int boxes) {
        for (int k = 0; k < boxes; ++k) {
            if (fresh || texts[qsizetype(i) + k] != shown[qsizetype(i) + k])
                return true;
        }
        return false;
    };
    // A number as stored and a date as yyyymmdd, or nothing for a text the
    // confirm refuses (and a date before 1901, which the game leaves unset).
    auto value = [&](std::size_t i) -> std::optional<std::int64_t> {
        if (advice[i].kind == EditBox::Integer) {
            const NumberCheck check = checkNumber(texts[qsizetype(i)], advice[i].field);
            return check.stored;
        }
        const std::optional<std::int32_t> d = parseInteger(texts[qsizetype(i)]);
        const std::optional<std::int32_t> m = parseInteger(texts.value(qsizetype(i) + 1));
        const std::optional<std::int32_t> y = parseInteger(texts.value(qsizetype(i) + 2));
        if (!d || !m || !y || *y <= 1900 || !isRealDate(*d, *m, *y))
            return std::nullopt;
        return std::int64_t(*y) * 10000 + *m * 100 + *d;
    };
    auto shownValue = [&](std::size_t i) {
        return advice[i].kind == EditBox::Integer
                   ? texts[qsizetype(i)]
                   : texts[qsizetype(i)] + QLatin1Char('/') + texts[qsizetype(i) + 1]
                         + QLatin1Char('/') + texts[qsizetype(i) + 2];
    };
    for (std::size_t i = 0; i < advice.size(); ++i) {
        const BoxAdvice &a = advice[i];
        if (a.kind == EditBox::Integer && changed(i, 1)) {
            if (const std::optional<std::int64_t> v = value(i)) {
                if (QString note = outsideAdvice(a.field, *v); !note.isEmpty())
                    questions.append(note);
            }
        }
        if (a.notBelow < 0)
            continue;
        const auto lower = std::size_t(a.notBelow);
        const int width = a.kind == EditBox::Integer ? 1 : 3;
        if (!changed(i, width) && !changed(lower, width))
            continue;
        const std::optional<std::int64_t> upper = value(i);
        const std::optional<std::int64_t> low = value(lower);
        if (!upper || !low || *upper >= *low || (a.kind == EditBox::Integer && *upper <= 0))
            continue;
        const auto said = [&](std::size_t k) {
            return QString::fromUtf8(advice[k].field.caption) + QLatin1Char(' ') + shownValue(k);
        };
        questions.append(a.kind == EditBox::Integer
                             ? QStringLiteral("%1 is more than %2").arg(said(lower), said(i))
                             : QStringLiteral("%1 is before %2").arg(said(i), said(lower)));
    }
    return questions;
}

CheckedBoxes checkBoxes(std::span<const EditBox> boxes, const QList<QString> &texts,
                        const DataImage *stored, qsizetype recordOffset)
{
    CheckedBoxes checked;
    if (texts.size() != qsizetype(boxes.size())) {
        checked.message = QStringLiteral("The screen does not match the record.");
        return checked;
    }
    const QList<QString> shown =
        stored ? boxTexts(*stored, recordOffset, boxes) : QList<QString>(texts.size());
    auto untouched = [&](std::size_t i) { return stored && texts[qsizetype(i)] == shown[i]; };
    auto fail = [&checked](std::size_t i, const QString &message) {
        checked.values.clear();
        checked.box = int(i);
        checked.message = message;
        return checked;
    };

    checked.values.resize(boxes.size());
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const EditBox &box = boxes[i];
        const QString &text = texts[qsizetype(i)];
        CheckedBoxes::Value &value = checked.values[i];
        const qsizetype at = recordOffset + box.field.offset;
        switch (box.kind) {
        case EditBox::Integer: {
            if (untouched(i)) {
                value.integer = readNumber(*stored, recordOffset, box.field);
                break;
            }
            const NumberCheck check = checkNumber(text, box.field);
            if (!check.stored)
                return fail(i, check.message);
            value.integer = *check.stored;
            break;
        }
        case EditBox::Real: {
            if (untouched(i)) {
                value.real = stored->f64(at);
                break;
            }
            const std::optional<double> typed = parseReal(text);
            if (!typed)
                return fail(i, notARealMessage(text));
            value.real = *typed;
            break;
        }
        case EditBox::Day:
        case EditBox::Month: {
            // The date conversion takes any day and month; only the year is
            // stored as it is typed and must fit.
            const std::optional<std::int32_t> typed = parseInteger(text);
            if (!typed)
                return fail(i, notAnIntegerMessage(text));
            value.integer = *typed;
            break;
        }
        case EditBox::Year: {
            const NumberCheck check = checkNumber(text, box.field);
            if (!check.stored)
                return fail(i, check.message);
            value.integer = *check.stored;
            if (i < 2 || boxes[i - 2].kind != EditBox::Day)
                break;
            const std::size_t dayBox = i - 2;
            const std::int64_t day = checked.values[dayBox].integer;
            const std::int64_t month = checked.values[dayBox + 1].integer;
            // A date the calendar lacks would be stored as another day; only
            // a date left as the record holds it (the game's empty dates too)
            // is kept without a look.
            if (!(untouched(dayBox) && untouched(dayBox + 1) && untouched(i))
                && !isRealDate(day, month, value.integer)) {
                return fail(month < 1 || month > 12 ? dayBox + 1 : dayBox,
                            notADateMessage(texts[qsizetype(dayBox)], texts[qsizetype(dayBox) + 1],
                                            text, QString::fromUtf8(box.field.caption)));
            }
            RecordDate date;
            if (untouched(dayBox) && untouched(dayBox + 1)) {
                date = readRecordDate(*stored, at);
            } else {
                date = encodeRecordDate(int(checked.values[dayBox].integer),
                                        int(checked.values[dayBox + 1].integer), 0);
            }
            date.year = std::uint16_t(value.integer);
            checked.values[dayBox].date = date;
            break;
        }
        }
    }
    return checked;
}

int codeItem(qint64 code, int count, int shift)
{
    const qint64 item = code + shift;
    return item >= 0 && item < count ? int(item) : -1;
}

int referenceItem(qint64 index, int count)
{
    return index < 0 ? 0 : codeItem(index, count, 1);
}

int pickListItem(const PickList &list, qint64 index)
{
    if (index < 0)
        return 0;
    if (index > std::numeric_limits<int>::max())
        return -1;
    const int position = list.position(int(index));
    return position < 0 ? -1 : position + 1;
}

int codeValue(int item, int code, int shift)
{
    return item >= 0 ? item - shift : code;
}

std::int32_t referenceValue(int item, std::int32_t value, std::int32_t none)
{
    if (item == 0)
        return none;
    return item > 0 ? item - 1 : value;
}

std::int32_t pickListValue(const PickList &list, int item, std::int32_t value)
{
    return item >= 0 ? list.recordIndex(item) : value;
}

} // namespace kx3
