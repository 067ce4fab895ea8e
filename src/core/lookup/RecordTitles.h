#pragma once

#include "core/db/RecordRef.h"

#include <QByteArray>

namespace kx3 {

class Database;

// The editor's title for a record, empty for a record that does not exist.

/// A person's first and second name.
QByteArray personTitle(const Database &db, int person);
/// A club's long name, " (U21)" after an under-21 team's.
QByteArray clubTitle(const Database &db, int club);
QByteArray nationTitle(const Database &db, int nation);
QByteArray cityTitle(const Database &db, int city);
QByteArray stadiumTitle(const Database &db, int stadium);
/// An official's first and second name.
QByteArray officialTitle(const Database &db, int official);
/// The title of record `index` of `kind`, as the search lists name it.
QByteArray recordTitle(const Database &db, RecordKind kind, int index);

} // namespace kx3
