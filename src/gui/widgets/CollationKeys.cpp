#include "CollationKeys.h"

#include <QChar>

#include <unicode/ucol.h>

namespace kx3 {

// The collator is set up the way Qt sets up its own for QCollator, so that a
// list sorted here agrees with every other list of the program.
CollationKeys::CollationKeys(const QLocale &locale, Qt::CaseSensitivity caseSensitivity)
    : mCaseSensitivity(caseSensitivity)
{
    if (locale.language() == QLocale::C)
        return;
    UErrorCode status = U_ZERO_ERROR;
    // The locale's BCP 47 name keeps its script (sr-Latn), which the
    // language_territory name drops.
    const QByteArray name =
        locale.bcp47Name().replace(QLatin1Char('-'), QLatin1Char('_')).toLatin1();
    mCollator = ucol_open(name.constData(), &status);
    if (U_FAILURE(status)) {
        if (mCollator)
            ucol_close(mCollator);
        mCollator = nullptr;
        return;
    }
    ucol_setAttribute(mCollator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    ucol_setAttribute(
        mCollator, UCOL_STRENGTH,
        caseSensitivity == Qt::CaseSensitive ? UCOL_DEFAULT_STRENGTH : UCOL_SECONDARY, &status);
    ucol_setAttribute(mCollator, UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
    ucol_setAttribute(mCollator, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    if (U_FAILURE(status)) {
        ucol_close(mCollator);
        mCollator = nullptr;
    }
}

CollationKeys::~CollationKeys()
{
    if (mCollator)
        ucol_close(mCollator);
}

void CollationKeys::append(std::u16string_view text, std::string &out) const
{
    const std::size_t start = out.size();
    if (!mCollator) {
        // Character codes, most significant byte first, so that bytes order
        // as the codes do; every Windows-1252 character is a single code.
        out.resize(start + 2 * text.size());
        char *p = out.data() + start;
        for (char16_t c : text) {
            if (mCaseSensitivity == Qt::CaseInsensitive)
                c = QChar::toCaseFolded(c);
            *p++ = char(c >> 8);
            *p++ = char(c & 0xFF);
        }
        return;
    }
    // Keys run to a few bytes per character; a second call when the guess
    // was short.
    const auto length = static_cast<int32_t>(text.size());
    std::size_t room = 16 + 4 * text.size();
    for (;;) {
        out.resize(start + room);
        const int32_t needed = ucol_getSortKey(mCollator, text.data(), length,
                                               reinterpret_cast<uint8_t *>(out.data() + start),
                                               static_cast<int32_t>(room));
        if (needed <= 0) {
            out.resize(start);
            return;
        }
        if (std::size_t(needed) <= room) {
            // The key ends with a zero byte that no other byte of it is:
            // dropped, so keys compare by bytes and then by length.
            out.resize(start + std::size_t(needed) - 1);
            return;
        }
        room = std::size_t(needed);
    }
}

} // namespace kx3
