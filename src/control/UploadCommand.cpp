#include "control/UploadCommand.h"

#include "control/BatchUpload.h"
#include "control/LocalPathCheck.h"
#include "control/LoginData.h"
#include "course/ArchiveCatalogue.h"
#include "course/ConfigStore.h"
#include "course/ConnectionPaths.h"
#include "course/LocalPaths.h"
#include "course/LoginCipher.h"
#include "course/LoginReset.h"
#include "course/ServerFolders.h"
#include "course/SharedState.h"
#include "course/StartupFolders.h"
#include "platform/FileSystemObject.h"
#include "platform/TextValue.h"
#include "platform/Ui.h"
#include "transport/cFTP.h"

#include <QLineEdit>
#include <QWidget>

#include <utility>

using Platform::Ui;

namespace {

const QLatin1Char Slash('/');
const QLatin1Char Backslash('\\');
const QLatin1String CrLf("\r\n");

// The folder the shared client stands in; empty when no session is open.
QString currentServerFolder()
{
    cFTP *client = Shared().FtpClient.get();
    return client ? client->GetFTPDirectory() : QString();
}

// The month folder path under the login folder, where every path of the session lies.
QString absoluteMonthFolderPath()
{
    const SharedState &state = Shared();
    return ConnectionPaths::underHomeDir(state.HomeDir, state.MonthFolderPath);
}

} // namespace

UploadCommand::UploadCommand(Control control)
    : m_control(std::move(control))
{}

void UploadCommand::showPointers(bool busy)
{
    Platform::setMousePointer(busy ? Ui::Pointer::Hourglass : Ui::Pointer::Default);
    if (busy)
        m_control.surface->setCursor(Qt::WaitCursor);
    else
        m_control.surface->unsetCursor();
}

void UploadCommand::run()
{
    SharedState &state = Shared();
    if (!state.Cipher)
        state.Cipher = std::make_unique<LoginCipher>();
    state.CancelRequest = false;
    showPointers(true);
    // The host may set properties in its handler: everything below reads them afterwards.
    m_control.raiseClickUpload();

    // Every way out leaves the pointers normal, not only the ones that show a message.
    struct PointerReset
    {
        UploadCommand *command;
        ~PointerReset() { command->showPointers(false); }
    } pointerReset{this};

    if (!takeRemoteDirectory())
        return;
    fillEmptyLocalPath();

    QLineEdit &txFile = *m_control.txFile;
    if (!ValidLocalPath(txFile.text())) {
        txFile.setFocus();
        txFile.selectAll();
        return;
    }
    if (!CheckLocalPath(txFile.text()))
        return;
    ReadControlCourseConfig(state.CourseName);

    // The tool transfers single files only; a folder goes the way of plain mode.
    if (state.Secure && state.Batch && !Platform::FileSystemObject().FolderExists(txFile.text())) {
        BatchUpload::run(txFile.text());
        return;
    }

    if (!obtainLogin())
        return;
    EnsureConnected();
    if (!enterMonthFolder()) {
        showPointers(false);
        ResetLoginAfterBadDirectory(QStringLiteral("Upload"));
        return;
    }

    if (state.LoginCancelled)
        return;
    const QString path = txFile.text();
    // A path ending in "\" names a folder on purpose, and a file that went up for a host
    // without loadfunc is simply not announced: only what did not go up is reported.
    if (uploadPath(path) == Outcome::NotUploaded && !path.endsWith(Backslash)) {
        showPointers(false);
        Platform::messageBox(QStringLiteral("File '") + path + QStringLiteral("' ") +
                                 QStringLiteral("failed to upload."),
                             Ui::Buttons::OK, Ui::Icon::Critical,
                             QStringLiteral("File Upload Status"));
    }
}

bool UploadCommand::takeRemoteDirectory()
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

    state.WebRoot =
        ConnectionPaths::underHomeDir(state.HomeDir, CollapseSlashes(Slash + state.WebRootPath));
    state.RemoteRoot = Slash;
    return true;
}

void UploadCommand::fillEmptyLocalPath()
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

bool UploadCommand::obtainLogin()
{
    SharedState &state = Shared();
    // No open session: whatever was logged in before must be checked again.
    if (currentServerFolder().isEmpty()) {
        state.Password.clear();
        state.LoggedIn = false;
    }
    if (state.LoggedIn)
        return true;

    const HostLogin host = m_control.hostLogin();
    TakeHostLoginData(host.rdir, host.sitename, host.userid, host.password);
    ReadControlCourseConfig(state.CourseName);
    if (!LoadLoginData())
        return false;
    if (state.AbortFlag) {
        state.AbortFlag = false;
        return false;
    }
    if (!LoadLoginData()) {
        m_control.disableCommands();
        return false;
    }
    return true;
}

bool UploadCommand::enterMonthFolder()
{
    if (EnterMonthFolder())
        return true;
    // Entering the month folder includes creating it: the first upload of a new month finds
    // no folder yet. Only that one folder is made; a missing course or archive folder means
    // the login data leads elsewhere, and the caller says so.
    cFTP *client = Shared().FtpClient.get();
    if (!client || currentServerFolder().isEmpty())
        return false;
    return client->CreateFTPDirectory(absoluteMonthFolderPath()) && EnterMonthFolder();
}

UploadCommand::Outcome UploadCommand::uploadPath(const QString &path)
{
    Shared().CurrentLocalPath = path;
    if (!Platform::FileSystemObject().FileExists(path)) {
        // A folder is uploaded from the local list window, which is not part of the control
        // yet: it is treated as a folder that window could not list, so nothing is shown and
        // nothing goes up.
        return Outcome::NotUploaded;
    }

    showPointers(true);
    EnsureConnected();
    const qsizetype lastBackslash = path.lastIndexOf(Backslash);
    const QString fileName = lastBackslash < 0 ? QString() : path.mid(lastBackslash + 1);
    const QString remotePath = absoluteMonthFolderPath() + Slash + fileName;

    cFTP *client = Shared().FtpClient.get();
    const bool uploaded = client && client->FTPUploadFile(path, remotePath);
    // The catalogue is the host's business: only a host that handed over its object gets it
    // rebuilt, and only that host's users are told of the upload.
    if (!uploaded || !Shared().LoadFuncObject) {
        showPointers(false);
        return uploaded ? Outcome::UploadedSilently : Outcome::NotUploaded;
    }
    RefreshArchive();
    showPointers(false);
    Platform::messageBox(QStringLiteral("File: \"") + fileName + QStringLiteral("\"") + CrLf +
                             QStringLiteral("was successfully uploaded to the webserver."),
                         Ui::Buttons::OK, Ui::Icon::Information, QStringLiteral("Upload File"));
    return Outcome::Announced;
}
