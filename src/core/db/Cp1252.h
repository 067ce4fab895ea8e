#pragma once

#include <QByteArray>
#include <QString>

namespace kx3 {

// The game stores its texts in Windows-1252. Five byte values of that code
// page (0x81, 0x8D, 0x8F, 0x90, 0x9D) have no character; they are shown as
// the control characters U+0081.. of the same value, so that any byte string
// survives a trip through a text box unchanged.

/// The text of Windows-1252 bytes; every byte gives exactly one character.
QString fromCp1252(const QByteArray &bytes);
QString fromCp1252(const char *bytes, qsizetype length);
/// The same into `out`, which has room for `length` characters: for loops
/// over many names that should not allocate one string each.
void decodeCp1252(const char *bytes, qsizetype length, char16_t *out);

/// The Windows-1252 bytes of a text. A character the code page cannot hold
/// becomes '?' and clears `*ok` when given.
QByteArray toCp1252(const QString &text, bool *ok = nullptr);

/// Why `text` cannot be stored as Windows-1252 bytes, naming its first
/// character the code page lacks and `caption` (the box or field) when given;
/// empty when it can. A '?' stored in its place would be a silent change.
QString unstorableText(const QString &text, const QString &caption = QString());

} // namespace kx3
