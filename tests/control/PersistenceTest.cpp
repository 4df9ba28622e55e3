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

using namespace Qt::StringLiterals;

namespace {

const QString Section = u"Vellix"_s;
const QString AppPaths = u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Dovrelle.exe"_s;

} // namespace

class PersistenceTest : public ControlTest
{
protected:
    QString bagPath() const { return tempPath(u"host.ini"_s); }

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
        {u"rdir"_s, u"/DV/smith/algebra/May_2007"_s},
        {u"text"_s, u"h:\\Courses\\week 1.doc"_s},
        {u"userid"_s, u"smith"_s},
        {u"password"_s, u" p=w;\"x\" "_s},
        {u"sitename"_s, u"ftp.example.org/www"_s},
        {u"cap"_s, 2147483647},
        {u"dv"_s, QVariant::fromValue(qint16(-32768))},
        {u"filter"_s, QString()},
    };
    setAll(*control, values);
    save();
    EXPECT_EQ(Platform::IniFile(bagPath()).keys(Section).join(QLatin1Char(',')),
              u"rdir,text,userid,password,sitename,cap,dv,filter"_s);

    SharedState::reset();
    Vellix restored;
    restored.setAmbient({false, {}});
    QSignalSpy changed(&restored, &Vellix::propertyChanged);
    Platform::IniPropertyBag bag(bagPath(), Section);
    restored.ReadProperties(bag);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        EXPECT_EQ(restored.property(it.key().toLatin1()), it.value()) << it.key().toStdString();
    // Reading restores the fields only: no change marks, no shared copies.
    EXPECT_EQ(changed.size(), 0);
    EXPECT_TRUE(Shared().UserId.isEmpty() && Shared().Password.isEmpty());
    EXPECT_EQ(Shared().DvValue, 0);
}

TEST_F(PersistenceTest, DefaultsAreNotStoredAndMissingKeysReadAsDefaults)
{
    setAll(*control, {{u"rdir"_s, u"/DV/a/b/c"_s}, {u"cap"_s, 40}, {u"filter"_s, u"doc"_s}});
    save();
    setAll(*control, {{u"cap"_s, 0}, {u"filter"_s, u"0"_s}});
    save();
    EXPECT_EQ(Platform::IniFile(bagPath()).keys(Section), QStringList{u"rdir"_s});

    // A bag without "filter" and with a capacity that is no number.
    writeFile(bagPath(), "[Vellix]\r\nrdir=/DV/a/b/c\r\ncap=lots\r\ndv=2\r\n");
    Platform::IniPropertyBag bag(bagPath(), Section);
    control->ReadProperties(bag);
    EXPECT_EQ(QVariantList({control->filter(), control->cap(), control->dv(), control->rdir()}),
              QVariantList({u"0"_s, 0, 2, u"/DV/a/b/c"_s}));
}

TEST_F(PersistenceTest, InitPropertiesResetsTheFieldsAndFindsTheLocalFolders)
{
    // The host product's App Paths entry (empty: none), the host folder and drive.
    const std::tuple<QString, QString, QString> cases[] = {
        {u"H:\\Apps\\Dovrelle.exe"_s, u"H:\\Apps\\"_s, u"H"_s},
        // Not registered: the current folder and the Windows drive stand in.
        {QString(), u"H:\\work\\"_s, u"C"_s},
    };
    const QString savedCurrent = QDir::currentPath();
    QDir().mkpath(homePath(u"work"_s));
    ASSERT_TRUE(QDir::setCurrent(homePath(u"work"_s)));
    for (const auto &[registered, hostFolder, hostDrive] : cases) {
        SCOPED_TRACE(registered.toStdString());
        QFile::remove(Platform::Registry::defaultPath());
        if (!registered.isEmpty()) {
            Platform::Registry().setString(Platform::RootKey::LocalMachine, AppPaths, QString(),
                                           registered);
        }
        setAll(*control, {{u"rdir"_s, u"/DV/a/b/c"_s}, {u"cap"_s, 9}, {u"filter"_s, u"doc"_s}});
        control->setAmbient({true, QColor(12, 34, 56)});

        control->InitProperties();

        const SharedState &s = Shared();
        EXPECT_EQ(QStringList({s.HostFolder, s.HostDrive.toUpper(), s.BrowserPath.toLower(),
                               s.WindowsDrive.toUpper()}),
                  QStringList({hostFolder, hostDrive,
                               u"c:\\program files\\internet explorer\\iexplore.exe"_s, u"C"_s}));
        EXPECT_EQ(control->palette().color(QPalette::Window), QColor(12, 34, 56));
        EXPECT_EQ(QVariantList({control->rdir(), control->cap(), control->filter()}),
                  QVariantList({QString(), 0, u"0"_s}));
    }
    QDir::setCurrent(savedCurrent);
}

// The first control renews the cipher and client, and the last one releases them: a control
// placed beside another, or destroyed before it, leaves the other's session alone.
TEST_F(PersistenceTest, CreationRenewsTheCipherAndClientAndDestructionReleasesThem)
{
    control.reset();
    Platform::Registry().setString(Platform::RootKey::LocalMachine, AppPaths, QString(),
                                   u"C:\\Dovrelle\\Dovrelle.exe"_s);
    Shared().Cipher = std::make_unique<CipherComponent>(); // stands for an earlier cipher
    auto earlierClient = std::make_unique<cFTP>();
    earlierClient->setSecure(true);
    Shared().FtpClient = std::move(earlierClient);
    Shared().HomeDir = u"/home/smith"_s;

    auto second = std::make_unique<Vellix>();
    EXPECT_TRUE(Shared().Cipher && !dynamic_cast<CipherComponent *>(Shared().Cipher.get()));
    ASSERT_TRUE(Shared().FtpClient);
    EXPECT_FALSE(Shared().FtpClient->secure());
    // A control restored from a bag never runs InitProperties but still knows its drive.
    EXPECT_EQ(QStringList({Shared().HostFolder, Shared().HostDrive, Shared().HomeDir}),
              QStringList({u"C:\\Dovrelle\\"_s, u"C"_s, QString()}));

    const cFTP *shared = Shared().FtpClient.get();
    std::make_unique<Vellix>().reset();
    EXPECT_TRUE(Shared().Cipher && Shared().FtpClient.get() == shared);

    Shared().Component = std::make_unique<CipherComponent>();
    second.reset();
    EXPECT_FALSE(Shared().Cipher || Shared().Component || Shared().FtpClient);
}
