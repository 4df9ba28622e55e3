#include "course/LoginCipher.h"

namespace {

QByteArray shifted(const QByteArray &text, const QByteArray &key, int direction)
{
    if (key.isEmpty())
        return text;
    QByteArray out(text.size(), Qt::Uninitialized);
    const qsizetype keyLength = key.size();
    for (qsizetype i = 0; i < text.size(); ++i) {
        // Position i + 1 (counted from 1) uses key byte ((i + 1) mod length) + 1.
        const auto k = static_cast<unsigned char>(key.at((i + 1) % keyLength));
        const auto c = static_cast<unsigned char>(text.at(i));
        out[i] = static_cast<char>((c + direction * k) & 0xFF);
    }
    return out;
}

} // namespace

QByteArray LoginCipher::Encipher(const QByteArray &text, const QByteArray &key) const
{
    return shifted(text, key, +1);
}

QByteArray LoginCipher::Decipher(const QByteArray &text, const QByteArray &key) const
{
    return shifted(text, key, -1);
}

QByteArray LoginCipher::Key() const
{
    // The key is stored enciphered under a fixed inner key and only deciphered when asked for.
    static const unsigned char stored[] = {0x58, 0x5A, 0x66, 0x5A, 0x75, 0x5E,
                                           0x67, 0x4A, 0x63, 0x5C, 0x67, 0x5B};
    static const QByteArray inner("Vellixon");
    return Decipher(QByteArray(reinterpret_cast<const char *>(stored), sizeof stored), inner);
}
