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

// The registry entries the cases name: the root, the key (under App Paths when it has no
// backslash), the value's name and the value.
using Registration = std::tuple<RootKey, const char *, const char *, const char *>;
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

// What an entry does: its name, the program, the names of the Registrations it finds (separated
// by blanks), the environment's Program Files (nullptr: none), the command before the quoted
// file (empty: the program is not found), the desktop program started with its arguments
// before the file, and the box shown.
using EditCase = std::tuple<const char *, Program, const char *, const char *, const char *,
                            const char *, const char *>;

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
    const auto &[name, program, registered, programFiles, command, started, box] = GetParam();
    SCOPED_TRACE(name);
    Platform::Registry registry;
    for (const QString &entryName :
         QString::fromLatin1(registered).split(u' ', Qt::SkipEmptyParts)) {
        const auto &[root, keyName, valueName, value] = Registrations.at(entryName);
        const QString key = QLatin1String(keyName);
        registry.setString(root, key.contains(u'\\') ? key : AppPaths + key,
                           QLatin1String(valueName), QLatin1String(value));
    }
    if (programFiles)
        setEnvironment("PROGRAMFILES", programFiles);
    const QString file = writeFile(Platform::DosPath::toLinux(File), "notes");
    const EditCommands commands(Browser, EditorFolders::find());

    EXPECT_EQ(commands.commandLine(program, File),
              *command ? QString::fromUtf8(command) + u" \""_s + File + u'"' : QString());
    if (!*started && !*box)
        return;
    commands.open(program, File);
    if (*box) {
        EXPECT_EQ(seen(ui().boxes()), (QList<SeenBox>{{QString::fromUtf8(box), u"Path Not Found"_s,
                                                       Ui::Icon::Critical}}));
        return;
    }
    EXPECT_TRUE(ui().boxes().isEmpty());
    const QStringList startedWords = QString::fromUtf8(started).split(u' ');
    EXPECT_EQ(arguments(tempPath(u"bin/"_s) + startedWords.first()), startedWords.mid(1) << file);
}

INSTANTIATE_TEST_SUITE_P(Entries, EditCommandsTest, testing::ValuesIn(Cases));

// A Linux name may hold a quote, which no Windows name does: the program still gets that file,
// not the one the name reads as once its quote has closed the quoted path.
TEST_F(EditCommandsTest, OpensAFileWhoseNameHoldsAQuote)
{
    const QString quoting = u"C:\\Course\\say \"hi\".txt"_s;
    const QString file = writeFile(Platform::DosPath::toLinux(quoting), "hi");
    EditCommands(Browser, {}).open(Program::Notepad, quoting);
    EXPECT_TRUE(ui().boxes().isEmpty());
    EXPECT_EQ(arguments(tempPath(u"bin/editor"_s)), QStringList{file});
}
