#include "control/CommandPreparation.h"

#include "control/LocalPathCheck.h"
#include "control/LoginData.h"
#include "course/ConfigStore.h"
#include "course/CourseSection.h"
#include "course/LocalPaths.h"
#include "course/LoginReset.h"
#include "course/RunScope.h"
#include "course/ServerFolders.h"
#include "course/SharedState.h"
#include "course/StartupFolders.h"
#include "platform/TextValue.h"
#include "platform/Ui.h"
#include "transport/cFTP.h"

#include <QLineEdit>
#include <QWidget>

#include <utility>

using Platform::Ui;

namespace {

const QLatin1Char Slash('/');
const QLatin1String CrLf("\r\n");

} // namespace

QString CommandPreparation::serverFolder()
{
    cFTP *client = Shared().FtpClient.get();
    return client ? client->GetFTPDirectory() : QString();
}

bool CommandPreparation::readCourseLogin()
{
    ReadControlCourseConfig(Shared().CourseName);
    return LoadLoginData();
}

bool CommandPreparation::takeAbortFlag()
{
    return RunScope::takeAbort();
}

void CommandPreparation::settleLoginAfterLists()
{
    SharedState &state = Shared();
    state.LoggedIn = !std::exchange(state.ConnectionFailed, false);
}

CommandPreparation::CommandPreparation(Control control)
    : m_control(std::move(control))
{}

void CommandPreparation::showPointers(bool busy)
{
    Platform::setMousePointer(busy ? Ui::Pointer::Hourglass : Ui::Pointer::Default);
    if (busy)
        m_control.surface->setCursor(Qt::WaitCursor);
    else
        m_control.surface->unsetCursor();
}

bool CommandPreparation::takeRemoteDirectory()
{
    SharedState &state = Shared();
    state.RemoteDir = m_control.hostLogin().rdir;
    SplitSharedRemoteDir();
    if (state.CourseName.isEmpty() || state.ArchiveName.isEmpty() || state.MonthFolder.isEmpty()) {
        showPointers(false);
        Platform::messageBox(QStringLiteral("You have bad data in you varables.") + CrLf +
                                 QStringLiteral("Resetting Login variables."),
                             Ui::Buttons::OK, Ui::Icon::Critical,
                             QStringLiteral("Parameter Error"));
        return false;
    }

    DeriveServerPaths();
    state.RemoteRoot = Slash;
    return true;
}

void CommandPreparation::fillEmptyLocalPath()
{
    SharedState &state = Shared();
    state.LastLocalDir = CourseLocalFolder(state.CourseName);
    QLineEdit &txFile = *m_control.txFile;
    state.PreviousLocalText = txFile.text();
    if (txFile.text().isEmpty())
        txFile.setText(state.LastLocalDir);
    if (Trim(txFile.text()).isEmpty())
        txFile.setText(HostDriveRoot());
}

bool CommandPreparation::obtainLogin()
{
    SharedState &state = Shared();
    // No open session: whatever was logged in before must be checked again.
    if (serverFolder().isEmpty()) {
        state.Password.clear();
        state.LoggedIn = false;
    }
    if (state.LoggedIn)
        return true;

    const HostLogin host = m_control.hostLogin();
    TakeHostLoginData(host.rdir, host.sitename, host.userid, host.password);
    if (!readCourseLogin() || takeAbortFlag())
        return false;
    if (!LoadLoginData()) {
        m_control.disableCommands();
        return false;
    }
    return true;
}

bool CommandPreparation::checkLocalPath()
{
    QLineEdit &txFile = *m_control.txFile;
    if (!ValidLocalPath(txFile.text())) {
        txFile.setFocus();
        txFile.selectAll();
        return false;
    }
    return CheckLocalPath(txFile.text());
}

MonthFolderStart CommandPreparation::enterMonthFolder(const QString &title,
                                                      const std::function<bool()> &enter)
{
    const MonthFolderStart start = StartInMonthFolder(enter);
    if (start == MonthFolderStart::LoginRefused || start == MonthFolderStart::WrongFolder) {
        showPointers(false);
        ResetLoginAfterBadDirectory(title);
    }
    return start;
}
