#pragma once

#include <QLocale>

#include <string>
#include <string_view>
#include <vector>

struct UCollator;

namespace kx3 {

/// The locale whose collation sorts for `locale`: itself, or for the C and
/// POSIX locales the root collation (English has no tailoring of it), since
/// character codes put "Bécumchanburg" after "Bréstöria".
QLocale collationLocale(const QLocale &locale);

/// Sort keys of texts in a locale's collation, appended to one flat block of
/// bytes: two keys compared as unsigned bytes (a key that is a prefix of the
/// other first) order their texts as QCollator::compare does with the same
/// settings (numeric mode and ignoring punctuation off).
///
/// A list of a million names sorts on these keys without one allocation per
/// name and without following two pointers per comparison, which is what made
/// QCollatorSortKey slow at that size.
class CollationKeys
{
public:
    CollationKeys(const QLocale &locale, Qt::CaseSensitivity caseSensitivity);
    ~CollationKeys();
    CollationKeys(const CollationKeys &) = delete;
    CollationKeys &operator=(const CollationKeys &) = delete;

    /// Appends the key of `text` to `out`.
    void append(std::u16string_view text, std::string &out) const;

private:
    /// Null when no collator opens for the locale: character codes then.
    UCollator *mCollator = nullptr;
    Qt::CaseSensitivity mCaseSensitivity;
};

/// The order of the keys of `keys`, key i running from starts[i] to
/// starts[i + 1]: by their bytes, a prefix first, equal keys by i.
std::vector<quint32> keyOrder(const std::string &keys, const std::vector<std::size_t> &starts);

} // namespace kx3
