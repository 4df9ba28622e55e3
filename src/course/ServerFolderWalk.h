#pragma once

#include <QSet>
#include <QString>

#include <functional>
#include <optional>

class cFTP;

// Sums the sizes of all files below a server folder through an FTP client. Each folder is
// entered by its absolute path and listed once: a level keeps its sub-folders' names while the
// walk goes down into them, so a tree costs one listing per folder. The first folder
// must be exactly where the client then stands; a folder below it may stand under another
// name (a server that resolves a link says where the link leads). A folder is counted once in
// a walk: one met again, under the path the walk gave it or under the path the server reports
// for it, counts nothing, so links to a folder already walked (a loop back to an ancestor
// among them) are not followed on servers that report where a link leads. On servers that
// report the link's own path, a loop makes ever deeper paths: the walk ends MaxDepth levels
// down, and two loops make paths without number at every level: the walk ends after
// MaxFolders folders. Every file the server lists counts, also one whose name differs from
// another's only in case, with its whole size; sizes are summed in 64 bits, and a caller that keeps
// a narrower total limits it itself.
class ServerFolderWalk
{
public:
    // No site goes this deep; a deeper folder means a server whose folders go on without end.
    static constexpr int MaxDepth = 64;
    // Nor this many folders; more mean folders that lead back into each other.
    static constexpr int MaxFolders = 10000;
    // A session lost under a measuring is brought back this often at most: a server that drops
    // or stalls every listing is not asked for ever.
    static constexpr int Reconnections = 2;

    enum class Outcome {
        Counted,
        NotEntered,   // a folder could not be entered while the session stood
        Stopped,      // the caller's rules asked to stop
        Disconnected, // the session was lost and not brought back
        TooDeep,      // a folder lay more than MaxDepth levels below the first one
        TooMany,      // more than the rules' mostFolders folders were walked
        NotListed,    // a folder's listing failed (the client's listing error says why)
    };

    struct Result
    {
        Outcome outcome = Outcome::Counted;
        qint64 bytes = 0;      // what was counted, also when the walk ended early
        QString unlisted = {}; // the folder whose listing failed
    };

    // What a caller adds to the walk; each part may be left out.
    struct Rules
    {
        // Asked before each folder is entered; false ends the walk.
        std::function<bool()> beforeFolder = {};
        // Asked before each entry of a listing, and when a folder could not be entered or
        // listed; false ends the walk, without bringing a lost session back.
        std::function<bool()> goesOn = {};
        // Asked when the session was lost on the way: true once it stands again, and the folder
        // is entered and listed once more. Without it a lost session reads as a folder that
        // cannot be entered.
        std::function<bool()> reconnect = {};
        // Told the total of every folder counted whole.
        std::function<void(const QString &folder, qint64 bytes)> counted = {};
        // How many folders the walk lists before it ends as TooMany.
        int mostFolders = MaxFolders;
    };

    ServerFolderWalk(cFTP &client, Rules rules);

    Result walk(const QString &folder);

    // The path of an entry of a folder, as the walk names the folders it counts.
    static QString entryPath(const QString &folder, const QString &name);

private:
    struct Contents;

    // Counts one folder, depth levels below the first, and through itself the folders below
    // it, adding what it counted to bytes (also when the walk ends early).
    Outcome count(const QString &folder, int depth, qint64 &bytes);
    // Lists the folder the client stands in into contents, bringing a lost session back and
    // entering the folder again when the rules can: nothing once listed (an empty folder too),
    // else why the walk ends.
    std::optional<Outcome> list(const QString &folder, bool exactly, Contents &contents);
    // Enters the folder, bringing a lost session back first when the rules can: nothing once
    // the client stands in it (exactly there, or anywhere the server names), with where the
    // server says it stands in standing; else why the walk ends.
    std::optional<Outcome> enter(const QString &folder, bool exactly, QString &standing);
    // After a folder could not be entered or listed: nothing once a lost session stands
    // again, else why the walk ends (the failure itself, unless the rules stopped the walk or
    // could not bring the session back).
    std::optional<Outcome> unlessBroughtBack(Outcome failure);
    bool stopped() const;
    // Notes a folder as walked under both of its paths; false when it was walked before.
    bool firstVisit(const QString &folder, const QString &standing);
    bool sessionLost();

    cFTP &m_client;
    Rules m_rules;
    QSet<QString> m_walked;
    int m_listed = 0;
    QString m_unlisted;
};
