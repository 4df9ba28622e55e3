#include "support/VellixTest.h"

#include "platform/Launcher.h"

#include <QFileInfo>

using namespace Platform;

using LauncherTest = VellixTest;

TEST(LauncherSplitTest, FollowsTheWindowsQuotingRules)
{
    const struct
    {
        const char *line;
        QStringList arguments;
    } cases[] = {
        {"prog \"abc\" d e", {"prog", "abc", "d", "e"}},
        {"prog a\\\\\\b d\"e f\"g h", {"prog", "a\\\\\\b", "de fg", "h"}},
        {"prog a\\\\\\\"b c d", {"prog", "a\\\"b", "c", "d"}},
        {"prog a\\\\\\\\\"b c\" d e", {"prog", "a\\\\b c", "d", "e"}},
        {"prog \"a\"\"b\"", {"prog", "a\"b"}},
        {"prog \"\" x", {"prog", "", "x"}},
        {"  prog\t  x  ", {"prog", "x"}},
        {"\"C:\\Program Files\\Tool\\\" arg", {"C:\\Program Files\\Tool\\", "arg"}},
        {"C:\\dir\\prog.exe \"h:\\My Docs\\a.txt\"", {"C:\\dir\\prog.exe", "h:\\My Docs\\a.txt"}},
        {"", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(Launcher::splitCommandLine(QString::fromUtf8(c.line)), c.arguments);
    }
}

TEST_F(LauncherTest, WellKnownProgramsGoToTheDesktop)
{
    unsetEnvironment("VISUAL");
    unsetEnvironment("EDITOR");
    const QString page = writeFile(homePath(QStringLiteral("a page.htm")), "<html/>");

    auto command = Launcher::resolve(QStringLiteral(
        "\"C:\\program files\\internet explorer\\iexplore.exe\" \"h:\\A Page.htm\""));
    EXPECT_EQ(command.program, QStringLiteral("xdg-open"));
    EXPECT_EQ(command.arguments, QStringList{page});

    command = Launcher::resolve(QStringLiteral("notepad.exe h:\\notes.txt"));
    EXPECT_EQ(command.program, QStringLiteral("xdg-open"));
    EXPECT_EQ(command.arguments, QStringList{homePath(QStringLiteral("notes.txt"))});

    setEnvironment("EDITOR", "plain-editor");
    EXPECT_EQ(Launcher::resolve(QStringLiteral("NOTEPAD h:\\notes.txt")).program,
              QStringLiteral("plain-editor"));
    setEnvironment("VISUAL", "my-editor --wait");
    command = Launcher::resolve(QStringLiteral("C:\\windows\\notepad.exe h:\\notes.txt"));
    EXPECT_EQ(command.program, QStringLiteral("my-editor"));
    EXPECT_EQ(command.arguments,
              (QStringList{QStringLiteral("--wait"), homePath(QStringLiteral("notes.txt"))}));

    command = Launcher::resolve(QStringLiteral("iexplore.exe"));
    EXPECT_FALSE(command.error.isEmpty());
}

TEST_F(LauncherTest, ProgramsAreFoundWithOrWithoutTheirExtension)
{
    const QString tool = writeProgram(homePath(QStringLiteral("Program Files/Tool/tool")));
    const QString onPath = writeProgram(tempPath(QStringLiteral("bin/hvsftp")));
    setEnvironment("PATH",
                   QFile::encodeName(tempPath(QStringLiteral("bin"))) + ':' + qgetenv("PATH"));

    const struct
    {
        const char *line;
        QString program;
    } cases[] = {
        {"\"h:\\program files\\tool\\tool.exe\" -x", tool},
        {"h:\\Program Files\\Tool\\tool", QString()}, // unquoted: the program is "h:\Program"
        {"\"h:\\Program Files\\Tool\\tool\"", tool},
        {"hvsftp.exe -b script", onPath},
        {"HVSFTP.EXE", QString()}, // names on the search path keep their case
        {"missing.exe", QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        const auto command = Launcher::resolve(QString::fromUtf8(c.line));
        EXPECT_EQ(command.program, c.program);
        EXPECT_EQ(command.error.isEmpty(), !c.program.isEmpty());
    }
}

TEST_F(LauncherTest, StartDoesNotWaitAndReportsWhatCannotStart)
{
    const QString program = writeProgram(homePath(QStringLiteral("run me")));
    const auto result = Launcher::start(QStringLiteral("\"h:\\run me.exe\" \"one two\" three"));
    ASSERT_TRUE(result.started) << result.error.toStdString();
    EXPECT_GT(result.pid, 0);
    EXPECT_EQ(arguments(program),
              (QStringList{QStringLiteral("one two"), QStringLiteral("three")}));

    const auto missing = Launcher::start(QStringLiteral("h:\\nothing.exe"));
    EXPECT_FALSE(missing.started);
    EXPECT_EQ(missing.error, QStringLiteral("Cannot find the program 'h:\\nothing.exe'."));
}
