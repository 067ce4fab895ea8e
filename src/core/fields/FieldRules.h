#pragma once

// The rules every way in (a screen's confirm, a table cell, a bulk edit, a
// CSV import, a patch, the command line) holds a typed text to, so that each
// refuses the same texts with the same words.

#include "core/fields/FieldTable.h"

#include <QString>

namespace kx3 {

/// Why `text` cannot be stored in the text field `field`, naming it; empty
/// when it can. A text is refused, never cut: longer than the field holds,
/// a character Windows-1252 lacks, a control character (NUL, TAB, CR, LF...)
/// or a double quote, which the game's files cannot give back as typed.
QString textRefusal(const FieldRow &field, const QString &text);

/// The same rules for a text `caption` names that is stored in a misc line
/// (a club, a fee, a date typed on the misc tab), where a quote or a line
/// break would end the line's value early. `maxLength` 0: no limit.
QString lineTextRefusal(const QString &text, const QString &caption, int maxLength = 0);

/// Why `line` cannot be a line of player_Setup.cfg as a patch carries it: the
/// rules of a misc text but for quotes, and the form every line the game
/// reads has: a quoted keyword first, every quote closed. Empty when it can.
QString miscLineRefusal(const QString &line);

} // namespace kx3
