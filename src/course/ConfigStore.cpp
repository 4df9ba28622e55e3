#include "course/ConfigStore.h"

#include "course/ConfigFile.h"
#include "course/ConnectionPaths.h"
#include "course/LocalPaths.h"
#include "course/LoginStore.h"
#include "course/SharedState.h"
#include "course/StartupFolders.h"
#include "platform/DosPath.h"
#include "platform/Profile.h"
#include "platform/TextValue.h"

namespace {

// The archive entries "dir0" ... "dir1000" of a course section.
constexpr int LastArchiveEntry = 1000;

QString numberedKey(const QString &prefix, int number)
{
    return prefix + QString::number(number);
}

} // namespace

void DeriveServerPaths()
{
    SharedState &state = Shared();
    // The folder the split names: blanks around the remote directory and a "/" at its end name
    // none of their own, so that the archive folder is the month folder's parent and a session
    // standing in the month folder is found there.
    state.MonthFolderPath = CollapseSlashes(QLatin1Char('/') + Trim(state.RemoteDir));
    if (state.MonthFolderPath.size() > 1 && state.MonthFolderPath.endsWith(QLatin1Char('/')))
        state.MonthFolderPath.chop(1);
    const qsizetype lastSlash = state.MonthFolderPath.lastIndexOf(QLatin1Char('/'));
    state.ArchiveDir =
        lastSlash < 0 ? state.MonthFolderPath : state.MonthFolderPath.left(lastSlash);

    SplitSharedRemoteDir();

    state.WebRoot = ConnectionPaths::underHomeDir(
        state.HomeDir, CollapseSlashes(QLatin1Char('/') + state.WebRootPath));
}

QString CollapseSlashes(QString path)
{
    const QLatin1String doubled("//");
    const QLatin1String single("/");
    return path.replace(doubled, single).replace(doubled, single);
}

// An empty value falls back to the root of the host product's drive, where the control looks
// for local files by default; a lone "\" would name no folder, since every local path here
// carries its drive. Before the host product's folder is known there is no drive to fall back
// to, and the folder stays empty.
QString LocalFolderFromSetting(const QString &lldir)
{
    if (!lldir.isEmpty())
        return Platform::DosPath::withSeparator(lldir);
    return HostDriveRoot();
}

Ftp::TlsMode TlsModeFromSetting(const QString &tls)
{
    if (tls.isEmpty())
        return Ftp::TlsMode::Auto;
    return Ftp::tlsModeFromName(tls).value_or(Ftp::TlsMode::Require);
}

bool WriteTlsMode(const QString &section, Ftp::TlsMode mode)
{
    return Platform::Profile::WritePrivateProfileString(
        section, QStringLiteral("tls"), Ftp::tlsModeName(mode).toUtf8(), ConfigFile::name());
}

bool ReadCourseConfig(const QString &section)
{
    SharedState &state = Shared();

    const ConfigFile file;
    const LoginStore login;
    state.SiteName = login.read(file, section, QStringLiteral("ftpSite"));
    state.Host = state.SiteName;
    state.UserId = login.read(file, section, QStringLiteral("ftpUsid"));
    state.Password = login.read(file, section, QStringLiteral("ftpPwd"));

    state.StartMonth = file.text(section, QStringLiteral("startMonth"));
    state.StartYear = file.text(section, QStringLiteral("startYear"));
    state.EndMonth = file.text(section, QStringLiteral("endMonth"));
    state.EndYear = file.text(section, QStringLiteral("endYear"));
    state.School = file.text(section, QStringLiteral("school"));
    state.Dept = file.text(section, QStringLiteral("dept"));
    state.TeacherName = file.text(section, QStringLiteral("tName"));
    state.LastLocalDir = LocalFolderFromSetting(file.text(section, QStringLiteral("lldir")));
    state.Tls = TlsModeFromSetting(file.text(section, QStringLiteral("tls")));

    DeriveServerPaths();
    return true;
}

bool ReadFolderMap(const QString &section, const QString &archive)
{
    const ConfigFile file;
    const double listed = Val(file.text(section, QStringLiteral("numDirs")));

    // Entries may have gaps; only the first `listed` non-empty ones count.
    int number = -1;
    int counted = 0;
    for (int entry = 0; entry <= LastArchiveEntry && counted < listed; ++entry) {
        const QString name = file.text(section, numberedKey(QStringLiteral("dir"), entry));
        if (name.isEmpty())
            continue;
        ++counted;
        if (name == archive) {
            number = entry;
            break;
        }
    }

    // With no match the keys built with -1 are read: normally absent, so month mode.
    SharedState &state = Shared();
    const QString archiveKey = numberedKey(QStringLiteral("b"), number);
    state.NamedFolders = file.text(section, archiveKey) == QLatin1String("1");
    for (int month = 1; month <= int(state.FolderNames.size()); ++month) {
        state.FolderNames[month - 1] =
            file.text(section, archiveKey + QLatin1Char('_') + QString::number(month));
    }
    return true;
}

LoginStore::Outcome WriteLoginData(const QString &section, const QString &storedSite,
                                   const QString &userId, const QString &password, bool secure)
{
    return LoginStore().write(
        section, {
                     {QStringLiteral("ftpSite"), storedSite},
                     {QStringLiteral("ftpUsid"), userId},
                     {QStringLiteral("ftpPwd"), password},
                     {QStringLiteral("secure"), secure ? QStringLiteral("1") : QStringLiteral("0")},
                 });
}
