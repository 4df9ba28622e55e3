#include "control/StartupFolders.h"

#include "archive/LocalPaths.h"
#include "control/SharedState.h"
#include "platform/SystemFolders.h"

namespace {

QString withTrailingBackslash(QString folder)
{
    if (!folder.endsWith(QLatin1Char('\\')))
        folder += QLatin1Char('\\');
    return folder;
}

} // namespace

void FindWindowsDrive()
{
    const QString windowsFolder =
        withTrailingBackslash(Platform::SystemFolders::windowsDirectory());
    Shared().WindowsDrive = windowsFolder.left(1);
    Shared().BrowserPath =
        Shared().WindowsDrive + QStringLiteral(":\\program files\\internet explorer\\iexplore.exe");
}

void FindHostFolder()
{
    Shared().HostFolder = ReadHostFolder();
    if (!Shared().HostFolder.isEmpty()) {
        Shared().HostDrive = Shared().HostFolder.left(1);
        return;
    }
    Shared().HostFolder = withTrailingBackslash(Platform::SystemFolders::currentDirectory());
    Shared().HostDrive = Shared().WindowsDrive;
}
