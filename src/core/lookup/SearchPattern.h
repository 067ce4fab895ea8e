#pragma once

#include <QByteArray>

#include <cstring>

namespace kx3 {

/// The game's own case folding: a..z become A..Z and every other byte,
/// accented letters included, stays as it is. Locale rules would make é
/// match É, which the game's searches never do.
constexpr char foldSearchByte(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return unsigned(u - 'a') < 26u ? char(u - ('a' - 'A')) : c;
}

/// Copies `length` bytes from `from` to `to`, folded.
inline void foldSearchBytes(const char *from, char *to, qsizetype length)
{
    for (qsizetype i = 0; i < length; ++i)
        to[i] = foldSearchByte(from[i]);
}

/// A search text, folded once, matched against many short candidate texts.
///
/// Candidates are at most a few hundred bytes, so a first-byte scan with
/// memchr followed by memcmp beats a skip-table search: the table would cost
/// more to consult than the candidate costs to walk.
class SearchPattern
{
public:
    SearchPattern(const QByteArray &text, bool caseSensitive)
        : mText(text), mFolding(!caseSensitive)
    {
        if (mFolding)
            foldSearchBytes(mText.constData(), mText.data(), mText.size());
    }

    bool isEmpty() const { return mText.isEmpty(); }
    qsizetype size() const { return mText.size(); }
    /// Whether candidates must be folded before they are matched.
    bool folds() const { return mFolding; }

    /// True when the pattern lies wholly inside `candidate[0, length)`.
    bool occursIn(const char *candidate, qsizetype length) const
    {
        return occursIn(candidate, length, length);
    }

    /// The same with the match starting at position `lastStart` or earlier.
    bool occursIn(const char *candidate, qsizetype length, qsizetype lastStart) const
    {
        const qsizetype n = mText.size();
        if (n == 0 || n > length)
            return false;
        if (lastStart > length - n)
            lastStart = length - n;
        if (lastStart < 0)
            return false;
        const char *pattern = mText.constData();
        const char *at = candidate;
        const char *const last = candidate + lastStart;
        while (at <= last) {
            const void *hit = std::memchr(at, pattern[0], std::size_t(last - at + 1));
            if (!hit)
                return false;
            at = static_cast<const char *>(hit);
            if (std::memcmp(at + 1, pattern + 1, std::size_t(n - 1)) == 0)
                return true;
            ++at;
        }
        return false;
    }

private:
    QByteArray mText;
    bool mFolding;
};

} // namespace kx3
