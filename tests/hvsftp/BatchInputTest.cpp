// What hvsftp reads before it connects: its command line, the script's lines and which
// commands it hands to the library.

#include "support/VellixTest.h"

#include "hvsftp/BatchOptions.h"
#include "hvsftp/BatchRun.h"
#include "hvsftp/BatchScript.h"

using namespace Qt::StringLiterals;

namespace {

// The tool's arguments from one text, split at '|' so that values may hold blanks or be empty.
QStringList toolArguments(const QString &line)
{
    return (u"hvsftp|"_s + line).split(u'|');
}

// What a complete command line gave, in one text: user, password, script and server, the
// switches given, and where the password stood.
QString described(const BatchOptions::Parsed &parsed)
{
    const BatchOptions &options = *parsed.options;
    QStringList fields{options.user, options.password, options.scriptPath, options.server};
    if (options.goOnAfterFailure)
        fields << u"-be"_s;
    if (options.acceptNewHostKey)
        fields << u"-k"_s;
    if (options.doneText)
        fields << u"-hv "_s + *options.doneText;
    return fields.join(u'|') + u" password at "_s + QString::number(parsed.passwordArgument);
}

} // namespace

TEST(BatchOptionsTest, ReadsCompleteCommandLines)
{
    const struct
    {
        const char *title;
        QString arguments;
        QString options;
    } cases[] = {
        {"the control's command line",
         u"-l|smith|-pw|se cret|-b|C:\\Dovrelle\\rad0A1.tmp|-be|-k|-hv|done|school.org:2222"_s,
         u"smith|se cret|C:\\Dovrelle\\rad0A1.tmp|school.org:2222|-be|-k|-hv done password at 4"_s},
        {"any order, no switches", u"host|-b|/tmp/s|-pw|p|-l|u"_s,
         u"u|p|/tmp/s|host password at 5"_s},
        {"values that look like options", u"-pw|-be|-l|-k|-b|-x|[::1]:22"_s,
         u"-k|-be|-x|[::1]:22 password at 2"_s},
        {"an empty done text", u"-hv||-l|u|-pw||-b|s|h"_s, u"u||s|h|-hv  password at 6"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title);
        const BatchOptions::Parsed parsed = BatchOptions::parse(toolArguments(c.arguments));
        ASSERT_TRUE(parsed.options) << parsed.error.toStdString();
        EXPECT_EQ(described(parsed), c.options);
    }
}

TEST(BatchOptionsTest, RefusesIncompleteOrWrongCommandLines)
{
    const struct
    {
        QString line;
        QString error;
        qsizetype passwordArgument; // still found, so that it is wiped before the message
    } cases[] = {
        {u"-l|u|-pw|p|host|-b"_s, u"option -b needs a value (-b SCRIPT)"_s, 4},
        {u"-l|u|-b|s|host|-pw"_s, u"option -pw needs a value (-pw PASSWORD)"_s, -1},
        {u"-l|u|-pw|p|-b|s|-x|host"_s, u"unknown option -x"_s, 4},
        {u"-l|u|-b|s|host"_s, u"option -pw PASSWORD is missing"_s, -1},
        {u"-pw|p|-b|s|host"_s, u"option -l USER is missing"_s, 2},
        {u"-l|u|-pw|p|host"_s, u"option -b SCRIPT is missing"_s, 4},
        {u"-l|u|-pw|p|-b|s"_s, u"no HOST[:PORT] to connect to"_s, 4},
        {u"-l|u|-pw|p|-b|s|one|two"_s, u"more than one HOST[:PORT]: one, two"_s, 4},
        {u"-l|u|-pw|p|-l|v|-b|s|host"_s, u"option -l is given twice"_s, 4},
        {u"-l|u|-pw|p|-pw|q|-b|s|host"_s, u"option -pw is given twice"_s, 6},
        {u"-l||-pw|p|-b|s|host"_s, u"the user name (-l) is empty"_s, 4},
        {u"-l|u|-pw|p|-b||host"_s, u"the script path (-b) is empty"_s, 4},
        {u"-l|u|-pw|p|-b|s|"_s, u"the HOST[:PORT] is empty"_s, 4},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        const BatchOptions::Parsed parsed = BatchOptions::parse(toolArguments(c.line));
        EXPECT_EQ(std::tuple(bool(parsed.options), parsed.helpAsked, parsed.error,
                             parsed.passwordArgument),
                  std::tuple(false, false, c.error, c.passwordArgument));
    }

    EXPECT_TRUE(BatchOptions::parse(toolArguments(u"-l|u|--help"_s)).helpAsked);
}

TEST(BatchScriptTest, SplitsDecodesAndSkipsBlankLines)
{
    using Line = BatchScript::Line;
    const QByteArray longest = "mkdir \"" + QByteArray(BatchScript::MaxLineLength - 8, 'z') + '"';
    const QByteArray tooLong = "cd \"" + QByteArray(BatchScript::MaxLineLength - 4, 'y') + '"';
    const struct
    {
        const char *title;
        QByteArray bytes;
        QList<Line> lines;
    } cases[] = {
        {"the control's script",
         "cd \"DV/a/b\"\r\nput -u \"h:\\x.txt\"\r\n\r\n",
         {{1, u"cd \"DV/a/b\""_s}, {2, u"put -u \"h:\\x.txt\""_s}}},
        {"LF ends, blank lines and blanks around commands",
         "\n  pwd \t\n\n\tmkdir \"a\"  \r\n \n",
         {{2, u"pwd"_s}, {4, u"mkdir \"a\""_s}}},
        {"no line end after the last command", "pwd", {{1, u"pwd"_s}}},
        {"nothing but blank lines", "\r\n\r\n  \n", {}},
        {"Windows-1252",
         "put \"c:\\caf\xe9 \x80.txt\"",
         {{1, QString::fromUtf8("put \"c:\\café €.txt\"")}}},
        {"UTF-8 with a byte order mark",
         "\xEF\xBB\xBFput \"c:\\caf\xC3\xA9.txt\"",
         {{1, QString::fromUtf8("put \"c:\\café.txt\"")}}},
        // The blanks around a command do not count.
        {"lines up to the longest a command may be",
         "  " + longest + "  \r\n" + tooLong + "\r\npwd\r\n",
         {{1, QString::fromLatin1(longest)},
          {2, {}, u"the line is longer than 65536 characters"_s},
          {3, u"pwd"_s}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title);
        EXPECT_EQ(BatchScript::lines(c.bytes), c.lines);
    }
}

TEST(BatchScriptTest, ResolvesOnlyTheReferencesTheControlWrites)
{
    const struct
    {
        const char *text;
        QString resolved;
    } cases[] = {
        {"a&#937;b", QString::fromUtf8("aΩb")},
        {"&#x3a9;&#X3A9;", QString::fromUtf8("ΩΩ")},
        {"&#128218;.pdf", QString::fromUtf8("📚.pdf")},
        {"&#128;", QString(QChar(0x0080))}, // 0x80 is the euro sign's byte
        {"&#65533;", QString(QChar(0xFFFD))},
        // Characters the code page holds are written as bytes: such text is a name's own.
        {"&#65;&#233;&#8364;", u"&#65;&#233;&#8364;"_s},
        // Not well-formed, or no character.
        {"&#937 &#; &#x; &#xZ; &#-937; & #937;", u"&#937 &#; &#x; &#xZ; &#-937; & #937;"_s},
        {"&#55357; &#1114112; &#0; &#000000000937;", u"&#55357; &#1114112; &#0; &#000000000937;"_s},
        {"&&#937;&#937", QString::fromUtf8("&Ω&#937")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(BatchScript::withCharacterReferencesResolved(QString::fromUtf8(c.text)),
                  c.resolved);
    }
}

TEST(BatchRunTest, HandsOnlyTheScriptVerbsToTheLibrary)
{
    for (const QString &command :
         {u"cd \"DV\""_s, u"put -u \"h:\\a.txt\""_s, u"get \"a\" \"b\""_s, u"mkdir \"m\""_s,
          u"del \"a\""_s, u"ren \"a\" \"b\""_s, u"pwd"_s, u"PUT \"a\""_s, u"cd\t\"DV\""_s}) {
        SCOPED_TRACE(command.toStdString());
        EXPECT_EQ(BatchRun::refusal(command), QString());
    }
    for (const QString &command : {u"rmdir \"m\""_s, u"dir \"*\""_s, u"ls"_s, u"putx \"a\""_s,
                                   u"put\"a\""_s, u"cd \"a"_s + QChar(u'\0') + u"b\""_s}) {
        SCOPED_TRACE(command.toStdString());
        EXPECT_FALSE(BatchRun::refusal(command).isEmpty());
    }
    EXPECT_EQ(BatchRun::refusal(u"rmdir \"m\""_s),
              u"unknown command \"rmdir\" (known: cd, put, get, mkdir, del, ren, pwd)"_s);
}

// An unattended batch continues what an earlier run left of a put's or get's file.
TEST(BatchRunTest, PutsAndGetsContinueWhatAnEarlierRunLeft)
{
    const std::pair<QString, QString> commands[] = {
        {u"put \"a\""_s, u"put -c \"a\""_s},
        {u"GET -h \"a.htm\" \"b.htm\""_s, u"GET -c -h \"a.htm\" \"b.htm\""_s},
        {u"put\t-u \"a\""_s, u"put -c\t-u \"a\""_s},
        {u"ren \"put\" \"get\""_s, u"ren \"put\" \"get\""_s},
        {u"putx \"a\""_s, u"putx \"a\""_s},
    };
    for (const auto &[command, run] : commands)
        EXPECT_EQ(BatchRun::withResume(command), run) << command.toStdString();
}
