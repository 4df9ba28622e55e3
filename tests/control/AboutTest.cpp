#include "ControlTest.h"
#include "support/WindowWatch.h"

#include "control/frmAbout.h"
#include "platform/Registry.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>

using Platform::Ui;

namespace {

const QString SysInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString SysInfoFolderKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");

} // namespace

class AboutTest : public ControlTest
{
protected:
    // Registers one value (when given) and writes a program (when given) that leaves a mark
    // when it runs; clicks "System Info" and tells whether the program ran.
    bool sysInfoRan(const QString &key, const QString &name, const QString &value,
                    const QString &program)
    {
        QFile::remove(Platform::Registry::defaultPath());
        ui().clear();
        const QString mark = tempPath(QStringLiteral("ran-") + QString::number(++m_runs));
        if (!program.isEmpty()) {
            writeFile(homePath(program), "#!/bin/sh\ntouch '" + QFile::encodeName(mark) + "'\n");
            QFile::setPermissions(homePath(program), QFile::ReadOwner | QFile::ExeOwner);
        }
        if (!key.isEmpty())
            Platform::Registry().setString(Platform::RootKey::LocalMachine, key, name, value);
        frmAbout about;
        QTest::mouseClick(about.findChild<QPushButton *>(QStringLiteral("cmdSysInfo")),
                          Qt::LeftButton);
        return ui().boxes().isEmpty() && QTest::qWaitFor([&] { return QFile::exists(mark); });
    }

    int m_runs = 0;
};

TEST_F(AboutTest, SysInfoStartsTheRegisteredProgramOrSaysItIsUnavailable)
{
    struct Case
    {
        QString key, name, value, program;
        bool runs;
    };
    const Case cases[] = {
        {{}, {}, {}, {}, false},
        {SysInfoKey, QStringLiteral("PATH"), QStringLiteral("h:\\Shared Tools\\msinfo.sh"),
         QStringLiteral("Shared Tools/msinfo.sh"), true},
        {SysInfoKey,
         QStringLiteral("PATH"),
         QStringLiteral("h:\\nowhere\\msinfo32.exe"),
         {},
         false},
        {SysInfoFolderKey, QStringLiteral("MSINFO"), QStringLiteral("h:\\tools"),
         QStringLiteral("tools/MSINFO32.EXE"), true},
        // The folder must hold MSINFO32.EXE itself.
        {SysInfoFolderKey, QStringLiteral("MSINFO"), QStringLiteral("h:\\tools2"),
         QStringLiteral("tools2/MSINFO32"), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE((c.key + QLatin1Char(' ') + c.value).toStdString());
        EXPECT_EQ(sysInfoRan(c.key, c.name, c.value, c.program), c.runs);
        if (!c.runs)
            expectOnlyBox(QStringLiteral("System Information Is Unavailable At This Time"),
                          Ui::Icon::None);
    }
}

TEST_F(AboutTest, ShowAboutOpensTheBoxModallyAndUnloadsIt)
{
    const auto closer = whenWindowShows(QStringLiteral("frmAbout"), [](QWidget &about) {
        about.findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
    });
    control->ShowAbout();
    EXPECT_EQ(closer->shown(), 1);
    EXPECT_TRUE(control->findChildren<frmAbout *>().isEmpty());
}
