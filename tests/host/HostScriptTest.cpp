// vellix-host --script and --auto: scripts drive the control and its windows as a person would,
// against a real FTP server, and the host ends with the script's status.

#include "cli/CliRun.h"
#include "servers/FtpTestServer.h"
#include "servers/SilentFtpServer.h"
#include "support/ConfigTest.h"

#include "course/ConfigFile.h"
#include "course/ConfigStore.h"
#include "course/LoginStore.h"
#include "platform/DosPath.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;

namespace {

const QString MonthFolder = u"/DV/biology/2006_2007/March_2007"_s;
// The course of March 2007, before any login is stored.
const QByteArray CourseSettings =
    "[biology]\r\nstartMonth=3\r\nstartYear=2007\r\nendMonth=3\r\nendYear=2007\r\n";

struct ScriptCase
{
    const char *name;
    bool loginStored;
    const char *arguments; // separated by blanks
    int status;
    bool uploads;
    const char *out;    // what standard output holds: pieces separated by '|'
    const char *err;    // what standard error holds
    const char *script; // an example's file name, or the script's text
};

void PrintTo(const ScriptCase &c, std::ostream *out)
{
    *out << c.name;
}

} // namespace

class HostScriptTest : public ConfigTest
{
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        server = FtpTestServer::startFaulty(faults);
        ASSERT_TRUE(server);
        QDir().mkpath(server->rootPath() + MonthFolder);
        writeIni(CourseSettings);
        // The login is stored unless a test takes it away or stores another.
        ASSERT_TRUE(WriteLoginData(u"biology"_s, server->site(), server->user(), server->password(),
                                   false));
        writeFile(Platform::DosPath::toLinux(u"C:\\Course\\lesson 1.txt"_s), "lesson");
    }

    // Runs the host on a bag naming the month folder and the lesson, with the script (a file
    // or, when it holds a line break, the script's text).
    CliRun run(const QStringList &arguments)
    {
        return runProgram(QStringLiteral(VELLIX_HOST_PROGRAM), withBag(arguments), {},
                          hostEnvironment());
    }

    // The same, in the background.
    void start(QProcess &host, const QStringList &arguments)
    {
        host.setProcessEnvironment(hostEnvironment());
        host.start(QStringLiteral(VELLIX_HOST_PROGRAM), withBag(arguments));
    }

    // Runs a script that may use the helpers cells(win[, list]) (the first cells of a list's
    // rows; lvServer unless named), names (the same joined by blanks) and row(win, name) (the row
    // of lvServer that holds name, from 1); they go on its first line, so that its line numbers
    // stay as written.
    CliRun runScript(const QByteArray &script, const QStringList &arguments = {})
    {
        return run(QStringList{u"--script"_s, scriptFile(script)} + arguments);
    }

    QString scriptFile(const QByteArray &script)
    {
        const QByteArray helpers =
            "function cells(win, list) { return win.rows(list || \"lvServer\").map("
            "function (r) { return r.cells[0]; }); } "
            "function names(win, list) { return cells(win, list).join(\" \"); } "
            "function row(win, name) { return cells(win).indexOf(name) + 1; } ";
        return writeFile(tempPath(u"test.js"_s), helpers + script);
    }

    // Expects each piece in what the host printed.
    static void expectPrinted(const CliRun &result, const QStringList &pieces)
    {
        for (const QString &piece : pieces)
            EXPECT_TRUE(result.out.contains(piece)) << piece.toStdString() << " in\n"
                                                    << result.out.toStdString();
    }

    QStringList withBag(const QStringList &arguments)
    {
        const QString bag =
            writeFile(tempPath(u"host.ini"_s), "[Vellix]\r\nrdir=" + MonthFolder.toUtf8() +
                                                   "\r\ntext=C:\\Course\\lesson 1.txt\r\n");
        return QStringList{u"--bag"_s, bag} + arguments;
    }

    QProcessEnvironment hostEnvironment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"VELLIX_DEMO_SITE"_s, server->rootPath());
        environment.insert(u"TEST_SITE"_s, server->site());
        environment.insert(u"TEST_USER"_s, server->user());
        environment.insert(u"TEST_PASSWORD"_s, server->password());
        return environment;
    }

    QByteArray uploaded() const
    {
        return readFile(server->rootPath() + MonthFolder + u"/lesson 1.txt"_s);
    }

    // What the server plays (a slow line); none unless a suite sets it before SetUp.
    FtpTestServer::Faults faults;
    std::unique_ptr<FtpTestServer> server;
};

// --auto uploads the lesson, picturing each window, and ends with one unless it was announced.
TEST_F(HostScriptTest, AutoUploadsPicturingEveryWindowAndEndsWithOneUnannounced)
{
    const QString shots = tempPath(u"shots"_s);
    const CliRun result = run({u"--auto"_s, u"--shots"_s, shots});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(uploaded(), "lesson");
    EXPECT_EQ(QDir(shots).entryList({u"*.png"_s}, QDir::Files, QDir::Name),
              QStringList({u"01-host.png"_s, u"02-frmMsg.png"_s, u"03-box.png"_s}));

    const QString bag =
        writeFile(tempPath(u"course.ini"_s),
                  "[Vellix]\r\nrdir=/DV/biology\r\ntext=C:\\Course\\lesson 1.txt\r\n");
    const CliRun unannounced = run({u"--bag"_s, bag, u"--auto"_s});
    EXPECT_EQ(unannounced.exitCode, 1);
    EXPECT_TRUE(unannounced.err.contains(u"auto.js:10: failed: the upload was not announced"_s))
        << unannounced.err.toStdString();
}

// Each script runs against the server; what it must print and how the host must end.
// The README's examples end with one when the catalogue does not list what they uploaded.
const ScriptCase ScriptCases[] = {
    {"ReadmeExampleUploadsAndFindsTheLessonInTheCatalogue", true, "--loadfunc", 0, true,
     "the control starts an upload|information box: Upload File|the catalogue lists lesson 1.txt",
     "", "upload.js"},
    // Upload with a folder in the text box opens the local list, where three checked files go up.
    {"FolderExampleCopiesTheCheckedFilesUp", true, "", 0, true,
     "checked: 3 files|the catalogue lists homework 1.txt, homework 2.txt, lesson 1.txt", "",
     "upload-folder.js"},
    // Browse selects the file named in the text box, the chooser uploads it, OK hands it back.
    {"BrowseExampleUploadsFromTheChooser", true, "", 0, false,
     "selected: 30 Bytes|the text box holds C:\\Course\\homework 3.txt|the catalogue lists "
     "homework 3.txt",
     "", "browse.js"},
    // The script's own function object makes the control announce the upload.
    {"LoginDialogFilledByTheScript", false, "", 0, true,
     "focus on user name: true|was successfully uploaded to the webserver.", "",
     "loadfunc(function () {});\n"
     "onWindow(\"frmLogin\", function (win) {\n"
     "    win.key(\"Alt+U\");\n"
     "    log(\"focus on user name: \" + win.find(\"txtUserName\").focus);\n"
     "    win.setText(\"txtSiteName\", env(\"TEST_SITE\"));\n"
     "    win.setText(\"txtUserName\", env(\"TEST_USER\"));\n"
     "    win.setText(\"txtPassword\", env(\"TEST_PASSWORD\"));\n"
     "    win.click(\"cmdOK\");\n"
     "});\n"
     "click(\"cmdUpload\");\n"},
    {"SyntaxErrorEndsWithOne", true, "", 1, false, "", "test.js:2: SyntaxError",
     "log(\"never\");\nlet x = ;\n"},
    // The engine catches what a handler of the control's event throws: the run ends all the same.
    {"ErrorThrownByAnEventHandlerEndsWithOne", true, "", 1, false, "",
     "test.js:1: Error: handler broke",
     "control.clickUpload.connect(function () { throw new Error(\"handler broke\"); });\n"
     "click(\"cmdUpload\");\n"},
    {"TimeoutNamesTheOpenWindow", false, "--timeout 2", 3, false, "",
     "timed out after 2 s with frmLogin open", "click(\"cmdUpload\");\n"},
    {"UncaughtErrorInAHandlerNamesTheChildren", false, "", 1, false, "",
     "test.js:2: Error: frmLogin has no child named txtUser; its named children: ",
     "onWindow(\"frmLogin\", function (win) {\n    win.setText(\"txtUser\", \"x\");\n});\n"
     "click(\"cmdUpload\");\n"},
    // A question answered No, the host window's keys, and errors a script can catch.
    {"QuestionKeysAndClearErrors", true, "", 0, false,
     "question: Folder Doesn't Exist: Yes/No|created: false|"
     "no window is named frmLogon; the windows: frmLogin, frmMsg,|rows; there is no row|"
     "hostToolBar has 2 buttons; there is no button 7|no menu holds an entry named mnuNothing|"
     "names no keys|no such window: null\n"
     "picture focus: true\nafter Space: true\nclosed: true\nafter Return: true\n",
     "", R"js(
control.text = "C:\\New\\";
onBox(function (box) {
    log(box.icon + ": " + box.title + ": " + box.buttons.join("/"));
    return box.icon === "question" ? "No" : undefined;
});
click("cmdUpload");
log("created: " + exists(env("VELLIX_PREFIX") + "/drive_c/New"));
function tell(f) { try { f(); } catch (e) { log(e.message); } }
tell(function () { onWindow("frmLogon", function () {}); });
const host = window("host");
tell(function () { host.select("eventLog", host.rows("eventLog").length + 1); });
tell(function () { host.press("hostToolBar", 7); });
tell(function () { trigger("mnuNothing"); });
tell(function () { host.key("Alt+"); });
log("no such window: " + window("frmServer"));
host.find("txFile").setFocus();
host.key("Tab, Tab, Tab, Tab");
log("picture focus: " + host.find("Image1").focus);
host.key("Space");
log("after Space: " + (window("mnuMenu") !== null));
window("mnuMenu").key("Escape");
log("closed: " + (window("mnuMenu") === null));
host.key("Return");
log("after Return: " + (window("mnuMenu") !== null));
)js"},
};

class HostScriptCaseTest
    : public HostScriptTest
    , public ::testing::WithParamInterface<ScriptCase>
{
};

TEST_P(HostScriptCaseTest, RunsAndEndsAsTheScriptSays)
{
    const ScriptCase &c = GetParam();
    if (!c.loginStored)
        writeIni(CourseSettings);
    const QStringList arguments = QString::fromUtf8(c.arguments).split(u' ', Qt::SkipEmptyParts);
    const QByteArray script(c.script);
    const CliRun result =
        script.contains('\n')
            ? runScript(script, arguments)
            : run(QStringList{u"--script"_s, QStringLiteral(VELLIX_EXAMPLES_DIR "/") + script} +
                  arguments);
    EXPECT_EQ(result.exitCode, c.status) << result.err.toStdString();
    expectPrinted(result, QString::fromUtf8(c.out).split(u'|', Qt::SkipEmptyParts));
    EXPECT_TRUE(result.err.contains(QString::fromUtf8(c.err))) << result.err.toStdString();
    EXPECT_EQ(!uploaded().isEmpty(), c.uploads);
}

INSTANTIATE_TEST_SUITE_P(Scripts, HostScriptCaseTest, ::testing::ValuesIn(ScriptCases),
                         [](const auto &info) { return std::string(info.param.name); });

// The remote list as a teacher uses it: it opens by name, letter case aside, and keeps the order
// a header click chose through a copy down, two renames, a delete and F5, the catalogue rebuilt
// after each change and the copies down renamed along. Delete, F2 and F5 act as their buttons,
// not while a button is disabled: in an empty list, or in the local twin opened from it, which
// selects the remote row's name and has no Rename. Back from the twin, a delete deletes.
TEST_F(HostScriptTest, RemoteListCopiesRenamesDeletesAndHearsItsKeys)
{
    const QString month = server->rootPath() + MonthFolder;
    for (const auto &[name, size] :
         {std::pair{"delta.txt", 2}, std::pair{"Bravo.txt", 1}, std::pair{"Echo.txt", 3},
          std::pair{"alpha.txt", 5}, std::pair{"charlie.txt", 4}})
        writeFile(month + u'/' + QLatin1String(name), QByteArray(size, 's'));
    const CliRun result = runScript(R"js(
const site = env("VELLIX_DEMO_SITE");
const answers = ["foxtrot.txt", "golf.txt"];
onBox(function (box) { return box.icon === "question" ? "Yes" : undefined; });
onInput(function (inp) { log("asked " + inp.title); return answers.shift(); });
onWindow("frmServerUp", function (win) {
    const selected = win.rows("lvServer").filter(function (r) { return r.selected; });
    log("local " + names(win) + ", selected " + selected[0].cells[0]);
    win.select("lvServer", 1);
    win.key("F2");
    writeFile(env("VELLIX_PREFIX") + "/drive_c/Course/Apple.txt", "a");
    win.key("F5");
    log("local " + names(win));
    win.press("Toolbar1", 5);
});
onWindow("frmServer", function (win) {
    log("opened " + names(win) + ", " + win.find("lblvsize").text);
    win.clickHeader("lvServer", 2);
    log("by size " + names(win));
    win.check("lvServer", row(win, "alpha.txt"), true);
    win.check("lvServer", row(win, "Bravo.txt"), true);
    log("checked " + win.find("lblcnt").text);
    win.key("Alt+D");
    win.select("lvServer", row(win, "alpha.txt"));
    win.press("Toolbar1", 2);
    win.select("lvServer", row(win, "Echo.txt"));
    win.key("F2");
    win.check("lvServer", row(win, "charlie.txt"), true);
    win.press("Toolbar1", 3);
    log("deleted " + names(win));
    const catalogue = readFile(site + "/DV/biology/2006_2007/index.htm");
    log("catalogue: foxtrot " + /foxtrot/.test(catalogue) + ", charlie " + /charlie/.test(catalogue));
    writeFile(site + control.rdir + "/hotel.txt", "hotel-hotel");
    win.key("F5");
    log("listed again " + names(win));
    win.press("Toolbar1", 4);
    win.key("Delete");
    log("emptied: " + win.rows("lvServer").length + " rows");
    win.key("Delete");
    win.key("F2");
    writeFile(site + control.rdir + "/Bravo.txt", "b");
    win.key("F5");
    win.select("lvServer", 1);
    win.press("Toolbar1", 6);
    win.check("lvServer", 1, true);
    win.press("Toolbar1", 3);
    log("after the twin " + names(win));
    win.press("Toolbar1", 5);
});
click("cmdDnload");
)js",
                                    {u"--loadfunc"_s});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString() << result.out.toStdString();
    EXPECT_EQ(result.out,
              u"opened alpha.txt Bravo.txt charlie.txt delta.txt Echo.txt, 0.0 meg\n"
              "by size alpha.txt charlie.txt Echo.txt delta.txt Bravo.txt\n"
              "checked 2 files\n"
              "box: Vellixon | Copy Operation is Complete!\n"
              "asked Rename File\n"
              "box: Rename Local File | The file on the website has been renamed successfully.\\n"
              "Do you want to also rename this file\\non your local computer system?\n"
              "box: Rename on Local | File: alpha.txt has been renamed\\non the local computer.\n"
              "asked Rename File\n"
              "box: Rename on Website | File: Echo.txt has been renamed\\non the website.\n"
              "box: Vellixon | Are you sure you want to delete the checked files?\n"
              "box: Vellixon | Delete Operation is Complete!\n"
              "deleted foxtrot.txt golf.txt delta.txt Bravo.txt\n"
              "catalogue: foxtrot true, charlie false\n"
              "listed again hotel.txt foxtrot.txt golf.txt delta.txt Bravo.txt\n"
              "box: Vellixon | Are you sure you want to delete the checked files?\n"
              "box: Vellixon | Delete Operation is Complete!\n"
              "emptied: 0 rows\n"
              "local Bravo.txt foxtrot.txt lesson 1.txt, selected Bravo.txt\n"
              "local Apple.txt Bravo.txt foxtrot.txt lesson 1.txt\n"
              "box: Vellixon | Are you sure you want to delete the checked files?\n"
              "box: Vellixon | Delete Operation is Complete!\n"
              "after the twin \n"_s);
    EXPECT_EQ(QDir(month).entryList(QDir::Files), QStringList());
    const QString course = Platform::DosPath::toLinux(u"C:\\Course"_s);
    EXPECT_EQ(readFile(course + u"/foxtrot.txt"_s) + readFile(course + u"/Bravo.txt"_s), "ssssss");
}

// The local list keeps the order a header click chose through a rename, a delete and F5; in
// it and in the chooser, Delete, F2 and F5 act as their buttons and the refresh do. The edit
// menu opens the selected file, or says what it cannot find. The list's twin comes back to it
// after Exit or its close box, and takes it along when it goes with Alt+X. Enter in the
// chooser's pattern box lists the files of the pattern and leaves the chooser open; the text
// box keeps what it held.
TEST_F(HostScriptTest, LocalListAndChooserHearTheirKeysAndMenus)
{
    const QString editor = writeProgram(tempPath(u"editor"_s));
    setEnvironment("VISUAL", QFile::encodeName(editor));
    for (const auto &[name, size] :
         {std::pair{"Zebra.txt", 1}, std::pair{"notes.txt", 9}, std::pair{"Apple.txt", 3}})
        writeFile(Platform::DosPath::toLinux(u"C:\\Course\\"_s + QLatin1String(name)),
                  QByteArray(size, 'l'));
    const CliRun result = runScript(R"js(
const course = env("VELLIX_PREFIX") + "/drive_c/Course/";
const answers = ["yoyo.txt", "zulu.txt"];
onBox(function (box) { return box.icon === "question" ? "Yes" : undefined; });
onInput(function (inp) { log("asked " + inp.title); return answers.shift(); });
const closings = ["Exit", "close box", "Alt+X"];
let shown = 0;
onWindow("frmServer", function (win) {
    const how = closings[shown++];
    if (how === "Exit") win.press("Toolbar1", 5);
    else if (how === "close box") win.close();
    else win.key("Alt+X");
});
onWindow("frmServerUp", function (win) {
    log("opened " + names(win));
    win.clickHeader("lvServer", 2);
    win.select("lvServer", row(win, "Zebra.txt"));
    win.key("F2");
    win.check("lvServer", row(win, "Apple.txt"), true);
    win.key("Delete");
    log("deleted " + names(win));
    writeFile(course + "kilo.txt", "twenty bytes of kilo");
    win.key("F5");
    log("listed again " + names(win));
    win.select("lvServer", row(win, "lesson 1.txt"));
    trigger("mnunote");
    trigger("mnuWord");
    for (const how of closings) {
        win.press("Toolbar1", 6);
        log(how + ": local list " + (window("frmServerUp") ? "stays" : "closed"));
        if (!window("frmServerUp")) break;
    }
});
onWindow("frmDir", function (win) {
    win.choose("List2", "yoyo.txt");
    win.key("F2");
    win.choose("List2", "kilo.txt");
    win.key("Delete");
    writeFile(course + "mike.txt", "m");
    win.choose("List2", "notes.txt");
    win.key("F5");
    log("chooser " + cells(win, "List2").sort().join(" ") + ", selected " + win.find("lblSize").text);
    writeFile(course + "notes.pdf", "pdf");
    win.setText("cbExt", "*.pdf");
    win.key("Return");
    log("open " + (window("frmDir") !== null) + ", files " + win.find("List2").count);
    win.close();
});
control.text = "C:\\Course\\";
click("cmdUpload");
control.text = "C:\\Course\\notes.txt";
click("cmdBrowse");
log("text " + control.text);
)js");
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString() << result.out.toStdString();
    EXPECT_EQ(result.out,
              u"opened Apple.txt lesson 1.txt notes.txt Zebra.txt\n"
              "asked Rename a file\n"
              "box: Rename file | File: Zebra.txt\\nhas been successfully renamed.\n"
              "box: Vellixon | Are you sure you want to delete the checked files?\n"
              "box: Vellixon | Delete Operation is Complete!\n"
              "deleted notes.txt lesson 1.txt yoyo.txt\n"
              "listed again kilo.txt notes.txt lesson 1.txt yoyo.txt\n"
              "box: Path Not Found | Sorry, could not find Word\n"
              "Exit: local list stays\nclose box: local list stays\nAlt+X: local list closed\n"
              "asked Rename a file\n"
              "box: Rename File | Filename on local computer\\nhas been renamed.\n"
              "box: Delete File | Are you sure you want to delete file,\\n\"kilo.txt\"\\nfrom "
              "your computer?\n"
              "chooser lesson 1.txt mike.txt notes.txt zulu.txt, selected 9 Bytes\n"
              "open true, files 1\n"
              "text C:\\Course\\notes.txt\n"_s);
    EXPECT_EQ(arguments(editor),
              QStringList{Platform::DosPath::toLinux(u"C:\\Course\\lesson 1.txt"_s)});
}

// Cancel in the status window, clicked while it waits on a server that never answers, ends the
// connect as failed: the command stops, and the stored login stays.
TEST_F(HostScriptTest, CancelWhileConnectingKeepsTheLogin)
{
    SilentFtpServer silent;
    ASSERT_TRUE(silent.isListening());
    ASSERT_TRUE(
        WriteLoginData(u"biology"_s, silent.site(), server->user(), server->password(), false));
    const CliRun result = runScript(R"js(
onWindow("frmMsg", function (win) {
    after(1500, function () { win.click("cmdCancel"); });
});
click("cmdUpload");
log("status window open: " + (window("frmMsg") !== null));
)js",
                                    {u"--timeout"_s, u"20"_s});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString() << result.out.toStdString();
    EXPECT_EQ(result.out, u"box: Vellixon | Connection Failed.\\nConnecting was cancelled.\n"
                          "status window open: false\n"_s);
    EXPECT_EQ(silent.connectionCount(), 1);
    EXPECT_EQ(LoginStore().read(ConfigFile(), u"biology"_s, u"ftpPwd"_s), server->password());
}

// A page viewed from the remote list shows as it does on the site: it comes under its own name
// with its companion folder, so its picture loads and its style sheet applies. The viewer is
// met, and pictured, once the page shows. The list is of the month the control names: a host
// that points the control at another month between two commands has the open session enter
// that month, and nothing takes the earlier month for the login being wrong.
TEST_F(HostScriptTest, ServerPageOfAnotherMonthShowsInTheViewerAsOnTheSite)
{
    const QString may = u"/DV/biology/2006_2007/May_2007"_s;
    QDir().mkpath(server->rootPath() + may);
    const QString month = server->rootPath() + MonthFolder;
    writeFile(month + u"/lesson.htm"_s,
              "<html><head><link rel=stylesheet href=\"lesson_files/style.css\"><script>\n"
              "addEventListener(\"load\", function () {\n"
              "    document.title = \"picture \" + document.images[0].naturalWidth +\n"
              "        \", background \" + getComputedStyle(document.body).backgroundColor;\n"
              "});\n"
              "</script></head><body><img src=\"lesson_files/picture.png\"></body></html>");
    writeFile(month + u"/lesson_files/style.css"_s,
              "body { background: rgb(0, 128, 0); margin: 0 }");
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(month + u"/lesson_files/picture.png"_s));
    const QString shots = tempPath(u"shots"_s);
    const CliRun result = runScript(R"js(
control.rdir = "/DV/biology/2006_2007/May_2007";
click("cmdUpload");
control.rdir = "/DV/biology/2006_2007/March_2007";
onWindow("frmView", function (win) {
    log("viewing " + win.caption.replace(/^.*\\/, "") + ": " + win.find("wb1").title);
    win.close();
});
onWindow("frmServer", function (win) {
    log("listed " + names(win));
    win.select("lvServer", row(win, "lesson.htm"));
    trigger("mnuExplorer");
    win.press("Toolbar1", 5);
});
click("cmdDnload");
)js",
                                    {u"--shots"_s, shots});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, u"listed lesson.htm\n"
                          "viewing lesson.htm: picture 40, background rgb(0, 128, 0)\n"_s);
    EXPECT_EQ(readFile(server->rootPath() + may + u"/lesson 1.txt"_s), "lesson");
    const QStringList views = QDir(shots).entryList({u"*-frmView.png"_s});
    ASSERT_EQ(views.size(), 1) << QDir(shots).entryList().join(u' ').toStdString();
    const QImage shot(QDir(shots).filePath(views.first()));
    EXPECT_EQ(shot.pixelColor(10, 10), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(shot.width() - 10, shot.height() - 10), QColor(0, 128, 0));
}

// Browse opens the chooser on the text box's folder in secure and batch mode too, where a
// server that does not answer goes unnoticed: only a plain session (the chooser scenarios)
// makes the server ready for an upload from there. Exit and the close box leave the text box
// as it was, and the close box does not stop the next Browse.
TEST_F(HostScriptTest, BrowseLeavesTheServerAloneInSecureAndBatchMode)
{
    const struct
    {
        const char *mode;
        const char *settings;
        bool secure;
    } modes[] = {
        {"secure", "", true},
        {"batch", "batch=1\r\n", false},
    };
    for (const auto &mode : modes) {
        SCOPED_TRACE(mode.mode);
        writeIni(CourseSettings + "lldir=C:\\Course\\\r\n" + mode.settings);
        ASSERT_TRUE(WriteLoginData(u"biology"_s, u"127.0.0.1:1"_s, server->user(),
                                   server->password(), mode.secure));
        const CliRun result = runScript(R"js(
let shown = 0;
onWindow("frmDir", function (win) {
    log("chooser in " + win.find("lblFile").text + ", lock " + win.find("imglock").visible);
    if (++shown === 1) win.click("cmdCancel"); else win.close();
});
click("cmdBrowse");
log("text " + control.text);
click("cmdBrowse");
log("text " + control.text);
)js");
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString() << result.out.toStdString();
        EXPECT_EQ(
            result.out,
            u"chooser in C:\\Course\\, lock false\ntext C:\\Course\\lesson 1.txt\n"_s.repeated(2));
    }
}

// The web space example: the five levels of the site measured through the window, each total
// the sum of the files below the level's folder on disk.
TEST_F(HostScriptTest, SpaceExampleReadsTheSizesOfTheFilesOnDisk)
{
    const QString site = server->rootPath();
    writeFile(site + u"/top.txt"_s, QByteArray(31, 's'));
    writeFile(site + u"/DV/other/notes.txt"_s, QByteArray(99000, 'o'));
    writeFile(site + u"/DV/biology/outline.txt"_s, QByteArray(700, 'c'));
    writeFile(site + u"/DV/biology/2006_2007/index.htm"_s, QByteArray(1500, 'a'));
    writeFile(site + u"/DV/biology/2006_2007/February_2007/leaves.htm"_s, QByteArray(20, 'f'));
    writeFile(site + MonthFolder + u"/worksheet 1.txt"_s, QByteArray(4321, 'm'));
    writeFile(site + MonthFolder + u"/quiz.txt"_s, QByteArray(17, 'q'));

    const CliRun result = run({u"--script"_s, QStringLiteral(VELLIX_EXAMPLES_DIR "/space.js")});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString() << result.out.toStdString();
    // Each level's total is the sum of the files written below its folder.
    EXPECT_EQ(result.out, u"Site: 0.1 MB (105,589 bytes)\n"
                          "Dovrelle: 0.1 MB (105,558 bytes)\n"
                          "biology: 6.6 KB (6,558 bytes)\n"
                          "2006_2007: 5.9 KB (5,858 bytes)\n"
                          "March_2007: 4.3 KB (4,338 bytes)\n"_s);
}

// A transfer that takes longer than a second shows the transfer window, whichever window or
// command started it; its Cancel, Escape and close box stop the transfer as the window that
// started it stops it, and the window does not come back.
struct TransferCase
{
    const char *name;
    bool upload;
    QByteArray start;  // the script's lines that start the transfer
    QByteArray cancel; // how the transfer window is answered
    QStringList out;   // what standard output holds besides the transfer window's lines
};

void PrintTo(const TransferCase &c, std::ostream *out)
{
    *out << c.name;
}

class HostTransferTest
    : public HostScriptTest
    , public testing::WithParamInterface<TransferCase>
{
protected:
    HostTransferTest()
    {
        // A slow line: the transfer runs for many seconds.
        faults.rate = 1 << 20;
    }
};

// A list window's handler that checks big.bin and copies it with the Alt key given.
QByteArray copyBigFile(const QByteArray &list, const QByteArray &key)
{
    return QByteArray(R"js(
onWindow("LIST", function (win) {
    win.check("lvServer", row(win, "big.bin"), true);
    win.key("KEY");
    log("list " + (window("LIST") ? "open" : "closed"));
});
)js")
        .replace("LIST", list)
        .replace("KEY", key);
}

// Starts the chooser's upload of big.bin and logs whether the chooser is open afterwards.
const QByteArray uploadFromTheChooser = R"js(control.text = "C:\\Course\\big.bin";
onWindow("frmDir", function (win) {
    win.click("imgUp");
    log("chooser " + (window("frmDir") ? "open" : "closed"));
});
click("cmdBrowse");)js";

const TransferCase TransferCases[] = {
    {"CopyDownCancelledInTheWindow",
     false,
     copyBigFile("frmServer", "Alt+D") + R"js(click("cmdDnload");)js",
     R"js(win.click("cmdCancel");)js",
     {u"box: Download File | File, 'big.bin', was cancelled by the user.\n"_s, u"list closed\n"_s}},
    {"CopyUpCancelledByEscape",
     true,
     R"js(control.text = "C:\\Course\\";)js" + copyBigFile("frmServerUp", "Alt+U") +
         R"js(click("cmdUpload");)js",
     R"js(win.key("Escape");)js",
     {u"box: Upload File | File 'big.bin', upload was cancelled by the user.\n"_s,
      u"list closed\n"_s}},
    {"ChooserUploadCancelledByTheCloseBox",
     true,
     uploadFromTheChooser,
     R"js(win.close();)js",
     {u"box: Cancel File Upload | File Upload was cancelled by the user.\n"_s,
      u"chooser closed\n"_s}},
    {"ChooserUploadCancelledByEscapeInTheChooser",
     true,
     uploadFromTheChooser,
     R"js(window("frmDir").key("Escape");)js",
     {u"box: Cancel File Upload | File Upload was cancelled by the user.\n"_s,
      u"chooser closed\n"_s}},
    {"UploadCommandCancelledInTheWindow",
     true,
     R"js(control.text = "C:\\Course\\big.bin";
click("cmdUpload");)js",
     R"js(win.click("cmdCancel");)js",
     {u"box: Cancel File Upload | File Upload was cancelled by the user.\n"_s}},
};

TEST_P(HostTransferTest, TheTransferWindowShowsAndCancels)
{
    const TransferCase &c = GetParam();
    const QString local = Platform::DosPath::toLinux(u"C:\\Course\\big.bin"_s);
    const QString remote = server->rootPath() + MonthFolder + u"/big.bin"_s;
    // More than the system's buffers take at once, so that an upload is still sending.
    writeFile(c.upload ? local : remote, QByteArray(16 << 20, 'b'));
    const QByteArray watchTheWindow = QByteArray(R"js(
let shown = 0;
onWindow("frmTransfer", function (win) {
    ++shown;
    const text = win.find("lblProgress").text;
    log(win.caption + ": " + win.find("lblFile").text);
    log("units " + (/^[0-9.,]+ K?M?G?B of [0-9.,]+ MB /.test(text) ? "MB" : text));
    CANCEL
});
)js")
                                          .replace("CANCEL", c.cancel);
    const CliRun result =
        runScript(watchTheWindow + c.start + "\nlog(\"transfer windows shown: \" + shown);\n");
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString() << result.out.toStdString();
    const QString window = c.upload ? u"Upload File: Uploading \"big.bin\"\n"_s
                                    : u"Download File: Downloading \"big.bin\"\n"_s;
    expectPrinted(result,
                  QStringList{window, u"units MB\n"_s, u"transfer windows shown: 1\n"_s} + c.out);
    EXPECT_FALSE(result.out.contains(u"failed to upload"_s)) << result.out.toStdString();
    // Nothing half copied under the file's name.
    EXPECT_FALSE(QFile::exists(c.upload ? remote : local));
}

INSTANTIATE_TEST_SUITE_P(Transfers, HostTransferTest, ::testing::ValuesIn(TransferCases),
                         [](const auto &info) { return std::string(info.param.name); });

// A run that ends in the middle of a download, which never comes back to give the new version
// up, leaves nothing of it on the disk: by its time running out, or by a signal, as when the
// desktop session closes.
class HostSlowLineTest : public HostScriptTest
{
protected:
    HostSlowLineTest() { faults.rate = 100000; }
};

TEST_F(HostSlowLineTest, ARunEndedDuringADownloadLeavesNoTemporaryFile)
{
    // Under the size whose cut download is kept to be continued.
    writeFile(server->rootPath() + MonthFolder + u"/notes.bin"_s, QByteArray(900000, 'n'));
    const QByteArray script = R"js(
onWindow("frmServer", function (win) {
    win.check("lvServer", row(win, "notes.bin"), true);
    win.key("Alt+D");
});
click("cmdDnload");
)js";
    const QDir course(Platform::DosPath::toLinux(u"C:\\Course"_s));
    const auto files = [&course] { return course.entryList(QDir::Files | QDir::Hidden); };
    const CliRun result = runScript(script, {u"--timeout"_s, u"2"_s});
    ASSERT_EQ(result.exitCode, 3) << result.err.toStdString() << result.out.toStdString();
    EXPECT_EQ(files(), QStringList{u"lesson 1.txt"_s});

    QProcess host;
    start(host, {u"--script"_s, scriptFile(script)});
    ASSERT_TRUE(QTest::qWaitFor([&] { return files().size() == 2; }, 30000)) << "no download began";
    ::kill(pid_t(host.processId()), SIGTERM);
    ASSERT_TRUE(host.waitForFinished(10000));
    EXPECT_EQ(host.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(files(), QStringList{u"lesson 1.txt"_s});
}
