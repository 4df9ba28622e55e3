// How command texts are read, and how replies are cut to their buffers. That every name the
// client quotes reads back is checked by the command-text fuzz target over its corpus.

#include "securelib/CommandText.h"
#include "securelib/ReplyText.h"

#include "support/VellixTest.h"

#include <array>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

TEST(CommandTextTest, GivesVerbFlagsAndTheArgumentsAsMeant)
{
    const struct
    {
        QString text;
        QString verb;
        QStringList flags;
        std::optional<QStringList> arguments; // none: the text cannot be read one way only
    } cases[] = {
        {u"pwd"_s, u"pwd"_s, {}, QStringList()},
        {u"cd \"my folder\""_s, u"cd"_s, {}, QStringList{u"my folder"_s}},
        {u"CD docs"_s, u"cd"_s, {}, QStringList{u"docs"_s}},
        {u"ren \"a\" \"b\""_s, u"ren"_s, {}, QStringList{u"a"_s, u"b"_s}},
        {uR"(put -h -U "C:\a" "a b")"_s, u"put"_s, {u"-h"_s, u"-u"_s}, {{uR"(C:\a)"_s, u"a b"_s}}},
        // Doubled quotes stand for one; backslashes stand as written.
        {uR"(ren "a"" ""b" "say ""hi""")"_s, u"ren"_s, {}, {{uR"(a" "b)"_s, uR"(say "hi")"_s}}},
        {uR"(put "C:\dir\" "x\\y\")"_s, u"put"_s, {}, {{uR"(C:\dir\)"_s, uR"(x\\y\)"_s}}},
        {u"get \"\" \"x\""_s, u"get"_s, {}, QStringList{QString(), u"x"_s}},
        {u"del \"-h\""_s, u"del"_s, {}, QStringList{u"-h"_s}},
        {uR"(get "a.txt" "/path" "x")"_s, u"get"_s, {}, {{u"a.txt"_s, u"/path"_s, u"x"_s}}},
        {u"del a\"b.txt"_s, u"del"_s, {}, std::nullopt},
        {u"del \"a\"b.txt\""_s, u"del"_s, {}, std::nullopt},
        {u"mkdir \"new"_s, u"mkdir"_s, {}, std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const CommandText command = CommandText::parse(c.text);
        EXPECT_EQ(std::tuple(command.verb(), command.flags(), command.arguments()),
                  std::tuple(c.verb, c.flags, c.arguments));
    }
}

TEST(ReplyTextTest, RepliesNeverPassTheirBufferNorBreakACharacterOrLine)
{
    struct Case
    {
        const char *title;
        bool wholeLines;
        QByteArray text;
        int size;
        QByteArray expected;
    };
    const Case cases[] = {
        {"fits", false, "hello", 8, "hello"},
        {"cut", false, "hello world", 6, "hello"},
        {"cut before a two-byte letter", false, "abcd\xC3\xA9", 6, "abcd"},
        {"lines that fit", true, "a|1|0|-\r\nb|2|0|-\r\n", 64, "a|1|0|-\r\nb|2|0|-\r\n"},
        {"last line dropped whole", true, "a|1|0|-\r\nb|2|0|-\r\n", 18, "a|1|0|-\r\n"},
        {"exactly one line and its NUL", true, "a|1|0|-\r\nb|2|0|-\r\n", 10, "a|1|0|-\r\n"},
        {"no line fits", true, "long-name|1|0|-\r\n", 8, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.title);
        std::array<char, 80> buffer;
        buffer.fill('#');
        if (c.wholeLines)
            ReplyText::writeWholeLines(buffer.data(), c.size, c.text);
        else
            ReplyText::write(buffer.data(), c.size, c.text);
        EXPECT_EQ(QByteArray(buffer.data()), c.expected);
        EXPECT_EQ(buffer[size_t(c.size)], '#') << "wrote past the buffer";
    }
}

} // namespace
