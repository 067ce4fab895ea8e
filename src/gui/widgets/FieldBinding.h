#pragma once

#include "core/db/RecordDate.h"
#include "core/db/RecordView.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class QComboBox;
class QLineEdit;
class QWidget;

namespace kx3 {

/// "'<text>' is not a valid integer value": what a confirm shows for a box
/// whose text is not a number.
QString notAnIntegerMessage(const QString &text);

/// The number a box's text stands for, read the way every screen and the
/// career history read numbers: decimal, optionally signed, within 32 bits.
std::optional<std::int32_t> parseInteger(const QString &text);

/// Converts a screen's box texts into numbers before anything is written.
///
/// The first text that is not a number is remembered; every later call
/// still returns (0), so a confirm can convert all its boxes in write order
/// and then ask once whether it may write.
class BoxConverter
{
public:
    std::int32_t integer(const QString &text);
    std::int32_t integer(const QLineEdit *box);

    bool ok() const { return !mFailed; }
    /// The first text that did not convert.
    QString badText() const { return mBadText; }
    /// The message for the first text that did not convert; empty when all did.
    QString message() const;

private:
    bool mFailed = false;
    QString mBadText;
};

/// A converted value waiting to be stored into its field.
struct BoundValue
{
    BoundField field;
    std::int32_t value;
};

/// Numeric boxes of a form bound to the record fields of the same names, so
/// that a screen fills, converts and writes a whole group in one loop.
class FieldBinding
{
public:
    FieldBinding() = default;

    /// Binds each field to the line edit under `root` whose object name is the
    /// field's; a field without such a box is a programming error and is skipped.
    void add(QWidget *root, std::span<const BoundField> fields);

    qsizetype size() const { return qsizetype(mEntries.size()); }
    /// The box bound to the field named `objectName`, or null.
    QLineEdit *box(const char *objectName) const;

    /// Shows each field of the record at `recordOffset` as a decimal number
    /// (u8 unsigned, i16 and i32 signed).
    void show(const DataImage &image, qsizetype recordOffset) const;
    /// Puts the same text into every box.
    void fill(const QString &text) const;
    /// Puts a number into the box bound to `objectName`; false when none is.
    bool setValue(const char *objectName, std::int64_t value) const;

    /// Every box's value in binding order; a text that is not a number is
    /// recorded in `converter` and converts as 0.
    std::vector<BoundValue> convert(BoxConverter &converter) const;
    /// Stores converted values, each cut to its field's width.
    static void write(DataImage &image, qsizetype recordOffset,
                      const std::vector<BoundValue> &values);

private:
    struct Entry
    {
        BoundField field;
        QLineEdit *box;
    };
    std::vector<Entry> mEntries;
};

/// The three boxes (day, month, year) a record date is shown in.
struct DateBoxes
{
    QLineEdit *day = nullptr;
    QLineEdit *month = nullptr;
    QLineEdit *year = nullptr;

    /// Day and month as ConvertDate decodes them (0 and 0 for a day past the
    /// end of its year), the year unsigned.
    void show(const RecordDate &date) const;
    void fill(const QString &dayText, const QString &monthText, const QString &yearText) const;
    /// The date the three texts encode; failures go to `converter`.
    RecordDate convert(BoxConverter &converter) const;
};

/// Selects `index` in a choice box without raising its change signals, the
/// way a screen restores or fills a list without running its handler.
void setIndexQuietly(QComboBox *box, int index);

/// How long a hint stays up: as long as the pointer rests on its control.
inline constexpr int HintDurationMs = 24 * 60 * 60 * 1000;

/// Keeps the hint of `root` and of every child under it on screen while the
/// pointer stays on the control, however long the text.
void keepToolTipsUp(QWidget *root);

} // namespace kx3
