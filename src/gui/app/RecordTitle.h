#pragma once

#include "gui/screen/EditorState.h"

#include <QString>

namespace kx3 {

class Database;

/// The editor's title for a record: a person's or official's first and
/// second name, a club's long name (" (U21)" after an under-21 team's), or
/// the name of a nation, city or stadium. Empty for a record that does not
/// exist.
QString recordTitle(const Database &db, EditorScreen screen, qint64 offset);

} // namespace kx3
