#pragma once

// How a fuzzer's flat input is cut into what a harness needs. Shared by the
// harnesses and the seed writer, so that both agree on the layout.

#include "core/db/DataFiles.h"

#include <QByteArray>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace kx3::fuzz {

/// The fifteen files of a database and the bytes behind them, which choose the
/// records and variants a harness works on.
struct FileSetInput
{
    std::array<QByteArray, DataFileCount> files;
    QByteArray choices;
};

/// Each file is a 4-byte little-endian length and that many bytes, in load
/// order. A length past the end takes what is left, so every mutation of a
/// length still gives a set; files missing at the end are empty. Keeping each
/// file behind its own length lets a mutation grow or shrink one file without
/// moving the others' contents into it.
inline FileSetInput splitFileSet(const std::uint8_t *data, std::size_t size)
{
    FileSetInput in;
    std::size_t at = 0;
    for (QByteArray &file : in.files) {
        if (size - at < 4) {
            at = size;
            continue;
        }
        const std::uint32_t length = std::uint32_t(data[at]) | std::uint32_t(data[at + 1]) << 8
                                     | std::uint32_t(data[at + 2]) << 16
                                     | std::uint32_t(data[at + 3]) << 24;
        at += 4;
        const std::size_t taken = length < size - at ? length : size - at;
        file = QByteArray(reinterpret_cast<const char *>(data + at), qsizetype(taken));
        at += taken;
    }
    in.choices = QByteArray(reinterpret_cast<const char *>(data + at), qsizetype(size - at));
    return in;
}

/// The input splitFileSet cuts into `files` and `choices`.
inline QByteArray joinFileSet(const std::array<QByteArray, DataFileCount> &files,
                              const QByteArray &choices)
{
    QByteArray out;
    for (const QByteArray &file : files) {
        const auto length = std::uint32_t(file.size());
        for (int i = 0; i < 4; ++i)
            out.append(char((length >> (8 * i)) & 0xFF));
        out.append(file);
    }
    return out + choices;
}

/// Numbers drawn from the choice bytes, zero once they run out, so that an
/// input always means the same run.
class Choices
{
public:
    explicit Choices(QByteArray bytes) : mBytes(std::move(bytes)) {}

    std::uint32_t next()
    {
        std::uint32_t v = 0;
        for (int i = 0; i < 2; ++i) {
            const std::uint8_t b = mAt < mBytes.size() ? std::uint8_t(mBytes[mAt++]) : 0;
            v = v << 8 | b;
        }
        return v;
    }
    /// An index below `count`; 0 when there is none.
    int below(qsizetype count) { return count > 0 ? int(next() % std::uint32_t(count)) : 0; }
    bool flag() { return next() & 1; }

private:
    QByteArray mBytes;
    qsizetype mAt = 0;
};

/// Reports a broken promise of the core and stops, so that libFuzzer keeps
/// the input as a crash.
[[noreturn]] inline void fail(const char *what, const QByteArray &detail = {})
{
    std::fprintf(stderr, "kx3 fuzz: %s\n%s\n", what, detail.constData());
    std::abort();
}

} // namespace kx3::fuzz
