// How command texts are read, also as the client writes them, and how replies are cut to
// their buffers.

#include "securelib/CommandText.h"
#include "securelib/ReplyText.h"
#include "transport/SecureCommand.h"

#include "support/VellixTest.h"

#include <array>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

struct ParseCase
{
    const char *title;
    QString text;
    QString verb;
    QStringList flags;
    std::optional<QStringList> arguments; // none: the text cannot be read one way only
};

class CommandTextParse : public testing::TestWithParam<ParseCase>
{
};

TEST_P(CommandTextParse, GivesVerbFlagsAndTheArgumentsAsMeant)
{
    const ParseCase &c = GetParam();
    const CommandText command = CommandText::parse(c.text);
    EXPECT_EQ(command.verb(), c.verb);
    EXPECT_EQ(command.flags(), c.flags);
    EXPECT_EQ(command.arguments(), c.arguments);
}

const ParseCase ParseCases[] = {
    {"NoArguments", u"pwd"_s, u"pwd"_s, {}, QStringList()},
    {"OneQuoted", u"cd \"my folder\""_s, u"cd"_s, {}, QStringList{u"my folder"_s}},
    {"Unquoted", u"CD docs"_s, u"cd"_s, {}, QStringList{u"docs"_s}},
    {"TwoQuoted", u"ren \"a\" \"b\""_s, u"ren"_s, {}, QStringList{u"a"_s, u"b"_s}},
    {"FlagsBeforeArguments",
     u"put -h -U \"C:\\web\\a b.htm\" \"a b.htm\""_s,
     u"put"_s,
     {u"-h"_s, u"-u"_s},
     QStringList{u"C:\\web\\a b.htm"_s, u"a b.htm"_s}},
    {"DoubledQuotesStandForOne",
     u"ren \"a\"\" \"\"b\" \"say \"\"hi\"\"\""_s,
     u"ren"_s,
     {},
     QStringList{u"a\" \"b"_s, u"say \"hi\""_s}},
    {"BackslashesStandAsWritten",
     u"put \"C:\\dir\\\" \"x\\\\y\\\""_s,
     u"put"_s,
     {},
     QStringList{u"C:\\dir\\"_s, u"x\\\\y\\"_s}},
    {"EmptyArgument", u"get \"\" \"x\""_s, u"get"_s, {}, QStringList{QString(), u"x"_s}},
    {"DashInsideQuotesIsNoFlag", u"del \"-h\""_s, u"del"_s, {}, QStringList{u"-h"_s}},
    {"QuoteInsideABareWord", u"del a\"b.txt"_s, u"del"_s, {}, std::nullopt},
    {"TextAfterAClosingQuote", u"del \"a\"b.txt\""_s, u"del"_s, {}, std::nullopt},
    {"UndoubledQuoteBetweenNames",
     u"get \"a.txt\" \"/some/path\" \"x\""_s,
     u"get"_s,
     {},
     QStringList{u"a.txt"_s, u"/some/path"_s, u"x"_s}},
    {"UnclosedQuote", u"mkdir \"new"_s, u"mkdir"_s, {}, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Texts, CommandTextParse, testing::ValuesIn(ParseCases),
                         [](const testing::TestParamInfo<ParseCase> &info) {
                             return std::string(info.param.title);
                         });

TEST(CommandTextTest, ReadsBackEveryNameTheClientQuotes)
{
    const QString names[] = {
        u"plain.txt"_s,
        u"a\"b.txt"_s,
        u"a\" \"b.txt"_s,
        u"a.txt\" \"/some/path"_s,
        u"C:\\dir\\"_s,
        u"back\\\"slash"_s,
        u"\""_s,
        u"\"\""_s,
        u" blanks around "_s,
        u"-h"_s,
    };
    for (const QString &first : names) {
        for (const QString &second : {u"x"_s, first}) {
            const QString text = SecureCommand::command(u"ren ", first, second);
            EXPECT_EQ(CommandText::parse(text).arguments(), QStringList({first, second}))
                << text.toStdString();
        }
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
