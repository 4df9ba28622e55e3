#include "ControlTest.h"

#include "course/CipherComponent.h"
#include "course/SharedState.h"
#include "platform/IniFile.h"
#include "platform/IniPropertyBag.h"
#include "platform/Registry.h"
#include "transport/cFTP.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>

namespace {

const QString Section = QStringLiteral("Vellix");
const QString AppPaths =
    QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Dovrelle.exe");

} // namespace

class PersistenceTest : public ControlTest
{
protected:
    QString bagPath() const { return tempPath(QStringLiteral("host.ini")); }

    void setAll(Vellix &target, const QVariantMap &values)
    {
        target.setAmbient({false, {}});
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            target.setProperty(it.key().toLatin1(), it.value());
    }

    void save()
    {
        Platform::IniPropertyBag bag(bagPath(), Section);
        control->WriteProperties(bag);
        ASSERT_TRUE(bag.save());
    }
};

TEST_F(PersistenceTest, WritesTheKeysInOrderAndReadsThemBackAsTheyWere)
{
    const QVariantMap values = {
        {QStringLiteral("rdir"), QStringLiteral("/DV/smith/algebra/May_2007")},
        {QStringLiteral("text"), QStringLiteral("h:\\Courses\\week 1.doc")},
        {QStringLiteral("userid"), QStringLiteral("smith")},
        {QStringLiteral("password"), QStringLiteral(" p=w;\"x\" ")},
        {QStringLiteral("sitename"), QStringLiteral("ftp.example.org/www")},
        {QStringLiteral("cap"), 2147483647},
        {QStringLiteral("dv"), QVariant::fromValue(qint16(-32768))},
        {QStringLiteral("filter"), QString()},
    };
    setAll(*control, values);
    save();
    EXPECT_EQ(Platform::IniFile(bagPath()).keys(Section).join(QLatin1Char(',')),
              QStringLiteral("rdir,text,userid,password,sitename,cap,dv,filter"));

    SharedState::reset();
    Vellix restored;
    restored.setAmbient({false, {}});
    QSignalSpy changed(&restored, &Vellix::propertyChanged);
    Platform::IniPropertyBag bag(bagPath(), Section);
    restored.ReadProperties(bag);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        EXPECT_EQ(restored.property(it.key().toLatin1()), it.value()) << it.key().toStdString();
    // Reading restores the fields only: no rules, no change marks, no shared copies.
    EXPECT_EQ(changed.size(), 0);
    EXPECT_TRUE(ui().boxes().isEmpty());
    EXPECT_TRUE(Shared().UserId.isEmpty() && Shared().Password.isEmpty());
    EXPECT_EQ(Shared().DvValue, 0);
}

TEST_F(PersistenceTest, DefaultsAreNotStoredAndMissingKeysReadAsDefaults)
{
    setAll(*control, {{QStringLiteral("rdir"), QStringLiteral("/DV/a/b/c")},
                      {QStringLiteral("cap"), 40},
                      {QStringLiteral("filter"), QStringLiteral("doc")}});
    save();
    setAll(*control, {{QStringLiteral("cap"), 0}, {QStringLiteral("filter"), QStringLiteral("0")}});
    save();
    EXPECT_EQ(Platform::IniFile(bagPath()).keys(Section), QStringList{QStringLiteral("rdir")});

    // A bag without "filter" and with a capacity that is no number.
    writeFile(bagPath(), "[Vellix]\r\nrdir=/DV/a/b/c\r\ncap=lots\r\ndv=2\r\n");
    Platform::IniPropertyBag bag(bagPath(), Section);
    control->ReadProperties(bag);
    EXPECT_EQ(control->filter(), QStringLiteral("0"));
    EXPECT_EQ(control->cap(), 0);
    EXPECT_EQ(control->dv(), 2);
    EXPECT_EQ(control->rdir(), QStringLiteral("/DV/a/b/c"));
}

TEST_F(PersistenceTest, InitPropertiesResetsTheFieldsAndFindsTheLocalFolders)
{
    struct Case
    {
        QString registered; // the host product's App Paths entry; empty: none
        QString hostFolder;
        QString hostDrive;
    };
    const Case cases[] = {
        {QStringLiteral("C:\\Program Files\\Dovrelle\\Dovrelle.exe"),
         QStringLiteral("C:\\Program Files\\Dovrelle\\"), QStringLiteral("C")},
        {QStringLiteral("H:\\Apps\\Dovrelle.exe"), QStringLiteral("H:\\Apps\\"),
         QStringLiteral("H")},
        // Not registered: the current folder and the Windows drive stand in.
        {QString(), QStringLiteral("H:\\work\\"), QStringLiteral("C")},
    };
    const QString savedCurrent = QDir::currentPath();
    QDir().mkpath(homePath(QStringLiteral("work")));
    ASSERT_TRUE(QDir::setCurrent(homePath(QStringLiteral("work"))));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.registered.toStdString());
        QFile::remove(Platform::Registry::defaultPath());
        if (!c.registered.isEmpty()) {
            Platform::Registry().setString(Platform::RootKey::LocalMachine, AppPaths, QString(),
                                           c.registered);
        }
        setAll(*control, {{QStringLiteral("rdir"), QStringLiteral("/DV/a/b/c")},
                          {QStringLiteral("cap"), 9},
                          {QStringLiteral("filter"), QStringLiteral("doc")}});
        control->setAmbient({true, QColor(12, 34, 56)});

        control->InitProperties();

        EXPECT_EQ(Shared().HostFolder, c.hostFolder);
        EXPECT_EQ(Shared().HostDrive.toUpper(), c.hostDrive);
        EXPECT_EQ(Shared().BrowserPath.toLower(),
                  QStringLiteral("c:\\program files\\internet explorer\\iexplore.exe"));
        EXPECT_EQ(Shared().WindowsDrive.toUpper(), QStringLiteral("C"));
        EXPECT_EQ(control->palette().color(QPalette::Window), QColor(12, 34, 56));
        EXPECT_TRUE(control->rdir().isEmpty());
        EXPECT_EQ(control->cap(), 0);
        EXPECT_EQ(control->filter(), QStringLiteral("0"));
    }
    QDir::setCurrent(savedCurrent);
}

TEST_F(PersistenceTest, CreationRenewsTheCipherAndClientAndDestructionReleasesThem)
{
    Platform::Registry().setString(Platform::RootKey::LocalMachine, AppPaths, QString(),
                                   QStringLiteral("C:\\Dovrelle\\Dovrelle.exe"));
    Shared().Cipher = std::make_unique<CipherComponent>(); // stands for an earlier cipher
    auto earlierClient = std::make_unique<cFTP>();
    earlierClient->setSecure(true);
    Shared().FtpClient = std::move(earlierClient);
    Shared().HomeDir = QStringLiteral("/home/smith");

    auto second = std::make_unique<Vellix>();
    EXPECT_TRUE(Shared().Cipher && !dynamic_cast<CipherComponent *>(Shared().Cipher.get()));
    ASSERT_TRUE(Shared().FtpClient);
    EXPECT_FALSE(Shared().FtpClient->secure());
    EXPECT_EQ(Shared().HostFolder, QStringLiteral("C:\\Dovrelle\\"));
    // A control restored from a bag never runs InitProperties but still knows its drive.
    EXPECT_EQ(Shared().HostDrive, QStringLiteral("C"));
    EXPECT_TRUE(Shared().HomeDir.isEmpty());

    Shared().Component = std::make_unique<CipherComponent>();
    second.reset();
    EXPECT_FALSE(Shared().Cipher);
    EXPECT_FALSE(Shared().Component);
    EXPECT_FALSE(Shared().FtpClient);
}
