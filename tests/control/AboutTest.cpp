#include "ControlTest.h"
#include "support/WindowWatch.h"

#include "control/frmAbout.h"
#include "platform/Registry.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>

using namespace Qt::StringLiterals;

using Platform::Ui;

namespace {

const QString SysInfoKey = u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"_s;
const QString SysInfoFolderKey = u"SOFTWARE\\Microsoft\\Shared Tools Location"_s;

} // namespace

using AboutTest = ControlTest;

TEST_F(AboutTest, SysInfoStartsTheRegisteredProgramOrSaysItIsUnavailable)
{
    struct Case
    {
        QString key, name, value, program;
        bool runs;
    };
    const Case cases[] = {
        {{}, {}, {}, {}, false},
        {SysInfoKey, u"PATH"_s, u"h:\\Shared Tools\\msinfo.sh"_s, u"Shared Tools/msinfo.sh"_s,
         true},
        {SysInfoKey, u"PATH"_s, u"h:\\nowhere\\msinfo32.exe"_s, {}, false},
        {SysInfoFolderKey, u"MSINFO"_s, u"h:\\tools"_s, u"tools/MSINFO32.EXE"_s, true},
        // The folder must hold MSINFO32.EXE itself.
        {SysInfoFolderKey, u"MSINFO"_s, u"h:\\tools2"_s, u"tools2/MSINFO32"_s, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE((c.key + QLatin1Char(' ') + c.value).toStdString());
        // The program (when given) leaves a mark when it runs; the value (when given) names it.
        QFile::remove(Platform::Registry::defaultPath());
        ui().clear();
        const QString mark = tempPath(u"ran-"_s + QString::number(&c - cases));
        if (!c.program.isEmpty()) {
            writeFile(homePath(c.program), "#!/bin/sh\ntouch '" + QFile::encodeName(mark) + "'\n");
            QFile::setPermissions(homePath(c.program), QFile::ReadOwner | QFile::ExeOwner);
        }
        if (!c.key.isEmpty())
            Platform::Registry().setString(Platform::RootKey::LocalMachine, c.key, c.name, c.value);
        frmAbout about;
        QTest::mouseClick(about.findChild<QPushButton *>(u"cmdSysInfo"_s), Qt::LeftButton);
        if (c.runs) {
            EXPECT_TRUE(ui().boxes().isEmpty());
            EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(mark); }));
        } else {
            ::expectOnlyBox(ui(), u"System Information Is Unavailable At This Time"_s,
                            Ui::Icon::None);
        }
    }
}

// The box opens modally and goes when closed. Its title stands out from the text also when the
// desktop gives its font in pixels.
TEST_F(AboutTest, ShowAboutOpensTheBoxModallyAndUnloadsIt)
{
    const QFont desktop = QApplication::font();
    const auto restore = qScopeGuard([&] { QApplication::setFont(desktop); });
    QFont pixels = desktop;
    pixels.setPixelSize(20);
    QApplication::setFont(pixels);
    const auto closer = whenWindowShows(u"frmAbout"_s, [](QWidget &about) {
        const auto pixelSize = [&about](const char *label) {
            return QFontInfo(about.findChild<QLabel *>(QLatin1String(label))->font()).pixelSize();
        };
        EXPECT_GT(pixelSize("lblTitle"), pixelSize("lblVersion"));
        about.findChild<QPushButton *>(u"cmdOK"_s)->click();
    });
    control->ShowAbout();
    EXPECT_EQ(closer->shown(), 1);
    EXPECT_TRUE(control->findChildren<frmAbout *>().isEmpty());
}
