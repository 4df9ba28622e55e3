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

    const std::pair<uchar, char16_t> table[] = {
        {0x41, u'A'},   {0x80, 0x20AC}, {0x81, 0x0081}, {0x85, 0x2026},
        {0x8D, 0x008D}, {0x8E, 0x017D}, {0x8F, 0x008F}, {0x90, 0x0090},
        {0x93, 0x201C}, {0x96, 0x2013}, {0x99, 0x2122}, {0x9D, 0x009D},
        {0x9F, 0x0178}, {0xA0, 0x00A0}, {0xE9, 0x00E9}, {0xFF, 0x00FF},
    };
    for (const auto &[byte, character] : table) {
        SCOPED_TRACE(byte);
        EXPECT_EQ(int(decoded.at(byte).unicode()), int(character));
    }

    const std::pair<QString, QByteArray> cases[] = {
        {QString::fromUtf8("café € 5"), "caf\xe9 \x80 5"},
        {QString::fromUtf8("“quoted” – ok"), "\x93quoted\x94 \x96 ok"},
        {QString::fromUtf8("Ω"), "&#937;"},
        {QString::fromUtf8("a📚b"), "a&#128218;b"}, // one reference for a surrogate pair
        {QString(QChar(0x0080)), "&#128;"},        // 0x80 is the euro sign's byte
        {QString(QChar(0xD800)) + QLatin1Char('x'), "&#65533;x"},
        {QString(QChar(0xDC00)), "&#65533;"},
        {u"<a & b>"_s, "<a & b>"}, // markup is the caller's to escape
        {QString(), ""},
    };
    for (const auto &[text, bytes] : cases) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(Windows1252::encodeWithCharacterReferences(text), bytes);
    }

    EXPECT_FALSE(Windows1252::canEncode(QChar(0x03A9)));
    EXPECT_FALSE(Windows1252::canEncode(QChar(0x0080)));
    EXPECT_FALSE(Windows1252::canEncode(QChar(0xD83D)));
}
