#pragma once

#include "core/db/DataFiles.h"

#include <QByteArray>

#include <cstdint>

namespace kx3 {

class Database;

/// The three name tables persons and officials take their names from.
enum class NameTable { First, Second, Common };

/// The data file that holds a name table.
DataFile nameTableFile(NameTable table);

/// The record whose name field FindOrAddName resolves.
struct NameTarget
{
    enum class Kind { Person, Official };

    Kind kind = Kind::Person;
    int index = -1;

    static NameTarget person(int index) { return {Kind::Person, index}; }
    static NameTarget official(int index) { return {Kind::Official, index}; }
};

/// Number of entries of a name table.
int nameCount(const Database &db, NameTable table);

/// Text of entry `index` of a name table; empty for an index outside the table.
QByteArray nameText(const Database &db, NameTable table, int index);
QByteArray FirstNameText(const Database &db, int index);
QByteArray SecondNameText(const Database &db, int index);
QByteArray CommonNameText(const Database &db, int index);

/// Index of the last entry with exactly this text (bytes, case-sensitive) and
/// nation key, or -1.
int FindName(const Database &db, NameTable table, std::int32_t nationKey, const QByteArray &text);

/// Resolves a typed name for a person or official: finds the entry of `text`
/// under `nationKey` (-1, a nationality of "<none>", is looked up as -2) or
/// appends one, stores its index into the target's name field for `table` and
/// recomputes the usage counts of the new and the previous entry.
///
/// The text is cut to the 51 bytes an entry holds, so that a longer text finds
/// the entry it was stored as instead of adding a new one at every confirm.
/// Returns the entry index, or -1 (nothing changed) when the target record does
/// not exist or has no such name field (officials have no common name).
int FindOrAddName(Database &db, NameTable table, std::int32_t nationKey, const QByteArray &text,
                  NameTarget target);

/// Counts again the persons and officials that use entry `index` into its usage
/// count (for a record that stopped using it other than through FindOrAddName).
/// Does nothing for an index outside the table.
void recountNameUsage(Database &db, NameTable table, int index);

} // namespace kx3
