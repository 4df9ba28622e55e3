// The edit menus' programs: the command line each entry builds from the registry and the
// environment, what the desktop program it maps to is handed, and the box for a program that
// is not registered.

#include "support/VellixTest.h"

#include "operations/EditCommands.h"
#include "platform/DosPath.h"
#include "platform/Registry.h"

#include <QFile>

using namespace Qt::StringLiterals;
using Platform::RootKey;
using Platform::Ui;
using Program = EditCommands::Program;

namespace {

const QString AppPaths = u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\"_s;
const QString Browser = u"c:\\program files\\internet explorer\\iexplore.exe"_s;
const QString File = u"C:\\Course\\week 1 notes.txt"_s;

struct Registration
{
    RootKey root;
    const char *key;
    const char *name;
    const char *value;
};

struct EditCase
{
    const char *name;
    Program program;
    QList<Registration> registry;
    const char *programFiles; // the environment's entry; nullptr: none
    QString commandLine;      // empty: the program is not found
    QString started;          // the desktop program started and its arguments before the file
    QString box;
};

void PrintTo(const EditCase &c, std::ostream *out)
{
    *out << c.name;
}

const Registration WordPad = {RootKey::LocalMachine, "WORDPAD.EXE", "",
                              "%ProgramFiles%\\Windows NT\\Accessories\\WORDPAD.EXE"};
const Registration WordVersion = {RootKey::ClassesRoot, "Word.Application\\CurVer", "",
                                  "Word.Application.16"};
const Registration WordRoot = {RootKey::LocalMachine,
                               "Software\\Microsoft\\Office\\16.0\\Word\\InstallRoot", "Path",
                               "C:\\Office\\root\\Office16\\"};

const EditCase Cases[] = {
    {"browser",
     Program::Browser,
     {},
     nullptr,
     u"\"c:\\program files\\internet explorer\\iexplore.exe\" \"C:\\Course\\week 1 notes.txt\""_s,
     u"xdg-open"_s,
     {}},
    {"notepad through the search path",
     Program::Notepad,
     {},
     nullptr,
     u"notepad.exe \"C:\\Course\\week 1 notes.txt\""_s,
     u"editor"_s,
     {}},
    {"wordpad under the session's Program Files",
     Program::WordPad,
     {WordPad},
     nullptr,
     u"\"C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe\" \"C:\\Course\\week 1 notes.txt\""_s,
     u"libreoffice --writer"_s,
     {}},
    {"wordpad under the environment's Program Files",
     Program::WordPad,
     {WordPad},
     "D:\\Apps",
     u"\"D:\\Apps\\Windows NT\\Accessories\\wordpad.exe\" \"C:\\Course\\week 1 notes.txt\""_s,
     {},
     {}},
    {"wordpad registered in quotes",
     Program::WordPad,
     {{RootKey::LocalMachine, "WORDPAD.EXE", "", "\"C:\\Write\\WORDPAD.EXE\""}},
     nullptr,
     u"\"C:\\Write\\wordpad.exe\" \"C:\\Course\\week 1 notes.txt\""_s,
     {},
     {}},
    {"word",
     Program::Word,
     {WordVersion, WordRoot},
     nullptr,
     u"\"C:\\Office\\root\\Office16\\winword.exe\" \"C:\\Course\\week 1 notes.txt\""_s,
     u"libreoffice --writer"_s,
     {}},
    {"wordpad not registered",
     Program::WordPad,
     {WordVersion, WordRoot},
     nullptr,
     {},
     {},
     u"Sorry, could not find Word Pad"_s},
    {"word without its install root",
     Program::Word,
     {WordVersion, WordPad},
     nullptr,
     {},
     {},
     u"Sorry, could not find Word"_s},
};

} // namespace

class EditCommandsTest
    : public VellixTest
    , public testing::WithParamInterface<EditCase>
{
protected:
    void SetUp() override
    {
        VellixTest::SetUp();
        // Stand-ins for the desktop's programs, first on the search path.
        const QString bin = tempPath(u"bin"_s);
        for (const char *program : {"xdg-open", "libreoffice", "editor"})
            writeProgram(bin + u'/' + QLatin1String(program));
        setEnvironment("PATH", QFile::encodeName(bin) + ':' + qgetenv("PATH"));
        setEnvironment("VISUAL", QFile::encodeName(bin + u"/editor"_s));
        unsetEnvironment("PROGRAMFILES");
    }
};

TEST_P(EditCommandsTest, BuildsTheCommandLineAndStartsTheProgram)
{
    const EditCase &c = GetParam();
    Platform::Registry registry;
    for (const Registration &entry : c.registry) {
        const QString key = QLatin1String(entry.key);
        registry.setString(entry.root, key.contains(u'\\') ? key : AppPaths + key,
                           QLatin1String(entry.name), QLatin1String(entry.value));
    }
    if (c.programFiles)
        setEnvironment("PROGRAMFILES", c.programFiles);
    const QString file = writeFile(Platform::DosPath::toLinux(File), "notes");
    const EditCommands commands(Browser, EditorFolders::find());

    EXPECT_EQ(commands.commandLine(c.program, File), c.commandLine);
    if (c.started.isEmpty() && c.box.isEmpty())
        return;
    commands.open(c.program, File);
    if (!c.box.isEmpty()) {
        ASSERT_EQ(ui().boxes().size(), 1);
        EXPECT_EQ(ui().boxes().at(0).text, c.box);
        EXPECT_EQ(ui().boxes().at(0).title, u"Path Not Found"_s);
        EXPECT_EQ(ui().boxes().at(0).icon, Ui::Icon::Critical);
        return;
    }
    EXPECT_TRUE(ui().boxes().isEmpty());
    const QStringList started = c.started.split(u' ');
    EXPECT_EQ(arguments(tempPath(u"bin/"_s) + started.first()), started.mid(1) << file);
}

INSTANTIATE_TEST_SUITE_P(Entries, EditCommandsTest, testing::ValuesIn(Cases));
