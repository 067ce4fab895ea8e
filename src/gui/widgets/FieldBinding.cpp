#include "FieldBinding.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QWidget>

namespace kx3 {

QString notAnIntegerMessage(const QString &text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

std::optional<std::int32_t> parseInteger(const QString &text)
{
    // The career history converts its texts as bytes; boxes go the same way so
    // that both accept exactly the same numbers.
    bool ok = false;
    const int value = text.toLatin1().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    // A character outside Latin-1 became '?' above, which no number holds.
    return std::int32_t(value);
}

std::int32_t BoxConverter::integer(const QString &text)
{
    const std::optional<std::int32_t> value = parseInteger(text);
    if (value)
        return *value;
    if (!mFailed) {
        mFailed = true;
        mBadText = text;
    }
    return 0;
}

std::int32_t BoxConverter::integer(const QLineEdit *box)
{
    return box ? integer(box->text()) : 0;
}

QString BoxConverter::message() const
{
    return mFailed ? notAnIntegerMessage(mBadText) : QString();
}

void FieldBinding::add(QWidget *root, std::span<const BoundField> fields)
{
    for (const BoundField &field : fields) {
        auto *box = root->findChild<QLineEdit *>(QString::fromLatin1(field.objectName));
        Q_ASSERT_X(box, "FieldBinding::add", field.objectName);
        if (box)
            mEntries.push_back({field, box});
    }
}

QLineEdit *FieldBinding::box(const char *objectName) const
{
    for (const Entry &e : mEntries) {
        if (qstrcmp(e.field.objectName, objectName) == 0)
            return e.box;
    }
    return nullptr;
}

void FieldBinding::show(const DataImage &image, qsizetype recordOffset) const
{
    for (const Entry &e : mEntries)
        e.box->setText(QString::number(readBoundField(image, recordOffset, e.field)));
}

void FieldBinding::fill(const QString &text) const
{
    for (const Entry &e : mEntries)
        e.box->setText(text);
}

bool FieldBinding::setValue(const char *objectName, std::int64_t value) const
{
    QLineEdit *target = box(objectName);
    if (!target)
        return false;
    target->setText(QString::number(value));
    return true;
}

std::vector<BoundValue> FieldBinding::convert(BoxConverter &converter) const
{
    std::vector<BoundValue> values;
    values.reserve(mEntries.size());
    for (const Entry &e : mEntries)
        values.push_back({e.field, converter.integer(e.box)});
    return values;
}

void FieldBinding::write(DataImage &image, qsizetype recordOffset,
                         const std::vector<BoundValue> &values)
{
    for (const BoundValue &v : values)
        writeBoundField(image, recordOffset, v.field, v.value);
}

void DateBoxes::show(const RecordDate &date) const
{
    int dayValue = 0;
    int monthValue = 0;
    decodeRecordDate(date, dayValue, monthValue);
    fill(QString::number(dayValue), QString::number(monthValue), QString::number(date.year));
}

void DateBoxes::fill(const QString &dayText, const QString &monthText,
                     const QString &yearText) const
{
    day->setText(dayText);
    month->setText(monthText);
    year->setText(yearText);
}

RecordDate DateBoxes::convert(BoxConverter &converter) const
{
    const int d = converter.integer(day);
    const int m = converter.integer(month);
    const int y = converter.integer(year);
    return encodeRecordDate(d, m, y);
}

void setIndexQuietly(QComboBox *box, int index)
{
    const QSignalBlocker blocker(box);
    box->setCurrentIndex(index);
}

void keepToolTipsUp(QWidget *root)
{
    // Qt takes a hint down after some seconds; the form's hints are long
    // enough that a reader needs them until he moves the pointer away.
    if (!root->toolTip().isEmpty())
        root->setToolTipDuration(HintDurationMs);
    const QList<QWidget *> children = root->findChildren<QWidget *>();
    for (QWidget *w : children) {
        if (!w->toolTip().isEmpty())
            w->setToolTipDuration(HintDurationMs);
    }
}

} // namespace kx3
