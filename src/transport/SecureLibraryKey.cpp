#include "transport/SecureLibraryKey.h"

#include <array>

namespace {

using SecureLibraryKey::Length;

constexpr quint8 keyMask(int position)
{
    return quint8(0xA7 ^ (position * 37));
}

// The key's character codes, masked by their positions.
consteval std::array<quint8, Length> maskedKey(std::array<quint8, Length> codes)
{
    for (int i = 0; i < Length; ++i)
        codes[i] ^= keyMask(i);
    return codes;
}

constexpr std::array<quint8, Length> MaskedKey =
    maskedKey({0x56, 0x1C, 0x78, 0x02, 0x4C, 0x7F, 0x33, 0x9E, 0x65, 0x11, 0x4B, 0xD4, 0x2F,
               0x07, 0x70, 0x58, 0x1E, 0x39, 0xA3, 0x61, 0x0F, 0x52, 0x7E, 0x14, 0x44});

} // namespace

QByteArray SecureLibraryKey::key()
{
    QByteArray key(Length, '\0');
    for (int i = 0; i < Length; ++i)
        key[i] = char(MaskedKey[i] ^ keyMask(i));
    return key;
}
