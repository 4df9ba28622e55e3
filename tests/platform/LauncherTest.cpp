#include "support/VellixTest.h"

#include "platform/Launcher.h"

#include <QFileInfo>

using namespace Platform;
using namespace Qt::StringLiterals;

using LauncherTest = VellixTest;

// The backslash and quote rules are the command line fuzz corpus's and the batch upload test's,
// which split arguments joined by those rules; these are the rules a round trip cannot see.
TEST(LauncherSplitTest, FollowsTheWindowsQuotingRules)
{
    const std::pair<const char *, QStringList> cases[] = {
        {"prog \"a\"\"b\"", {"prog", "a\"b"}},
        {"  prog\t  x  ", {"prog", "x"}},
        {"", {}},
    };
    for (const auto &[line, arguments] : cases) {
        SCOPED_TRACE(line);
        EXPECT_EQ(Launcher::splitCommandLine(QString::fromUtf8(line)), arguments);
    }
}

TEST_F(LauncherTest, WellKnownProgramsGoToTheDesktop)
{
    unsetEnvironment("VISUAL");
    unsetEnvironment("EDITOR");
    const QString page = writeFile(homePath(u"a page.htm"_s), "<html/>");

    // The program and its arguments as one list.
    const auto resolved = [](const QString &line) {
        const auto command = Launcher::resolve(line);
        return QStringList{command.program} + command.arguments;
    };
    const QString notes = homePath(u"notes.txt"_s);
    EXPECT_EQ(
        resolved(u"\"C:\\program files\\internet explorer\\iexplore.exe\" \"h:\\A Page.htm\""_s),
        (QStringList{u"xdg-open"_s, page}));
    EXPECT_EQ(resolved(u"notepad.exe h:\\notes.txt"_s), (QStringList{u"xdg-open"_s, notes}));
    setEnvironment("EDITOR", "plain-editor");
    EXPECT_EQ(resolved(u"NOTEPAD h:\\notes.txt"_s), (QStringList{u"plain-editor"_s, notes}));
    setEnvironment("VISUAL", "my-editor --wait");
    EXPECT_EQ(resolved(u"C:\\windows\\notepad.exe h:\\notes.txt"_s),
              (QStringList{u"my-editor"_s, u"--wait"_s, notes}));
    EXPECT_FALSE(Launcher::resolve(u"iexplore.exe"_s).error.isEmpty());
}

TEST_F(LauncherTest, ProgramsAreFoundWithOrWithoutTheirExtensionAndAMissingOneIsTold)
{
    const QString tool = writeProgram(homePath(u"Program Files/Tool/tool"_s));
    const QString onPath = writeProgram(tempPath(u"bin/hvsftp"_s));
    setEnvironment("PATH", QFile::encodeName(tempPath(u"bin"_s)) + ':' + qgetenv("PATH"));

    // a command line, and the program found (empty: none)
    const std::pair<const char *, QString> cases[] = {
        {"\"h:\\program files\\tool\\tool.exe\" -x", tool},
        {"h:\\Program Files\\Tool\\tool", QString()}, // unquoted: the program is "h:\Program"
        {"\"h:\\Program Files\\Tool\\tool\"", tool},
        {"hvsftp.exe -b script", onPath},
        {"HVSFTP.EXE", QString()}, // names on the search path keep their case
        {"missing.exe", QString()},
    };
    for (const auto &[line, program] : cases) {
        SCOPED_TRACE(line);
        const auto command = Launcher::resolve(QString::fromUtf8(line));
        EXPECT_EQ(command.program, program);
        EXPECT_EQ(command.error.isEmpty(), !program.isEmpty());
    }

    // A started program's arguments are the batch upload's test's; a missing one is told.
    const auto missing = Launcher::start(u"h:\\nothing.exe"_s);
    EXPECT_FALSE(missing.started);
    EXPECT_EQ(missing.error, u"Cannot find the program 'h:\\nothing.exe'."_s);
}
