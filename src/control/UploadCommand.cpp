#include "control/UploadCommand.h"

#include "control/BatchUpload.h"
#include "control/CommandPreparation.h"
#include "control/ListWindowOpeners.h"
#include "control/LocalPathCheck.h"
#include "course/ArchiveCatalogue.h"
#include "course/ConfigStore.h"
#include "course/ConnectionPaths.h"
#include "course/CourseSection.h"
#include "course/LocalPaths.h"
#include "course/LoginCipher.h"
#include "course/RunScope.h"
#include "course/ServerFolders.h"
#include "course/SharedState.h"
#include "course/StartupFolders.h"
#include "operations/TransferFeed.h"
#include "operations/TransferRetry.h"
#include "platform/FileSystemObject.h"
#include "platform/TextValue.h"
#include "platform/Ui.h"
#include "transport/cFTP.h"
#include "widgets/frmTransfer.h"

#include <QLineEdit>
#include <QScopeGuard>
#include <QWidget>

#include <algorithm>
#include <utility>

using Platform::Ui;

namespace {

const QLatin1Char Slash('/');
const QLatin1Char Backslash('\\');
const QLatin1String CrLf("\r\n");

} // namespace

UploadCommand::UploadCommand(Control control)
    : m_preparation(std::move(control))
{}

void UploadCommand::run()
{
    SharedState &state = Shared();
    if (!state.Cipher)
        state.Cipher = std::make_unique<LoginCipher>();
    RunScope::clearCancel();
    m_preparation.showPointers(true);
    // The host may set properties in its handler: everything below reads them afterwards.
    m_preparation.control().raiseEvent();

    // Every way out leaves the pointers normal, not only the ones that show a message.
    const auto pointers = qScopeGuard([this] { m_preparation.showPointers(false); });

    if (!m_preparation.takeRemoteDirectory())
        return;
    m_preparation.fillEmptyLocalPath();

    if (!m_preparation.checkLocalPath())
        return;
    QLineEdit &txFile = *m_preparation.control().txFile;
    ReadControlCourseConfig(state.CourseName);

    // The tool transfers single files only; a folder goes the way of plain mode.
    if (state.Secure && state.Batch && !Platform::FileSystemObject().FolderExists(txFile.text())) {
        BatchUpload::run(txFile.text());
        return;
    }

    if (!m_preparation.obtainLogin())
        return;
    if (m_preparation.enterMonthFolder(QStringLiteral("Upload"), EnterOrMakeMonthFolder) !=
        MonthFolderStart::Entered)
        return;

    if (state.LoginCancelled)
        return;
    const QString path = txFile.text();
    const Outcome outcome = uploadPath(path);
    // A path ending in "\" names a folder on purpose, and a file that went up for a host
    // without loadfunc is simply not announced: only what did not go up is reported.
    if (outcome == Outcome::NotUploaded && !path.endsWith(Backslash)) {
        m_preparation.showPointers(false);
        Platform::messageBox(QStringLiteral("File '") + path + QStringLiteral("' ") +
                                 QStringLiteral("failed to upload."),
                             Ui::Buttons::OK, Ui::Icon::Critical,
                             QStringLiteral("File Upload Status"));
    } else if (outcome == Outcome::Cancelled) {
        // What the user asked for is no failure: told as the chooser tells it.
        m_preparation.showPointers(false);
        Platform::messageBox(QStringLiteral("File Upload was cancelled by the user."),
                             Ui::Buttons::OK, Ui::Icon::Exclamation,
                             QStringLiteral("Cancel File Upload"));
        RunScope::clearCancel();
    }
}

void UploadCommand::showLocalList(const QString &path)
{
    SharedState &state = Shared();
    if (state.ConnectionFailed)
        return;
    QWidget *surface = m_preparation.control().surface;
    ListWindowPair windows(surface ? surface->window() : nullptr, ListWindowOpeners());
    const bool listed = windows.local().RefreshList(path);
    if (listed) {
        m_preparation.showPointers(false);
        windows.local().exec();
    }
    // A local folder that could not be listed leaves the login as it was.
    if (listed || state.ConnectionFailed)
        CommandPreparation::settleLoginAfterLists();
}

std::optional<bool> UploadCommand::sendFile(const QString &path, const QString &fileName)
{
    SharedState &state = Shared();
    cFTP *client = state.FtpClient.get();
    if (!client)
        return false;
    // While the file goes up the control refuses a second command; a long upload shows how
    // far it has come, and Cancel there stops it: the transfer looks for the cancel-request
    // flag while it runs and waits.
    RunScope transfer(RunScope::Transfer);
    QWidget *surface = m_preparation.control().surface;
    frmTransfer window(surface ? surface->window() : nullptr);
    bool cancelled = false;
    QObject::connect(&window, &frmTransfer::cancelRequested, [&cancelled] {
        cancelled = true;
        RunScope::requestCancel();
    });
    const bool uploaded = [&] {
        TransferFeed feed(*client, window, TransferViewPort::Direction::Up);
        return TransferRetry::run(*client, [&] {
            feed.fileStarted(fileName);
            // After a reconnect the month folder is named from the new session's login folder.
            return client->FTPUploadFile(path, MonthFolderOnServer() + Slash + fileName);
        });
    }();
    if (cancelled && !uploaded)
        return std::nullopt;
    return uploaded;
}

UploadCommand::Outcome UploadCommand::uploadPath(const QString &path)
{
    Shared().CurrentLocalPath = path;
    if (!Platform::FileSystemObject().FileExists(path)) {
        // A folder (or a pattern) goes up from the local list, file by file.
        showLocalList(path);
        return Outcome::NotUploaded;
    }

    m_preparation.showPointers(true);
    EnsureConnected();
    // A "/" separates folders in a local path too: the file goes into the month folder itself,
    // under its own name.
    const qsizetype lastSeparator =
        std::max(path.lastIndexOf(Backslash), path.lastIndexOf(QLatin1Char('/')));
    const QString fileName = lastSeparator < 0 ? QString() : path.mid(lastSeparator + 1);

    const std::optional<bool> sent = sendFile(path, fileName);
    const bool uploaded = sent.value_or(false);
    // The catalogue is the host's business: only a host that handed over its object gets it
    // rebuilt, and only that host's users are told of the upload.
    if (!uploaded || !Shared().LoadFuncObject) {
        m_preparation.showPointers(false);
        if (!sent)
            return Outcome::Cancelled;
        return uploaded ? Outcome::UploadedSilently : Outcome::NotUploaded;
    }
    const CatalogueRefresh refresh = RefreshArchive();
    m_preparation.showPointers(false);
    Platform::messageBox(QStringLiteral("File: \"") + fileName + QStringLiteral("\"") + CrLf +
                             QStringLiteral("was successfully uploaded to the webserver."),
                         Ui::Buttons::OK, Ui::Icon::Information, QStringLiteral("Upload File"));
    // The file is up; the catalogue that lists it may not be, and no window tries again.
    if (refresh == CatalogueRefresh::UploadFailed) {
        Shared().CatalogueUploadFailed = false;
        TellRefreshFailed();
    }
    return Outcome::Announced;
}
