#include "operations/LocalRename.h"

#include "course/ArchiveCatalogue.h"
#include "course/ConnectionPaths.h"
#include "course/FileTypes.h"
#include "course/RunScope.h"
#include "course/ServerFolders.h"
#include "course/SharedState.h"
#include "operations/ExitableWait.h"
#include "operations/NameTaken.h"
#include "platform/FileSystemObject.h"
#include "platform/Ui.h"
#include "transport/cDirList.h"
#include "transport/cFTP.h"

#include <optional>

using Platform::Ui;

namespace {

void tell(const QString &text, Ui::Icon icon, const QString &title = {})
{
    Platform::messageBox(text, Ui::Buttons::OK, icon, title);
}

void hourglass(bool on)
{
    Platform::setMousePointer(on ? Ui::Pointer::Hourglass : Ui::Pointer::Default);
}

// A window's text, naming the file where it has a place for the name.
QString naming(const QString &text, const QString &name)
{
    return text.contains(QLatin1String("%1")) ? text.arg(name) : text;
}

// The entry of the server's current folder that a name names in any case: the lists hold a
// name once in any case, and two such files would come down to one local file. The name itself
// when the server could not tell; nothing when it is free.
std::optional<QString> takenOnServer(cFTP &client, const QString &name)
{
    const std::shared_ptr<cDirList> listing = client.GetDirectoryListing(QStringLiteral("*"));
    if (!client.ListingError().isEmpty())
        return name;
    if (const cDirItem *entry = listing ? listing->Item(name) : nullptr)
        return entry->Filename;
    return std::nullopt;
}

} // namespace

LocalRename::LocalRename(QString folder, Texts texts, std::function<void(bool)> archiveNotice,
                         ListWindowPort *waitIn)
    : m_folder(std::move(folder))
    , m_texts(std::move(texts))
    , m_archiveNotice(std::move(archiveNotice))
    , m_waitIn(waitIn)
{}

bool LocalRename::onServer(
    const std::function<void(const std::function<bool()> &stopped)> &commands) const
{
    if (!m_waitIn) {
        commands([] { return false; });
        return true;
    }
    const ExitableWait wait(*m_waitIn);
    commands([&wait] { return wait.stopped(); });
    return !wait.stopped();
}

LocalRename::Outcome LocalRename::renameLocally(const QString &oldName, QString &newName) const
{
    const Platform::FileSystemObject fso;
    const std::optional<Platform::FsoFile> file = fso.GetFile(m_folder + oldName);
    if (file && (file->Attributes() & Platform::FsoFile::ReadOnly)) {
        tell(QStringLiteral("File is marked as Read Only\r\nCancelling operation."),
             Ui::Icon::Critical, QStringLiteral("Rename Aborted"));
        return Outcome::Refused;
    }
    const std::optional<QString> answer =
        Ui::instance().inputBox(QStringLiteral("'%1'\r\nNew Filename:").arg(oldName),
                                QStringLiteral("Rename a file"), oldName);
    if (!answer || answer->isEmpty())
        return Outcome::Refused;
    if (IsFolderReference(*answer) || !IsValidName(*answer, m_texts.allowedCharacters)) {
        tell(QStringLiteral("Bad Data.\r\nPlease check your data for valid characters."),
             Ui::Icon::Critical, QStringLiteral("Input Text Validation"));
        return Outcome::Refused;
    }
    if (!ExtensionAllowed(ExtensionOf(*answer))) {
        tell(m_texts.extensionDenied, Ui::Icon::Critical, m_texts.extensionDeniedTitle);
        return Outcome::ExtensionDenied;
    }
    if (answer->compare(oldName, Qt::CaseInsensitive) == 0) {
        tell(QStringLiteral("Please enter a unique name."), Ui::Icon::Critical,
             QStringLiteral("Same Name"));
        return Outcome::Refused;
    }
    // A file of the new name (in any case, as the drive finds names) stays as it is: the
    // user learns which one it is before anything is renamed.
    if (fso.FileExists(m_folder + *answer) || fso.FolderExists(m_folder + *answer)) {
        tell(NameTaken::locally(*answer), Ui::Icon::Critical, QStringLiteral("Rename Aborted"));
        return Outcome::Refused;
    }
    // The move refuses to replace a file of the new name that came meanwhile.
    if (const QString why = fso.MoveFile(m_folder + oldName, m_folder + *answer); !why.isEmpty()) {
        tell(QStringLiteral("File: %1 could not be renamed\r\non the local computer: %2")
                 .arg(oldName, why),
             Ui::Icon::Critical, QStringLiteral("Rename Aborted"));
        return Outcome::Refused;
    }
    newName = *answer;
    return Outcome::Renamed;
}

void LocalRename::offerServerRename(const QString &oldName, const QString &newName) const
{
    SharedState &shared = Shared();
    cFTP &client = *shared.FtpClient;
    std::optional<qint32> size;
    if (!onServer([&](const auto &stopped) { size = MonthFolderFileSize(oldName, stopped); }))
        return;
    shared.RemoteDir = ConnectionPaths::underHomeDir(shared.HomeDir, shared.RemoteDir);
    shared.WebRoot = ConnectionPaths::underHomeDir(shared.HomeDir, shared.WebRoot);
    hourglass(false);
    // Outside the month folder no name is looked at, nor renamed.
    if (size.value_or(0) < 1) {
        tell(naming(m_texts.renamedLocally, oldName), Ui::Icon::Information,
             m_texts.renamedLocallyTitle);
        return;
    }
    if (Platform::messageBox(m_texts.serverQuestion, Ui::Buttons::YesNo, Ui::Icon::Question,
                             QStringLiteral("Rename File on Website")) != Ui::Answer::Yes)
        return;
    // The user may have answered after the server closed the idle session.
    bool entered = false;
    std::optional<QString> taken;
    if (!onServer([&](const auto &stopped) {
            entered = StartInMonthFolder(EnterMonthFolder, stopped) == MonthFolderStart::Entered;
            if (entered && !stopped())
                taken = takenOnServer(client, newName);
        }) ||
        !entered)
        return;
    const QString folder = MonthFolderOnServer();
    if (taken) {
        tell(NameTaken::onServer(*taken), Ui::Icon::Critical,
             QStringLiteral("Rename File on Website"));
        return;
    }
    hourglass(true);
    std::optional<bool> renamed = false;
    const bool ended = onServer([&](const auto &stopped) {
        if (EnterMonthFolder() && !stopped())
            renamed = RenameServerFile(folder, oldName, newName, stopped);
    });
    if (!ended || renamed != true) {
        hourglass(false);
        // Exit came while the server had the rename, which it may have carried out: the
        // catalogue would name the old file.
        if (!ended && renamed != false)
            TellRefreshFailed();
        return;
    }
    if (shared.DvValue > 0) {
        // A stop does not cut the refresh short on every channel: it then counts as a
        // running transfer.
        if (!client.stopClosesSession())
            RunScope::markTransfer();
        m_archiveNotice(true);
        const bool refreshed =
            onServer([](const auto &stopped) { RefreshArchiveAndReport(stopped); });
        m_archiveNotice(false);
        if (!refreshed) {
            hourglass(false);
            return;
        }
    }
    hourglass(false);
    tell(naming(m_texts.renamedOnServer, oldName), Ui::Icon::Information,
         m_texts.renamedOnServerTitle);
}
