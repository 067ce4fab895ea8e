#include "CollationKeys.h"

#include <QChar>

#include <unicode/ucol.h>

#include <algorithm>

namespace kx3 {

QLocale collationLocale(const QLocale &locale)
{
    return locale.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates)
                                           : locale;
}

// The collator is set up the way Qt sets up its own for QCollator, so that a
// list sorted here agrees with every other list of the program.
CollationKeys::CollationKeys(const QLocale &sortLocale, Qt::CaseSensitivity caseSensitivity)
    : mCaseSensitivity(caseSensitivity)
{
    const QLocale locale = collationLocale(sortLocale);
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

namespace {

/// A row's place in the sort, by eight bytes of its key at a time: one number
/// settles most comparisons without touching the keys, and rows whose keys
/// agree so far are sorted again on their next eight bytes.
struct SortEntry
{
    quint64 chunk;     ///< the key's bytes at the current depth, zero padded
    quint32 chunkSize; ///< how many of them the key has (8: it may go on)
    quint32 row;

    bool operator<(const SortEntry &other) const
    {
        // A key that ends within the chunk is a prefix of a longer one with
        // the same padded bytes, and comes first; equal keys keep row order.
        if (chunk != other.chunk)
            return chunk < other.chunk;
        if (chunkSize != other.chunkSize)
            return chunkSize < other.chunkSize;
        return row < other.row;
    }
};

class KeySorter
{
public:
    KeySorter(const std::string &keys, const std::vector<std::size_t> &starts)
        : mKeys(keys), mStarts(starts)
    {
    }

    void sort(SortEntry *begin, SortEntry *end, std::size_t depth) const
    {
        for (SortEntry *e = begin; e != end; ++e)
            load(*e, depth);
        std::sort(begin, end);
        for (SortEntry *run = begin; run != end;) {
            SortEntry *next = run + 1;
            while (next != end && next->chunk == run->chunk && next->chunkSize == run->chunkSize)
                ++next;
            if (run->chunkSize == 8 && next - run > 1)
                sort(run, next, depth + 8);
            run = next;
        }
    }

private:
    void load(SortEntry &e, std::size_t depth) const
    {
        const std::size_t start = mStarts[e.row] + depth;
        const std::size_t end = mStarts[e.row + 1];
        const std::size_t size = start < end ? std::min<std::size_t>(8, end - start) : 0;
        quint64 chunk = 0;
        for (std::size_t i = 0; i < 8; ++i)
            chunk = (chunk << 8) | (i < size ? quint8(mKeys[start + i]) : 0u);
        e.chunk = chunk;
        e.chunkSize = quint32(size);
    }

    const std::string &mKeys;
    const std::vector<std::size_t> &mStarts;
};

} // namespace

std::vector<quint32> keyOrder(const std::string &keys, const std::vector<std::size_t> &starts)
{
    const std::size_t count = starts.empty() ? 0 : starts.size() - 1;
    std::vector<SortEntry> entries(count);
    for (std::size_t i = 0; i < count; ++i)
        entries[i].row = quint32(i);
    KeySorter(keys, starts).sort(entries.data(), entries.data() + entries.size(), 0);
    std::vector<quint32> order;
    order.reserve(count);
    for (const SortEntry &e : entries)
        order.push_back(e.row);
    return order;
}

} // namespace kx3
