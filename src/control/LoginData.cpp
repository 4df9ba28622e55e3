#include "control/LoginData.h"

#include "control/frmLogin.h"
#include "course/ConfigFile.h"
#include "course/ConfigStore.h"
#include "course/CourseSection.h"
#include "course/LoginStore.h"
#include "course/SharedState.h"
#include "platform/Ui.h"

#include <QApplication>

#include <array>

using Platform::Ui;

namespace {

const QLatin1Char Slash('/');

// The part of the web root path before the host product's folder ("pub" of "pub/DV"), kept
// with the stored site so that the next read finds where "DV" lies on the server.
QString SitePath(const QString &webRootPath)
{
    const qsizetype folder = webRootPath.indexOf(HostProductFolder);
    if (folder < 0)
        return webRootPath;
    // Without the "/" that leads to the folder.
    return folder == 0 ? QString() : webRootPath.left(folder - 1);
}

QString StoredSite(const QString &site, const QString &webRootPath)
{
    const QString path = SitePath(webRootPath);
    return path.isEmpty() ? site : site + Slash + path;
}

// Why the entered login data could not be stored, in the user's words.
QString StoreFailure(const QString &storedSite, const frmLogin::Entries &entered)
{
    const std::array<std::pair<QString, QString>, 3> fields = {{
        {QStringLiteral("site"), storedSite},
        {QStringLiteral("user name"), entered.UserName},
        {QStringLiteral("password"), entered.Password},
    }};
    const LoginStore login;
    for (const auto &[name, value] : fields) {
        switch (login.problemWith(value)) {
        case LoginStore::Problem::TooLong:
            return QStringLiteral("The %1 is too long to be saved.").arg(name);
        case LoginStore::Problem::Unstorable:
            return QStringLiteral("The %1 holds characters that cannot be saved.").arg(name);
        case LoginStore::Problem::None:
            break;
        }
    }
    return QStringLiteral("The course folder '%1' cannot name a section of %2.")
        .arg(Shared().CourseName, ConfigFile::name());
}

void TellNotSaved(const QString &reason)
{
    Platform::messageBox(QStringLiteral("The login data could not be saved.\r\n") + reason,
                         Ui::Buttons::OK, Ui::Icon::Critical, QStringLiteral("Login"));
}

// Tells of something about Dovrelle.ini (%1 in the text) that does not stop the login.
void WarnAboutConfigFile(const QString &text)
{
    Platform::messageBox(text.arg(ConfigFile::dosPath()), Ui::Buttons::OK, Ui::Icon::Exclamation,
                         QStringLiteral("Login"));
}

// Stores what the user entered in the course's section and takes it into the shared state,
// the site without its path. A value that cannot be stored is refused with a message rather
// than used for this run only: the user would find it gone at the next start, long after
// they could still tell what they had typed. A file that cannot be written is another
// matter: the values are good, so the session goes on with them, and the user is told that
// they will have to type them again next time.
bool StoreLoginData(const frmLogin::Entries &entered)
{
    SharedState &state = Shared();
    if (state.CourseName.isEmpty()) {
        TellNotSaved(QStringLiteral("No course folder is set for it."));
        return false;
    }
    const QString site = StoredSite(entered.SiteName, state.WebRootPath);
    const LoginStore::Outcome written =
        WriteLoginData(state.CourseName, site, entered.UserName, entered.Password, entered.Secure);
    switch (written.saved) {
    case LoginStore::Saved::Refused:
        TellNotSaved(StoreFailure(site, entered));
        return false;
    case LoginStore::Saved::NotWritable:
        WarnAboutConfigFile(QStringLiteral("The login data cannot be saved in %1.\r\nIt is used "
                                           "for this session but will not be remembered."));
        break;
    case LoginStore::Saved::Stored:
        if (written.madePrivate) {
            WarnAboutConfigFile(QStringLiteral("%1 could be read by other users.\r\nIt holds "
                                               "your login data, so it is now readable by you "
                                               "only."));
        }
        break;
    }
    state.SiteName = entered.SiteName.section(Slash, 0, 0);
    state.UserId = entered.UserName;
    state.Password = entered.Password;
    state.Secure = entered.Secure;
    return true;
}

// Asks for the login data in the login dialog and stores it. False when the user cancelled
// or the data could not be stored.
bool AskForLoginData()
{
    SharedState &state = Shared();
    Platform::setMousePointer(Ui::Pointer::Default);

    frmLogin dialog(QApplication::activeWindow());
    dialog.setEntries({state.SiteName, state.UserId, state.Password, state.Secure});
    dialog.exec();
    if (state.LoginCancelled) {
        state.LoginCancelled = false;
        return false;
    }
    return StoreLoginData(dialog.entries());
}

} // namespace

bool LoadLoginData()
{
    SharedState &state = Shared();
    const bool complete =
        !state.SiteName.isEmpty() && !state.UserId.isEmpty() && !state.Password.isEmpty();
    if (!complete && !state.LoggedIn && !state.ConnectionFailed && !AskForLoginData())
        return false;

    state.RemoteRoot = QStringLiteral("/");
    state.Host = state.SiteName;
    state.UploadFilter = QStringLiteral("*.*;");
    state.AllowedExtensions = state.UploadFilter.split(QLatin1Char(';'));
    state.CapacityLimit = 999999;
    state.LoggedIn = true;
    return true;
}

void TakeHostLoginData(const QString &rdir, const QString &sitename, const QString &userid,
                       const QString &password)
{
    SharedState &state = Shared();
    // No longer logged in: the course configuration read that follows replaces these values
    // with the stored ones, and the login is checked again.
    state.LoggedIn = false;
    state.RemoteDir = rdir;
    state.SiteName = sitename;
    state.UserId = userid;
    state.Password = password;
}
