#include "core/fields/FieldTable.h"

#include <QByteArray>

#include <memory>
#include <vector>

namespace kx3 {

std::span<const FieldRow> fieldTable(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Nation: return NationFieldRows;
    case RecordKind::City: return CityFieldRows;
    case RecordKind::Stadium: return StadiumFieldRows;
    case RecordKind::Club: return ClubFieldRows;
    case RecordKind::Official: return OfficialFieldRows;
    case RecordKind::Person: return PersonFieldRows;
    case RecordKind::Misc: break;
    }
    return {};
}

const FieldRow *fieldByKey(RecordKind kind, QStringView key)
{
    for (const FieldRow &f : fieldTable(kind)) {
        if (key == QLatin1String(f.key))
            return &f;
    }
    return nullptr;
}

const FieldRow *fieldByCaption(RecordKind kind, QStringView caption)
{
    for (const FieldRow &f : fieldTable(kind)) {
        if (caption == fieldCaption(f))
            return &f;
    }
    return nullptr;
}

QString fieldCaption(const FieldRow &field)
{
    return QString::fromUtf8(field.caption);
}

QString fieldLabel(const FieldRow &field, bool staffScreen)
{
    return QString::fromUtf8(staffScreen && field.staffLabel ? field.staffLabel
                                                             : field.number.caption);
}

namespace {

struct BoxNames
{
    std::vector<QByteArray> texts;
    std::vector<const char *> names;
};

BoxNames makeBoxNames(RecordKind kind, bool staffScreen)
{
    BoxNames out;
    const std::uint8_t screen = staffScreen ? OnStaff : OnPlayer;
    for (const FieldRow &f : fieldTable(kind)) {
        if (kind == RecordKind::Person && !(f.screens & screen))
            continue;
        const QByteArray widget(staffScreen ? f.staffWidget : f.widget);
        if (f.type == FieldType::Date) {
            for (const char *n : {"1", "2", "3"})
                out.texts.push_back(widget + n);
        } else if (f.boxCount() == 1) {
            out.texts.push_back(widget);
        }
    }
    for (const QByteArray &t : out.texts)
        out.names.push_back(t.constData());
    return out;
}

} // namespace

std::span<const char *const> boxWidgetNames(RecordKind kind, bool staffScreen)
{
    // Made once and kept: screens hold on to the names.
    static const auto all = [] {
        std::vector<BoxNames> made;
        for (int k = 0; k < RecordKindCount; ++k) {
            made.push_back(makeBoxNames(RecordKind(k), false));
            made.push_back(makeBoxNames(RecordKind(k), true));
        }
        return made;
    }();
    return all[std::size_t(int(kind) * 2 + (staffScreen ? 1 : 0))].names;
}

QList<QString> newBoxTexts(RecordKind kind, std::uint8_t screens)
{
    QList<QString> texts;
    for (const FieldRow &f : fieldTable(kind)) {
        if (!(f.screens & screens))
            continue;
        if (f.type == FieldType::Date)
            texts << QString::fromLatin1(f.initial ? f.initial : "1/2/1900").split(u'/');
        else if (f.boxCount() == 1)
            texts << QString::fromLatin1(f.initial ? f.initial : "0");
    }
    return texts;
}

std::span<const NumberField> advisedNumbers(RecordKind kind, FieldPart part)
{
    static const auto all = [] {
        std::vector<std::vector<NumberField>> made(std::size_t(RecordKindCount) * 3);
        for (int k = 0; k < RecordKindCount; ++k) {
            for (const FieldRow &f : fieldTable(RecordKind(k))) {
                if (f.type == FieldType::Whole && f.number.advisedMax >= 0)
                    made[std::size_t(k * 3 + int(f.part))].push_back(f.number);
            }
        }
        return made;
    }();
    return all[std::size_t(int(kind) * 3 + int(part))];
}

} // namespace kx3
