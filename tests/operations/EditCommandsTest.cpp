// The edit menus' programs: the command line each entry builds from the registry and the
// environment, what the desktop program it maps to is handed, and the box for a program that
// is not registered.

#include "course/SeenBox.h"
#include "support/VellixTest.h"

#include "operations/EditCommands.h"
#include "platform/DosPath.h"
#include "platform/Registry.h"

#include <QFile>

#include <map>

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

// The registry entries the cases name.
const std::map<QString, Registration> Registrations = {
    {u"wordpad"_s,
     {RootKey::LocalMachine, "WORDPAD.EXE", "",
      "%ProgramFiles%\\Windows NT\\Accessories\\WORDPAD.EXE"}},
    {u"quotedWordpad"_s, {RootKey::LocalMachine, "WORDPAD.EXE", "", "\"C:\\Write\\WORDPAD.EXE\""}},
    {u"wordVersion"_s,
     {RootKey::ClassesRoot, "Word.Application\\CurVer", "", "Word.Application.16"}},
    {u"wordRoot"_s,
     {RootKey::LocalMachine, "Software\\Microsoft\\Office\\16.0\\Word\\InstallRoot", "Path",
      "C:\\Office\\root\\Office16\\"}},
};

struct EditCase
{
    const char *name;
    Program program;
    const char *registry;     // names of Registrations, separated by blanks
    const char *programFiles; // the environment's entry; nullptr: none
    const char *command;      // before the quoted file; empty: the program is not found
    const char *started;      // the desktop program started and its arguments before the file
    const char *box;
};

void PrintTo(const EditCase &c, std::ostream *out)
{
    *out << c.name;
}

const EditCase Cases[] = {
    {"browser", Program::Browser, "", nullptr,
     "\"c:\\program files\\internet explorer\\iexplore.exe\"", "xdg-open", ""},
    {"notepad through the search path", Program::Notepad, "", nullptr, "notepad.exe", "editor", ""},
    {"wordpad under the session's Program Files", Program::WordPad, "wordpad", nullptr,
     "\"C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe\"", "libreoffice --writer", ""},
    {"wordpad under the environment's Program Files", Program::WordPad, "wordpad", "D:\\Apps",
     "\"D:\\Apps\\Windows NT\\Accessories\\wordpad.exe\"", "", ""},
    {"wordpad registered in quotes", Program::WordPad, "quotedWordpad", nullptr,
     "\"C:\\Write\\wordpad.exe\"", "", ""},
    {"word", Program::Word, "wordVersion wordRoot", nullptr,
     "\"C:\\Office\\root\\Office16\\winword.exe\"", "libreoffice --writer", ""},
    {"wordpad not registered", Program::WordPad, "wordVersion wordRoot", nullptr, "", "",
     "Sorry, could not find Word Pad"},
    {"word without its install root", Program::Word, "wordVersion wordpad", nullptr, "", "",
     "Sorry, could not find Word"},
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
    for (const QString &name : QString::fromLatin1(c.registry).split(u' ', Qt::SkipEmptyParts)) {
        const Registration &entry = Registrations.at(name);
        const QString key = QLatin1String(entry.key);
        registry.setString(entry.root, key.contains(u'\\') ? key : AppPaths + key,
                           QLatin1String(entry.name), QLatin1String(entry.value));
    }
    if (c.programFiles)
        setEnvironment("PROGRAMFILES", c.programFiles);
    const QString file = writeFile(Platform::DosPath::toLinux(File), "notes");
    const EditCommands commands(Browser, EditorFolders::find());

    EXPECT_EQ(commands.commandLine(c.program, File),
              *c.command ? QString::fromUtf8(c.command) + u" \""_s + File + u'"' : QString());
    if (!*c.started && !*c.box)
        return;
    commands.open(c.program, File);
    if (*c.box) {
        EXPECT_EQ(seen(ui().boxes()), (QList<SeenBox>{{QString::fromUtf8(c.box),
                                                       u"Path Not Found"_s, Ui::Icon::Critical}}));
        return;
    }
    EXPECT_TRUE(ui().boxes().isEmpty());
    const QStringList started = QString::fromUtf8(c.started).split(u' ');
    EXPECT_EQ(arguments(tempPath(u"bin/"_s) + started.first()), started.mid(1) << file);
}

INSTANTIATE_TEST_SUITE_P(Entries, EditCommandsTest, testing::ValuesIn(Cases));
