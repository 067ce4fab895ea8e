#pragma once

#include <QByteArray>
#include <QList>

namespace kx3 {

/// Splits player_Setup.cfg into lines (ended by CR, LF or CR LF) and drops
/// the trailing lines that hold no double quote, which the game never reads.
QList<QByteArray> parseSetupLines(const QByteArray &content);

/// The file content for a list of lines, each ended by CR LF.
QByteArray serializeSetupLines(const QList<QByteArray> &lines);

/// Drops the lines at the end that hold no double quote, as a load does: after
/// lines are taken out, the list then says what a save and a load give back.
void dropUnreadSetupLines(QList<QByteArray> &lines);

} // namespace kx3
