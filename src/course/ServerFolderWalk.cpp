#include "course/ServerFolderWalk.h"

#include "transport/Entry.h"
#include "transport/cFTP.h"

#include <QStringList>
#include <QtNumeric>

#include <limits>

namespace {

const QLatin1Char Slash('/');

bool namesAFolderItself(const QString &name)
{
    return name == QLatin1String(".") || name == QLatin1String("..");
}

// Adds a size as the server tells it: a size below 0 counts nothing, and a sum beyond 64 bits
// stays at the largest.
void add(qint64 &sum, qint64 size)
{
    if (size > 0 && qAddOverflow(sum, size, &sum))
        sum = std::numeric_limits<qint64>::max();
}

} // namespace

// What the walk keeps of a folder's listing: the files' sizes in full, summed as the listing
// arrives, and the names of its folders, walked once the listing has ended.
struct ServerFolderWalk::Contents
{
    qint64 fileBytes = 0;
    QStringList folders;
};

ServerFolderWalk::ServerFolderWalk(cFTP &client, Rules rules)
    : m_client(client)
    , m_rules(std::move(rules))
{}

ServerFolderWalk::Result ServerFolderWalk::walk(const QString &folder)
{
    m_walked.clear();
    m_unlisted.clear();
    m_listed = 0;
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
    if (++m_listed > m_rules.mostFolders)
        return Outcome::TooMany;
    // Held here: the walk into a sub-folder lists that folder, not this one.
    Contents contents;
    if (const std::optional<Outcome> failure = list(folder, first, contents))
        return *failure;

    qint64 total = contents.fileBytes;
    for (const QString &name : std::as_const(contents.folders)) {
        if (stopped()) {
            add(bytes, total);
            return Outcome::Stopped;
        }
        qint64 below = 0;
        const Outcome outcome = count(entryPath(folder, name), depth + 1, below);
        add(total, below);
        if (outcome != Outcome::Counted) {
            add(bytes, total);
            return outcome;
        }
    }
    if (m_rules.counted)
        m_rules.counted(folder, total);
    add(bytes, total);
    return Outcome::Counted;
}

std::optional<ServerFolderWalk::Outcome> ServerFolderWalk::list(const QString &folder, bool exactly,
                                                                Contents &contents)
{
    for (;;) {
        // Listed anew after a lost session: nothing of a listing cut short is kept.
        contents = {};
        m_client.ListEntries(QStringLiteral("*"), [&contents](Ftp::Entry &&entry) {
            if (namesAFolderItself(entry.name))
                return;
            if (entry.isDirectory)
                contents.folders.append(std::move(entry.name));
            else
                add(contents.fileBytes, entry.size);
        });
        // No listing is an empty folder, unless the listing failed.
        if (m_client.ListingError().isEmpty())
            return std::nullopt;
        // A session lost under the listing is brought back, and the folder listed again.
        if (const std::optional<Outcome> end = unlessBroughtBack(Outcome::NotListed)) {
            if (*end == Outcome::NotListed)
                m_unlisted = folder;
            return end;
        }
        QString standing;
        if (const std::optional<Outcome> failure = enter(folder, exactly, standing))
            return *failure;
    }
}

std::optional<ServerFolderWalk::Outcome> ServerFolderWalk::enter(const QString &folder,
                                                                 bool exactly, QString &standing)
{
    for (;;) {
        // A folder below the first may be entered through a link, and stand under its target's
        // path.
        const bool entered =
            exactly ? m_client.SetFTPDirectory(folder) : m_client.enterFolderThroughLinks(folder);
        if (entered) {
            standing = m_client.GetFTPDirectory();
            if (standing == folder || (!exactly && !standing.isEmpty()))
                return std::nullopt;
        }
        // A session lost before or on the way is brought back, and the folder entered again:
        // only a change that failed asks whether the session still stands.
        if (const std::optional<Outcome> end = unlessBroughtBack(Outcome::NotEntered))
            return end;
    }
}

std::optional<ServerFolderWalk::Outcome> ServerFolderWalk::unlessBroughtBack(Outcome failure)
{
    // A stop that ended the wait for the server also ended the session: the failure is the
    // stop's, and no session is opened again after it.
    if (stopped())
        return Outcome::Stopped;
    if (!m_rules.reconnect || !sessionLost())
        return failure;
    if (!m_rules.reconnect())
        return Outcome::Disconnected;
    return std::nullopt;
}

bool ServerFolderWalk::stopped() const
{
    return m_rules.goesOn && !m_rules.goesOn();
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
