#include "platform/Windows1252.h"

#include <array>

namespace Platform::Windows1252 {

namespace {

// Characters of the bytes 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char16_t, 32> HighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 0x98
};

constexpr char16_t ReplacementCharacter = 0xFFFD;

bool isLatin1Byte(char16_t unit)
{
    return unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF);
}

// The byte of a UTF-16 unit, or -1 when the code page has none for it.
int byteOf(char16_t unit)
{
    if (isLatin1Byte(unit))
        return unit;
    for (std::size_t i = 0; i < HighControlRange.size(); ++i) {
        if (HighControlRange[i] == unit)
            return int(0x80 + i);
    }
    return -1;
}

void appendCharacterReference(QByteArray &out, char32_t codePoint)
{
    out += "&#";
    out += QByteArray::number(quint32(codePoint));
    out += ';';
}

} // namespace

QString decode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        *out++ = QChar(value >= 0x80 && value <= 0x9F ? HighControlRange[value - 0x80]
                                                      : char16_t(value));
    }
    return text;
}

QByteArray encodeWithCharacterReferences(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (const int byte = byteOf(c.unicode()); byte >= 0) {
            out += char(byte);
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            appendCharacterReference(out, QChar::surrogateToUcs4(c, text[i + 1]));
            ++i;
        } else if (c.isSurrogate()) {
            appendCharacterReference(out, ReplacementCharacter);
        } else {
            appendCharacterReference(out, c.unicode());
        }
    }
    return out;
}

bool canEncode(QChar c)
{
    return byteOf(c.unicode()) >= 0;
}

} // namespace Platform::Windows1252
