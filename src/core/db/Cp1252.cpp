#include "Cp1252.h"

#include <array>

namespace kx3 {

namespace {

// Characters of the bytes 0x80..0x9F; a zero marks a byte without one.
// clang-format off
constexpr std::array<char16_t, 32> HighControlRange = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};
// clang-format on

struct DecodeTable
{
    std::array<char16_t, 256> chars{};
    constexpr DecodeTable()
    {
        for (int b = 0; b < 256; ++b)
            chars[b] = char16_t(b);
        for (int i = 0; i < 32; ++i) {
            if (HighControlRange[i] != 0)
                chars[0x80 + i] = HighControlRange[i];
        }
    }
};

constexpr DecodeTable Decode;

int encodeChar(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i) {
        if (HighControlRange[i] == c)
            return 0x80 + i;
    }
    // The stand-ins for the bytes without a character, and the other
    // control characters of that range, go back to their own byte.
    if (c >= 0x80 && c <= 0x9F)
        return c;
    return -1;
}

} // namespace

void decodeCp1252(const char *bytes, qsizetype length, char16_t *out)
{
    for (qsizetype i = 0; i < length; ++i)
        out[i] = Decode.chars[static_cast<unsigned char>(bytes[i])];
}

QString fromCp1252(const char *bytes, qsizetype length)
{
    QString text(length, Qt::Uninitialized);
    decodeCp1252(bytes, length, reinterpret_cast<char16_t *>(text.data()));
    return text;
}

QString fromCp1252(const QByteArray &bytes)
{
    return fromCp1252(bytes.constData(), bytes.size());
}

QByteArray toCp1252(const QString &text, bool *ok)
{
    if (ok)
        *ok = true;
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = encodeChar(text.at(i).unicode());
        if (b < 0) {
            bytes[i] = '?';
            if (ok)
                *ok = false;
        } else {
            bytes[i] = char(b);
        }
    }
    return bytes;
}

QString unstorableText(const QString &text, const QString &caption)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (encodeChar(text.at(i).unicode()) >= 0)
            continue;
        // A letter outside the Basic Multilingual Plane is one character to
        // its user, not two halves.
        const qsizetype length =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()
                ? 2
                : 1;
        const QString where =
            caption.isEmpty() ? QString() : QStringLiteral(" in %1").arg(caption);
        return QStringLiteral("'%1' cannot be stored%2: the game's files hold Western "
                              "European letters only")
            .arg(text.mid(i, length), where);
    }
    return {};
}

} // namespace kx3
