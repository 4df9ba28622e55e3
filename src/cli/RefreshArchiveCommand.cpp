#include "cli/RefreshArchiveCommand.h"

#include "cli/CliDispatcher.h"
#include "course/ArchiveCatalogue.h"
#include "course/ConfigStore.h"
#include "course/CourseSection.h"
#include "course/LocalPaths.h"
#include "course/ServerFolders.h"
#include "course/SharedClient.h"
#include "course/SharedState.h"
#include "course/StartupFolders.h"
#include "operations/SessionOpener.h"
#include "platform/Registry.h"
#include "transport/cFTP.h"

#include <QScopeGuard>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

const QString CatalogueFiles[] = {u"index.htm"_s, u"index.xml"_s, u"index.xsl"_s};

// Opens the shared client's session with the login data of the shared state, as the control's
// status window does, and says on standard error why it could not.
bool openSession(QTextStream &err)
{
    ChooseSecureChannel();
    if (OpenSharedSession())
        return true;
    const SharedState &state = Shared();
    err << "vellix: cannot log in to " << state.Host << ": "
        << state.FtpClient->failureReason().trimmed() << Qt::endl;
    return false;
}

} // namespace

QString RefreshArchiveCommand::name() const
{
    return u"refresh-archive"_s;
}

QStringList RefreshArchiveCommand::usage() const
{
    return {u"vellix refresh-archive RDIR"_s};
}

QStringList RefreshArchiveCommand::notes() const
{
    return {u"refresh-archive rebuilds the catalogue (index.htm, index.xml, index.xsl) of the"_s,
            u"archive that RDIR (/DV/course/archive/month, as the control's rdir) names, and"_s,
            u"uploads it with the course's login data from Dovrelle.ini."_s};
}

int RefreshArchiveCommand::run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.size() != 1 || arguments.first().startsWith(u'-')) {
        const bool help = arguments.size() == 1 &&
                          (arguments.first() == u"--help"_s || arguments.first() == u"-h"_s);
        QTextStream &stream = help ? out : err;
        if (!help)
            stream << "vellix: refresh-archive takes one RDIR\n";
        CliDispatcher::printUsage(usage(), stream);
        for (const QString &note : notes())
            stream << note << '\n';
        return help ? Success : UsageError;
    }

    SharedState &state = Shared();
    state.RemoteDir = arguments.first();
    const RemotePathParts parts = SplitSharedRemoteDir();
    if (parts.CourseName.isEmpty() || parts.ArchiveName.isEmpty() || parts.MonthFolder.isEmpty()) {
        err << "vellix: " << state.RemoteDir
            << " names no archive month folder (/DV/course/archive/month)\n";
        return Failure;
    }

    // The catalogue's local copies go under the host product's folder, as the control's do.
    // The control falls back to its current folder; here that would be wherever the shell
    // stands, so an unregistered host product ends the command instead.
    FindWindowsDrive();
    if (!FindHostFolder()) {
        err << "vellix: Dovrelle is not registered: " << Platform::Registry::defaultPath()
            << " holds no App Paths entry for Dovrelle.exe, whose folder takes the catalogue's "
               "local copies\n";
        return Failure;
    }
    ReadControlCourseConfig(state.CourseName);
    if (state.SiteName.isEmpty() || state.UserId.isEmpty() || state.Password.isEmpty()) {
        err << "vellix: Dovrelle.ini holds no login data for the course " << state.CourseName
            << " (store it with vellix config set-login)\n";
        return Failure;
    }

    CreateSharedClient();
    // A session that drops on the way is opened again the same way, without a window.
    state.Reconnect = [&err] { return openSession(err); };
    const auto forgetReconnect = qScopeGuard([&state] { state.Reconnect = nullptr; });
    if (!openSession(err))
        return Failure;

    // As in the control's commands: the month folder must be there, and entering it places
    // the web root where the course folders lie.
    if (!EnterMonthFolder()) {
        err << "vellix: cannot enter the month folder " << state.RemoteDir << " on the server\n";
        state.FtpClient->CloseConnection();
        return Failure;
    }
    // Taken before the build: a session opened again on the way places the web root anew.
    const QString archive =
        CollapseSlashes(state.WebRoot + u'/' + state.CourseName + u'/' + state.ArchiveName);
    state.CatalogueUploadFailed = false;
    // Connected already, so the build itself, whose result says whether the local files
    // could be written (the reason has been told on standard error).
    if (!BuildArchiveCatalogue()) {
        state.FtpClient->CloseConnection();
        return Failure;
    }
    // The catalogue ends in the archive folder; standing anywhere else means it never got there.
    // A session lost on the way is told as the cut upload it is, not as a missing folder.
    const bool inArchive = state.FtpClient->GetFTPDirectory() == archive;
    state.FtpClient->CloseConnection();
    if (state.CatalogueUploadFailed) {
        err << "vellix: the catalogue could not be uploaded completely into " << archive << '\n';
        return Failure;
    }
    if (!inArchive) {
        err << "vellix: cannot enter the archive folder " << archive << '\n';
        return Failure;
    }
    for (const QString &file : CatalogueFiles)
        out << CollapseSlashes(archive + u'/' + file) << '\n';
    return Success;
}
