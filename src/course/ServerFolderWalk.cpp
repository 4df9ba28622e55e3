#include "course/ServerFolderWalk.h"

#include "transport/cDirList.h"
#include "transport/cFTP.h"

#include <memory>

namespace {

const QLatin1Char Slash('/');

// The size of a listing entry: the listing keeps the low 32 bits of a file's size, which read
// unsigned are right up to 4 GiB.
qint64 entrySize(const cDirItem &entry)
{
    return qint64(quint32(entry.FileSize));
}

bool namesAFolderItself(const QString &name)
{
    return name == QLatin1String(".") || name == QLatin1String("..");
}

} // namespace

ServerFolderWalk::ServerFolderWalk(cFTP &client, Rules rules)
    : m_client(client)
    , m_rules(std::move(rules))
{}

ServerFolderWalk::Result ServerFolderWalk::walk(const QString &folder)
{
    Result result;
    result.outcome = count(folder, result.bytes);
    return result;
}

ServerFolderWalk::Outcome ServerFolderWalk::count(const QString &folder, qint64 &bytes)
{
    if (m_rules.beforeFolder && !m_rules.beforeFolder())
        return Outcome::Stopped;
    // Held here: the walk into a sub-folder replaces the client's listing, not this one.
    std::shared_ptr<cDirList> entries;
    for (;;) {
        if (const std::optional<Outcome> failure = enter(folder))
            return *failure;
        entries = m_client.GetDirectoryListing(QStringLiteral("*"));
        // No listing is an empty folder, unless the session went down under it.
        if (entries || !m_rules.reconnect || !sessionLost())
            break;
        if (!m_rules.reconnect())
            return Outcome::Disconnected;
    }

    const cDirList none;
    const cDirList &listed = entries ? *entries : none;
    qint64 total = 0;
    for (const cDirItem &entry : listed) {
        if (m_rules.goesOn && !m_rules.goesOn()) {
            bytes += total;
            return Outcome::Stopped;
        }
        if (namesAFolderItself(entry.Filename))
            continue;
        if (!entry.Directory) {
            total += entrySize(entry);
            continue;
        }
        if (const Outcome below = count(entryPath(folder, entry.Filename), total);
            below != Outcome::Counted) {
            bytes += total;
            return below;
        }
    }
    if (m_rules.counted)
        m_rules.counted(folder, total);
    bytes += total;
    return Outcome::Counted;
}

std::optional<ServerFolderWalk::Outcome> ServerFolderWalk::enter(const QString &folder)
{
    for (;;) {
        if (m_rules.reconnect && sessionLost() && !m_rules.reconnect())
            return Outcome::Disconnected;
        if (m_client.SetFTPDirectory(folder) && m_client.GetFTPDirectory() == folder)
            return std::nullopt;
        // A session lost on the way is brought back, and the folder entered again.
        if (!m_rules.reconnect || !sessionLost())
            return Outcome::NotEntered;
    }
}

QString ServerFolderWalk::entryPath(const QString &folder, const QString &name)
{
    return folder.endsWith(Slash) ? folder + name : folder + Slash + name;
}

bool ServerFolderWalk::sessionLost()
{
    return m_client.GetFTPDirectory().isEmpty();
}
