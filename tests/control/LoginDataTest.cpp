#include "ControlTest.h"
#include "support/ConfigTest.h"
#include "support/WindowWatch.h"

#include "control/LoginData.h"
#include "control/Vellix.h"
#include "control/frmLogin.h"
#include "course/ConfigFile.h"
#include "course/CourseSection.h"
#include "course/LoginStore.h"
#include "course/SharedState.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;
using Platform::Ui;

namespace {

const QString Course = u"bio"_s;
const QString CourseDir = u"/DV/bio/2007/May_2007"_s;

void typeInto(frmLogin &login, const char *box, const QString &text)
{
    auto *field = login.findChild<QLineEdit *>(QLatin1String(box));
    // Typed as one insertion: key clicks cannot carry characters outside ASCII.
    field->selectAll();
    field->insert(text);
}

void click(frmLogin &login, const char *button)
{
    QTest::mouseClick(login.findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
}

} // namespace

class LoginDataTest : public ConfigTest
{
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        writeIni("[bio]\r\nschool=Hill\r\n");
    }

    void TearDown() override
    {
        m_watch.reset();
        ConfigTest::TearDown();
    }

    // What the user does each time the login dialog shows, from now on.
    void whenLoginShows(std::function<void(frmLogin &)> act)
    {
        m_watch = whenWindowShows(u"frmLogin"_s, [this, act = std::move(act)](QWidget &login) {
            ++m_shown;
            act(static_cast<frmLogin &>(login));
        });
    }

    // Fills the dialog and clicks OK or Cancel.
    void answerLogin(const QString &site, const QString &user, const QString &password, bool secure,
                     bool ok = true)
    {
        whenLoginShows([=](frmLogin &login) {
            typeInto(login, "txtSiteName", site);
            typeInto(login, "txtUserName", user);
            typeInto(login, "txtPassword", password);
            login.findChild<QCheckBox *>(u"chkSecure"_s)->setChecked(secure);
            click(login, ok ? "cmdOK" : "cmdCancel");
        });
    }

    // The course's stored login values, deciphered: site, user, password, secure.
    static QStringList storedLogin(const QString &section = Course)
    {
        const ConfigFile file;
        const LoginStore login;
        QStringList values;
        for (const QString &key : {u"ftpSite"_s, u"ftpUsid"_s, u"ftpPwd"_s, u"secure"_s})
            values << login.read(file, section, key);
        return values;
    }

    // The state a command has before it asks for login data, with nothing told yet.
    void prepareCommand(const QString &remoteDir)
    {
        SharedState::reset();
        ui().clear();
        Shared().RemoteDir = remoteDir;
        ReadControlCourseConfig(Course);
        ResolveCourseFolder();
    }

    int m_shown = 0;

private:
    std::unique_ptr<WindowWatch> m_watch;
};

TEST_F(LoginDataTest, HostLoginDataGivesWayToTheStoredOne)
{
    for (const QString &key : {u"ftpSite"_s, u"ftpUsid"_s, u"ftpPwd"_s})
        ASSERT_TRUE(LoginStore().write(Course, key, u"stored "_s + key));
    Shared().LoggedIn = true;
    TakeHostLoginData(CourseDir, u"host.site"_s, u"hostuser"_s, u"hostpw"_s);
    const SharedState &s = Shared();
    EXPECT_FALSE(s.LoggedIn);
    EXPECT_EQ(QStringList({s.RemoteDir, s.SiteName, s.UserId, s.Password}),
              QStringList({CourseDir, u"host.site"_s, u"hostuser"_s, u"hostpw"_s}));
    ReadControlCourseConfig(Course);
    EXPECT_EQ(QStringList({s.SiteName, s.UserId, s.Password}),
              QStringList({u"stored ftpSite"_s, u"stored ftpUsid"_s, u"stored ftpPwd"_s}));
}

TEST_F(LoginDataTest, DialogOnlyWhenLoginDataIsMissing)
{
    struct Case
    {
        QString site, user, password;
        bool loggedIn, connectionFailed;
    } const cases[] = {
        {u"ftp.a.org"_s, u"anna"_s, u"pw"_s, false, false},
        {u""_s, u""_s, u""_s, true, false},
        {u""_s, u"anna"_s, u""_s, false, true},
    };
    whenLoginShows([](frmLogin &login) { click(login, "cmdCancel"); });
    for (const Case &c : cases) {
        SharedState::reset();
        Shared().SiteName = c.site;
        Shared().UserId = c.user;
        Shared().Password = c.password;
        Shared().LoggedIn = c.loggedIn;
        Shared().ConnectionFailed = c.connectionFailed;
        ASSERT_TRUE(LoadLoginData()) << c.site.toStdString();
        const SharedState &s = Shared();
        EXPECT_EQ(QStringList({s.Host, s.RemoteRoot, s.UploadFilter, s.AllowedExtensions.value(0),
                               QString::number(s.CapacityLimit)}),
                  QStringList({s.SiteName, u"/"_s, u"*.*;"_s, u"*.*"_s, u"999999"_s}));
        EXPECT_TRUE(s.LoggedIn);
    }
    EXPECT_EQ(m_shown, 0);
    EXPECT_TRUE(ui().boxes().isEmpty());
}

// What the dialog gives is used, and stored with the site path. What could not be read back is
// refused with the reason; a file that cannot be written keeps the login for this session only;
// a file open to others is made private. Each is told once: the next command, logged in, neither
// asks nor tells again. A cancelled dialog (every way out but OK, the dialog's own test) ends
// with nothing used or stored.
TEST_F(LoginDataTest, EnteredLoginIsUsedAndStoredOrRefusedWithTheReason)
{
    const QString pub = u"/pub/DV/bio/2007/May"_s;
    const QString site = u"ftp.a.org"_s;
    const QString pw = u"p=w; ä"_s;
    const QString notSaved = u"The login data could not be saved.\r\n"_s;
    const QString madePrivate = u"C:\\windows\\Dovrelle.ini could be read by other users.\r\n"
                                "It holds your login data, so it is now readable by you only."_s;
    const QString notRemembered = u"The login data cannot be saved in C:\\windows\\Dovrelle.ini."
                                  "\r\nIt is used for this session but will not be remembered."_s;
    const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    const auto openToOthers = [&] {
        QFile::setPermissions(iniPath(), ownerOnly | QFile::ReadGroup | QFile::ReadOther);
    };
    // A way the file cannot be written that holds for every user, root included.
    const auto iniIsAFolder = [] {
        QFile::remove(iniPath());
        QDir().mkpath(iniPath());
    };
    struct Case
    {
        QString remoteDir, typedSite, password;
        QString stored; // the site as stored; empty: nothing stored
        QString told;   // the one box; empty: none
        std::function<void()> prepare = [] {};
        bool cancel = false;
    } const cases[] = {
        {CourseDir, site, pw, site, {}},
        {pub, site, pw, u"ftp.a.org/pub"_s, {}},
        {u"/www/site/bio/2007/May"_s, site, pw, u"ftp.a.org/www/site"_s, {}},
        {u"bio/2007/May"_s, site, pw, site, {}},
        {CourseDir, u"ftp.a.org/sub/x"_s, pw, u"ftp.a.org/sub/x"_s, {}},
        {CourseDir, u"typed.site"_s, pw, {}, {}, [] {}, true}, // cancelled
        {pub, site, QString(300, u'x'), {}, notSaved + u"The password is too long to be saved."_s},
        // Stored with its path "/pub": one byte more than a read gives back.
        {pub, QString(251, u's'), pw, {}, notSaved + u"The site is too long to be saved."_s},
        {CourseDir, site, pw, site, madePrivate, openToOthers},
        {CourseDir, site, pw, {}, notRemembered, iniIsAFolder},
    };
    const QByteArray before = readFile(iniPath());
    for (const Case &c : cases) {
        SCOPED_TRACE((c.remoteDir + u' ' + c.typedSite.left(20) + u' ' + c.told).toStdString());
        c.prepare();
        prepareCommand(c.remoteDir);
        answerLogin(c.typedSite, u"anna"_s, c.password, true, !c.cancel);
        const bool used = !c.cancel && !c.told.startsWith(notSaved);
        ASSERT_EQ(LoadLoginData(), used);
        // Logged in now: the next command neither asks nor tells again.
        if (used) {
            ASSERT_TRUE(LoadLoginData());
        }
        if (c.told.isEmpty())
            EXPECT_TRUE(ui().boxes().isEmpty());
        else
            expectOnlyBox(ui(), c.told, used ? Ui::Icon::Exclamation : Ui::Icon::Critical,
                          u"Login"_s);
        const SharedState &s = Shared();
        if (!used) {
            EXPECT_EQ(readFile(iniPath()), before);
            EXPECT_FALSE(s.LoggedIn || s.LoginCancelled);
            EXPECT_EQ(s.SiteName + s.UserId, QString());
            continue;
        }
        EXPECT_EQ(QStringList({s.SiteName, s.Host, s.UserId, s.Password}),
                  QStringList({site, site, u"anna"_s, c.password}));
        EXPECT_TRUE(s.LoggedIn && s.Secure && !s.LoginCancelled);
        if (c.stored.isEmpty())
            continue;
        EXPECT_EQ(storedLogin(), QStringList({c.stored, u"anna"_s, c.password, u"1"_s}));
        // The permissions of the user who reads them (root) do not count.
        EXPECT_EQ(QFile::permissions(iniPath()) & ~(QFile::ReadUser | QFile::WriteUser), ownerOnly);
        writeIni(before);
    }
    EXPECT_EQ(m_shown, int(std::size(cases)));
}

// The menu entry resets the course the control names, and says so.
TEST_F(LoginDataTest, ResetClearsOnlyTheStoredLogin)
{
    Vellix control;
    control.setRdir(CourseDir);
    writeIni("[Other]\r\nftpPwd=keep\r\n[bio]\r\nschool=Hill\r\n");
    for (const QString &key : {u"ftpSite"_s, u"ftpUsid"_s, u"ftpPwd"_s, u"secure"_s})
        ASSERT_TRUE(LoginStore().write(Course, key, u"1"_s));
    Shared().RemoteDir = u"/DV/other/2007/May"_s;
    Shared().Password = u"pw"_s;
    Shared().LoggedIn = Shared().ConnectionFailed = true;

    control.findChild<QAction *>(u"mnuReset"_s)->trigger();
    EXPECT_EQ(storedLogin(), QStringList({{}, {}, {}, u"1"_s}));
    const ConfigFile file;
    EXPECT_EQ(file.text(u"Other"_s, u"ftpPwd"_s), u"keep"_s);
    EXPECT_TRUE(file.bytes(Course, u"ftpPwd"_s).isEmpty());
    EXPECT_EQ(Shared().Password, QString());
    EXPECT_FALSE(Shared().LoggedIn || Shared().ConnectionFailed);
    expectOnlyBox(ui(), u"Login Data has been reset."_s, Ui::Icon::Information,
                  u"Reset Login Data"_s);

    // A file that cannot be written keeps the login, and the box says so.
    ui().clear();
    QFile::remove(iniPath());
    ASSERT_TRUE(QDir().mkpath(iniPath()));
    control.findChild<QAction *>(u"mnuReset"_s)->trigger();
    expectOnlyBox(ui(),
                  u"Login Data could not be reset.\r\n"_s + ConfigFile::dosPath() +
                      u" cannot be written."_s,
                  Ui::Icon::Critical, u"Reset Login Data"_s);
}

// A command or the reset called while another command waits in its login dialog, as a host's
// script can call them, is refused, also on another control of the host: it would work on the
// session and the login data the first one is using. A host that lets the control, or the form
// that holds it, go meanwhile has them deleted once the command has ended, not under it.
TEST_F(LoginDataTest, WhileACommandWaitsOthersAreRefusedAndItsControlStays)
{
    Vellix beside;
    beside.setRdir(CourseDir);
    for (const bool wholeForm : {false, true}) {
        auto *form = new QWidget;
        const QPointer<Vellix> control(new Vellix(form));
        control->setRdir(CourseDir);
        m_shown = 0;
        whenLoginShows([&](frmLogin &login) {
            for (Vellix *each : {control.data(), &beside}) {
                if (m_shown != 1)
                    continue;
                for (const QString &button : {u"cmdUpload"_s, u"cmdDnload"_s, u"cmdBrowse"_s})
                    each->findChild<QPushButton *>(button)->click();
                for (const QString &entry : {u"mnuSpace"_s, u"mnuReset"_s})
                    each->findChild<QAction *>(entry)->trigger();
            }
            (wholeForm ? static_cast<QObject *>(form) : control.data())->deleteLater();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            click(login, "cmdCancel");
        });
        control->findChild<QPushButton *>(u"cmdDnload"_s)->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(m_shown, 1);
        EXPECT_TRUE(ui().boxes().isEmpty());
        EXPECT_FALSE(control) << wholeForm;
        if (!wholeForm)
            delete form;
    }
}
