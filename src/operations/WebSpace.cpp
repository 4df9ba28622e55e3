#include "operations/WebSpace.h"

#include "course/ConnectionPaths.h"
#include "course/LocalPaths.h"
#include "course/RunScope.h"
#include "course/ServerFolders.h"
#include "course/SharedState.h"
#include "platform/NumberText.h"
#include "platform/Ui.h"
#include "transport/cFTP.h"

#include <limits>

using Platform::Ui;

namespace {

constexpr qint64 MegabytesFrom = 100000;
// A label shows a total of 32 bits; beyond them it shows the largest.
constexpr qint64 LargestShown = std::numeric_limits<qint32>::max();

void showHourglass()
{
    if (Ui::instance().mousePointer() != Ui::Pointer::Hourglass)
        Platform::setMousePointer(Ui::Pointer::Hourglass);
}

// What the user is told of a walk that ended without its total.
struct Notice
{
    QString text;
    Ui::Icon icon;
    QString title;
};

std::optional<Notice> noticeFor(const ServerFolderWalk::Result &walked, const QString &folder,
                                const QString &listingError)
{
    switch (walked.outcome) {
    case ServerFolderWalk::Outcome::NotEntered:
        return Notice{QStringLiteral("Bad Directory."), Ui::Icon::Critical,
                      QStringLiteral("Error")};
    case ServerFolderWalk::Outcome::TooDeep:
        return Notice{
            QStringLiteral("The folders inside %1 go more than %2 levels deep, so Web Space "
                           "stopped measuring.\r\nA folder there may lead back into itself.")
                .arg(folder, QString::number(ServerFolderWalk::MaxDepth)),
            Ui::Icon::Exclamation, QStringLiteral("Web Space")};
    case ServerFolderWalk::Outcome::TooMany:
        return Notice{QStringLiteral("The folders inside %1 are more than %2, so Web Space stopped "
                                     "measuring.\r\nA folder there may lead back into itself.")
                          .arg(folder, QString::number(ServerFolderWalk::MaxFolders)),
                      Ui::Icon::Exclamation, QStringLiteral("Web Space")};
    case ServerFolderWalk::Outcome::NotListed:
        return Notice{QStringLiteral("The files of %1 cannot be listed, so Web Space stopped "
                                     "measuring.\r\n%2")
                          .arg(walked.unlisted, listingError.trimmed()),
                      Ui::Icon::Critical, QStringLiteral("Web Space")};
    default:
        return std::nullopt; // counted, stopped by the user, or the status window told
    }
}

} // namespace

WebSpace::WebSpace(Window window)
    : m_window(std::move(window))
{
    // The month is the remote directory's last folder, also when it ends in "/".
    const QString &remoteDir = Shared().RemoteDir;
    m_monthFolder = remoteDir.contains(u'/') ? SplitRemotePath(remoteDir).MonthFolder : QString();
    RunScope::requestStop();
}

WebSpace::Outcome WebSpace::measure(const Ticked &ticked)
{
    if (m_measuring)
        return Outcome::Stopped;
    m_measuring = true;
    placeLevels();
    m_window.showBusy(true);
    m_totals.fill(std::nullopt);
    m_reconnections = 0;
    const RunScope walk(RunScope::Measuring);

    Outcome outcome = Outcome::Measured;
    for (int level = Site; level < LevelCount && outcome == Outcome::Measured; ++level) {
        if (!ticked.at(level))
            continue;
        std::optional<qint64> &total = m_totals.at(level);
        if (!total) {
            const ServerFolderWalk::Result walked = getWSize(m_folders.at(level));
            if (walked.outcome == ServerFolderWalk::Outcome::Stopped ||
                walked.outcome == ServerFolderWalk::Outcome::TooDeep ||
                walked.outcome == ServerFolderWalk::Outcome::TooMany ||
                walked.outcome == ServerFolderWalk::Outcome::NotListed) {
                // A part of the level is no total of it: nothing is shown.
                outcome = Outcome::Stopped;
                break;
            }
            if (walked.outcome != ServerFolderWalk::Outcome::Counted) {
                outcome = Outcome::Failed;
                break;
            }
            total = walked.bytes;
        }
        m_window.showTotal(Level(level), *total);
        if (RunScope::stopRequested())
            outcome = Outcome::Stopped;
    }
    m_measuring = false;
    showNormalPointers();
    return outcome;
}

bool WebSpace::exitPressed()
{
    showNormalPointers();
    if (RunScope::stopRequested())
        return true;
    stopWalk();
    return false;
}

void WebSpace::closing()
{
    showNormalPointers();
    stopWalk();
}

void WebSpace::stopWalk()
{
    RunScope::requestStop();
    // Between folders the walk sees the stop itself, and the session stays. Anywhere else the
    // walk waits for the server: the wait ends at once, closing a plain session; the walk
    // then ends without opening another.
    if (!m_measuring || m_betweenFolders)
        return;
    if (cFTP *client = Shared().FtpClient.get())
        client->stopTransfer();
}

QString WebSpace::totalText(qint64 total)
{
    const qint64 bytes = qMin(total, LargestShown);
    if (bytes >= MegabytesFrom)
        return Platform::NumberText::grouped(double(bytes) / 1000000.0, 1, 1) +
               QStringLiteral(" MB  ");
    return Platform::NumberText::grouped(double(bytes) / 1000.0, 1, 1) + QStringLiteral(" KB  ");
}

void WebSpace::placeLevels()
{
    SharedState &state = Shared();
    state.WebRoot = ConnectionPaths::underHomeDir(state.HomeDir, state.WebRoot);
    const QString course = ServerFolderWalk::entryPath(state.WebRoot, state.CourseName);
    const QString archive = ServerFolderWalk::entryPath(course, state.ArchiveName);
    m_folders = {state.HomeDir, state.WebRoot, course, archive,
                 ServerFolderWalk::entryPath(archive, m_monthFolder)};
}

ServerFolderWalk::Result WebSpace::getWSize(const QString &folder)
{
    cFTP *client = Shared().FtpClient.get();
    if (!client)
        return {ServerFolderWalk::Outcome::Disconnected, 0};
    // The plain channel's waits let the messages run, so that Exit and the close box reach the
    // walk while the server keeps it waiting.
    const cFTP::InterruptibleCommands interruptible(*client);
    ServerFolderWalk walk(*client,
                          {
                              .beforeFolder = [this] { return beforeFolder(); },
                              .goesOn = [] { return !RunScope::stopRequested(); },
                              .reconnect = [this] { return reconnect(); },
                              .counted = [this](const QString &counted,
                                                qint64 bytes) { keepLevelTotals(counted, bytes); },
                          });
    const ServerFolderWalk::Result walked = walk.walk(folder);
    if (const std::optional<Notice> notice = noticeFor(walked, folder, client->ListingError())) {
        showNormalPointers();
        Platform::messageBox(notice->text, Ui::Buttons::OK, notice->icon, notice->title);
    }
    return walked;
}

bool WebSpace::beforeFolder()
{
    m_betweenFolders = true;
    m_window.pumpMessages();
    m_betweenFolders = false;
    if (RunScope::stopRequested())
        return false;
    showHourglass();
    m_window.showBusy(true);
    return true;
}

bool WebSpace::reconnect()
{
    if (m_reconnections == ServerFolderWalk::Reconnections)
        return false;
    ++m_reconnections;
    showHourglass();
    // The status window places the web root before the host product's folder; the levels
    // keep the folders they measure.
    const QString webRoot = Shared().WebRoot;
    const bool connected = EnsureConnected();
    Shared().WebRoot = webRoot;
    // The status window has told the user when it could not connect.
    return connected;
}

void WebSpace::keepLevelTotals(const QString &folder, qint64 bytes)
{
    for (int level = Site; level < LevelCount; ++level) {
        if (folder == m_folders.at(level))
            m_totals.at(level) = bytes;
    }
}

void WebSpace::showNormalPointers()
{
    Platform::setMousePointer(Ui::Pointer::Default);
    m_window.showBusy(false);
}
