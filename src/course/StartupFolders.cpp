#include "course/StartupFolders.h"

#include "course/LocalPaths.h"
#include "course/SharedState.h"
#include "platform/DosPath.h"
#include "platform/SystemFolders.h"

void FindWindowsDrive()
{
    const QString windowsFolder =
        Platform::DosPath::withSeparator(Platform::SystemFolders::windowsDirectory());
    Shared().WindowsDrive = windowsFolder.left(1);
    Shared().BrowserPath =
        Shared().WindowsDrive + QStringLiteral(":\\program files\\internet explorer\\iexplore.exe");
}

bool FindHostFolder()
{
    Shared().HostFolder = ReadHostFolder();
    if (!Shared().HostFolder.isEmpty()) {
        Shared().HostDrive = Shared().HostFolder.left(1);
        return true;
    }
    Shared().HostFolder =
        Platform::DosPath::withSeparator(Platform::SystemFolders::currentDirectory());
    Shared().HostDrive = Shared().WindowsDrive;
    return false;
}

QString HostDriveRoot()
{
    const QString &drive = Shared().HostDrive;
    return drive.isEmpty() ? QString() : drive + QLatin1String(":\\");
}
