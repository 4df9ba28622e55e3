// How command texts are read and how replies are cut to their buffers.

#include "securelib/CommandText.h"
#include "securelib/ReplyText.h"

#include "support/VellixTest.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

struct ParseCase
{
    const char *title;
    QString text;
    QString verb;
    QStringList flags;
    QList<QStringList> readings;
};

class CommandTextParse : public testing::TestWithParam<ParseCase>
{
};

TEST_P(CommandTextParse, GivesVerbFlagsAndEveryReading)
{
    const ParseCase &c = GetParam();
    const CommandText command = CommandText::parse(c.text);
    EXPECT_EQ(command.verb(), c.verb);
    EXPECT_EQ(command.flags(), c.flags);
    EXPECT_EQ(command.readings(), c.readings);
}

const ParseCase ParseCases[] = {
    {"NoArguments", u"pwd"_s, u"pwd"_s, {}, {QStringList()}},
    {"OneQuoted", u"cd \"my folder\""_s, u"cd"_s, {}, {{u"my folder"_s}}},
    {"Unquoted", u"CD docs"_s, u"cd"_s, {}, {{u"docs"_s}}},
    {"TwoQuotedAlsoReadAsOne",
     u"ren \"a\" \"b\""_s,
     u"ren"_s,
     {},
     {{u"a\" \"b"_s}, {u"a"_s, u"b"_s}}},
    {"FlagsBeforeArguments",
     u"put -h -U \"C:\\web\\a b.htm\" \"a b.htm\""_s,
     u"put"_s,
     {u"-h"_s, u"-u"_s},
     {{u"C:\\web\\a b.htm\" \"a b.htm"_s}, {u"C:\\web\\a b.htm"_s, u"a b.htm"_s}}},
    {"QuoteInsideAName", u"del \"a\"b.txt\""_s, u"del"_s, {}, {{u"a\"b.txt"_s}}},
    {"EverySeparatorIsAPossibleSplit",
     u"ren \"x\" \"y\" \"z\""_s,
     u"ren"_s,
     {},
     {{u"x\" \"y\" \"z"_s}, {u"x"_s, u"y\" \"z"_s}, {u"x\" \"y"_s, u"z"_s}}},
    {"UnclosedQuoteRunsToTheEnd", u"mkdir \"new"_s, u"mkdir"_s, {}, {{u"new"_s}}},
    {"DashInsideQuotesIsNoFlag", u"del \"-h\""_s, u"del"_s, {}, {{u"-h"_s}}},
};

INSTANTIATE_TEST_SUITE_P(Texts, CommandTextParse, testing::ValuesIn(ParseCases),
                         [](const testing::TestParamInfo<ParseCase> &info) {
                             return std::string(info.param.title);
                         });

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
