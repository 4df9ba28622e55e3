#include "course/LoginReset.h"

#include "course/ConfigFile.h"
#include "course/LocalPaths.h"
#include "course/LoginStore.h"
#include "course/SharedState.h"
#include "platform/Ui.h"

using Platform::Ui;

void ResetLoginData(bool quiet)
{
    SharedState &state = Shared();
    state.CourseName = SplitRemotePath(state.RemoteDir).CourseName;
    // Without a course there is no section that could hold stored login data.
    bool cleared = true;
    if (!state.CourseName.isEmpty()) {
        const LoginStore login;
        for (const char *key : {"ftpSite", "ftpUsid", "ftpPwd"})
            cleared = login.write(state.CourseName, QLatin1String(key), QString()) && cleared;
    }

    state.Password.clear();
    state.LoggedIn = false;
    state.ConnectionFailed = false;

    if (quiet)
        return;
    // The stored login would come back at the next start: saying it was reset would mislead.
    if (!cleared) {
        Platform::messageBox(
            QStringLiteral("Login Data could not be reset.\r\n%1 cannot be written.")
                .arg(ConfigFile::dosPath()),
            Ui::Buttons::OK, Ui::Icon::Critical, QStringLiteral("Reset Login Data"));
        return;
    }
    Platform::messageBox(QStringLiteral("Login Data has been reset."), Ui::Buttons::OK,
                         Ui::Icon::Information, QStringLiteral("Reset Login Data"));
}

void ResetLoginAfterBadDirectory(const QString &title)
{
    Platform::setMousePointer(Ui::Pointer::Default);
    Platform::messageBox(QStringLiteral("Bad directory passed.\r\nYour login data has been reset."),
                         Ui::Buttons::OK, Ui::Icon::Critical, title);
    ResetLoginData(true);
}
