#include "support/VellixTest.h"

#include "platform/Windows1252.h"

using namespace Platform;
using namespace Qt::StringLiterals;

TEST_F(VellixTest, Windows1252DecodesEveryByteAndWritesOtherCharactersAsReferences)
{
    QByteArray everyByte;
    for (int byte = 0; byte < 256; ++byte)
        everyByte.append(char(byte));
    const QString decoded = Windows1252::decode(everyByte);
    ASSERT_EQ(decoded.size(), 256);
    EXPECT_EQ(Windows1252::encodeWithCharacterReferences(decoded), everyByte);
    for (const QChar c : decoded)
        EXPECT_TRUE(Windows1252::canEncode(c)) << int(c.unicode());

    // Where the code page differs from Latin-1, and the bytes it leaves undefined.
    EXPECT_EQ(
        Windows1252::decode("\x41\x80\x81\x85\x8D\x8E\x8F\x90\x93\x96\x99\x9D\x9F\xA0\xE9\xFF"),
        u"A\u20AC\u0081\u2026\u008D\u017D\u008F\u0090"
        u"\u201C\u2013\u2122\u009D\u0178\u00A0\u00E9\u00FF"_s);

    const std::pair<QString, QByteArray> cases[] = {
        {QString::fromUtf8("Ω"), "&#937;"},
        {QString::fromUtf8("a📚b"), "a&#128218;b"}, // one reference for a surrogate pair
        {QString(QChar(0x0080)), "&#128;"},        // 0x80 is the euro sign's byte
        {QString(QChar(0xD800)) + QLatin1Char('x'), "&#65533;x"},
        {QString(QChar(0xDC00)), "&#65533;"},
        {u"<a & b>"_s, "<a & b>"}, // markup is the caller's to escape
    };
    for (const auto &[text, bytes] : cases) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(Windows1252::encodeWithCharacterReferences(text), bytes);
    }

    EXPECT_FALSE(Windows1252::canEncode(QChar(0x03A9)));
    EXPECT_FALSE(Windows1252::canEncode(QChar(0x0080)));
    EXPECT_FALSE(Windows1252::canEncode(QChar(0xD83D)));
}
