#pragma once

// The fields of each kind's form, described once for reading and writing:
// each field reads its text from the kind's edit value and sets the edit
// value from a text. Internal to the change list and patches.

#include "core/changes/RecordForms.h"
#include "core/lookup/EditBoxes.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <span>

namespace kx3 {

class Database;
class Lookups;

/// What the items of a list field are read from.
struct FormLists
{
    FormLists(const Database &database, const Lookups &lists) : db(database), lookups(lists) {}

    const Database &db;
    const Lookups &lookups;
    /// The pick lists' items, made once: a reader of every club asks for
    /// them thousands of times.
    const QList<QByteArray> &stadiumItems() const;
    const QList<QByteArray> &cityItems() const;

private:
    mutable std::optional<QList<QByteArray>> mStadiums;
    mutable std::optional<QList<QByteArray>> mCities;
};

template <typename Edit>
struct FieldBinding
{
    QString name;
    std::function<FormField(const Edit &, const FormLists &)> read;
    /// Sets the edit from `text`; returns why it cannot (empty when it can).
    std::function<QString(Edit &, const QString &, const FormLists &)> write;
};

/// "d/m/yyyy" of the three box texts of a date.
QString dateText(const QList<QString> &boxes, qsizetype dayBox);
/// Splits "d/m/yyyy" into the day, month and year texts; false when it is
/// not three parts.
bool splitDate(const QString &text, QString &day, QString &month, QString &year);

/// The fields of a box list: one per number, one per date ("d/m/yyyy").
template <typename Edit>
void addBoxFields(std::vector<FieldBinding<Edit>> &bindings, std::span<const EditBox> boxes,
                  QList<QString> Edit::*member)
{
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const EditBox &box = boxes[i];
        const QString name = QString::fromUtf8(box.field.caption);
        const qsizetype at = qsizetype(i);
        if (box.kind == EditBox::Day) {
            bindings.push_back(
                {name,
                 [member, at, name](const Edit &e, const FormLists &) {
                     return FormField{name, dateText(e.*member, at)};
                 },
                 [member, at, name](Edit &e, const QString &text, const FormLists &) {
                     QList<QString> &b = e.*member;
                     if (!splitDate(text, b[at], b[at + 1], b[at + 2]))
                         return QStringLiteral("'%1' is not a day/month/year date").arg(text);
                     return QString();
                 }});
        } else if (box.kind == EditBox::Integer || box.kind == EditBox::Real) {
            bindings.push_back({name,
                                [member, at, name](const Edit &e, const FormLists &) {
                                    return FormField{name, (e.*member)[at]};
                                },
                                [member, at](Edit &e, const QString &text, const FormLists &) {
                                    (e.*member)[at] = text.trimmed();
                                    return QString();
                                }});
        }
    }
}

} // namespace kx3
