#include "control/WebSpaceCommand.h"

#include "course/ConfigStore.h"
#include "course/ConnectionPaths.h"
#include "course/CourseSection.h"
#include "course/RunScope.h"
#include "course/ServerFolders.h"
#include "course/SharedState.h"
#include "platform/TextValue.h"
#include "webspace/frmSpace.h"

#include <QWidget>

WebSpaceCommand::WebSpaceCommand(CommandPreparation::Control control)
    : m_control(std::move(control))
{}

bool WebSpaceCommand::run()
{
    SharedState &state = Shared();
    const CommandPreparation::HostLogin host = m_control.hostLogin();
    state.RemoteDir = host.rdir;
    // No measuring runs until the window's OK starts one.
    RunScope::requestStop();
    RunScope::clearCancel();
    // An open session has its course and paths already.
    if (!CommandPreparation::serverFolder().isEmpty())
        return showWindow();

    if (!host.userid.isEmpty() && !host.password.isEmpty()) {
        state.SiteName = host.sitename;
        state.UserId = host.userid;
        state.Password = host.password;
    }
    ResolveCourseFolder();
    state.WebRoot = ConnectionPaths::underHomeDir(state.HomeDir, state.WebRoot);
    if (!state.LoggedIn && !CommandPreparation::readCourseLogin())
        return false;
    if (CommandPreparation::takeAbortFlag())
        return false;
    if (!CommandPreparation::serverFolder().isEmpty())
        return showWindow();
    // Connecting also places the web root under the login folder.
    state.ConnectionFailed = !EnsureConnected();
    return !state.ConnectionFailed && showWindow();
}

QString WebSpaceCommand::sessionWebRoot(const QString &remoteRoot, const QString &remoteDir,
                                        const QString &homeDir)
{
    const QLatin1Char slash('/');
    QString path = Trim(remoteRoot.isEmpty() ? remoteDir : remoteRoot + slash + remoteDir);
    if (path.endsWith(slash))
        path.chop(1);
    path = CollapseSlashes(path);
    const QLatin1String hostProductFolder("/DV/");
    const qsizetype at = path.indexOf(hostProductFolder);
    if (at >= 0)
        path.truncate(at + hostProductFolder.size() - 1); // without the slash after it
    return ConnectionPaths::underHomeDir(homeDir, path);
}

bool WebSpaceCommand::showWindow()
{
    SharedState &state = Shared();
    // The status window leaves the web root before the host product's folder, which the
    // window's levels measure from.
    state.WebRoot = sessionWebRoot(state.RemoteRoot, state.RemoteDir, state.HomeDir);
    QWidget *surface = m_control.surface;
    frmSpace window(surface ? surface->window() : nullptr);
    window.exec();
    return true;
}
