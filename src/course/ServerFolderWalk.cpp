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
    m_walked.clear();
    m_unlisted.clear();
    Result result;
    result.outcome = count(folder, 0, result.bytes);
    result.unlisted = m_unlisted;
    return result;
}

ServerFolderWalk::Outcome ServerFolderWalk::count(const QString &folder, int depth, qint64 &bytes)
{
    if (depth > MaxDepth)
        return Outcome::TooDeep;
    if (m_rules.beforeFolder && !m_rules.beforeFolder())
        return Outcome::Stopped;
    const bool first = depth == 0;
    QString standing;
    if (const std::optional<Outcome> failure = enter(folder, first, standing))
        return *failure;
    if (!firstVisit(folder, standing))
        return Outcome::Counted;
    // Held here: the walk into a sub-folder replaces the client's listing, not this one.
    std::shared_ptr<cDirList> entries;
    if (const std::optional<Outcome> failure = list(folder, first, entries))
        return *failure;

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
        if (const Outcome below = count(entryPath(folder, entry.Filename), depth + 1, total);
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

std::optional<ServerFolderWalk::Outcome> ServerFolderWalk::list(const QString &folder, bool exactly,
                                                                std::shared_ptr<cDirList> &entries)
{
    for (;;) {
        entries = m_client.GetDirectoryListing(QStringLiteral("*"));
        // No listing is an empty folder, unless the listing failed.
        if (m_client.ListingError().isEmpty())
            return std::nullopt;
        // A session lost under the listing is brought back, and the folder listed again.
        if (!m_rules.reconnect || !sessionLost()) {
            m_unlisted = folder;
            return Outcome::NotListed;
        }
        if (!m_rules.reconnect())
            return Outcome::Disconnected;
        QString standing;
        if (const std::optional<Outcome> failure = enter(folder, exactly, standing))
            return *failure;
    }
}

std::optional<ServerFolderWalk::Outcome> ServerFolderWalk::enter(const QString &folder,
                                                                 bool exactly, QString &standing)
{
    for (;;) {
        if (m_rules.reconnect && sessionLost() && !m_rules.reconnect())
            return Outcome::Disconnected;
        if (m_client.SetFTPDirectory(folder)) {
            standing = m_client.GetFTPDirectory();
            if (standing == folder || (!exactly && !standing.isEmpty()))
                return std::nullopt;
        }
        // A session lost on the way is brought back, and the folder entered again.
        if (!m_rules.reconnect || !sessionLost())
            return Outcome::NotEntered;
    }
}

bool ServerFolderWalk::firstVisit(const QString &folder, const QString &standing)
{
    const bool walkedBefore = m_walked.contains(folder) || m_walked.contains(standing);
    m_walked.insert(folder);
    m_walked.insert(standing);
    return !walkedBefore;
}

QString ServerFolderWalk::entryPath(const QString &folder, const QString &name)
{
    return folder.endsWith(Slash) ? folder + name : folder + Slash + name;
}

bool ServerFolderWalk::sessionLost()
{
    return m_client.GetFTPDirectory().isEmpty();
}
