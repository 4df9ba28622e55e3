#pragma once

#include <QString>

#include <functional>
#include <optional>

class cFTP;

// Sums the sizes of all files below a server folder, at any depth, through an FTP client. Each
// folder is entered by its absolute path, checked to be where the client then stands, and
// listed once: a level keeps its own listing while the walk goes down into its sub-folders,
// so a tree costs one listing per folder. Sizes are summed in 64 bits; a caller that keeps a
// narrower total limits it itself.
class ServerFolderWalk
{
public:
    enum class Outcome {
        Counted,
        NotEntered,   // a folder could not be entered while the session stood
        Stopped,      // the caller's rules asked to stop
        Disconnected, // the session was lost and not brought back
    };

    struct Result
    {
        Outcome outcome = Outcome::Counted;
        qint64 bytes = 0; // what was counted, also when the walk ended early
    };

    // What a caller adds to the walk; each part may be left out.
    struct Rules
    {
        // Asked before each folder is entered; false ends the walk.
        std::function<bool()> beforeFolder = {};
        // Asked before each entry of a listing; false ends the walk.
        std::function<bool()> goesOn = {};
        // Asked when the session was lost on the way: true once it stands again, and the folder
        // is entered and listed once more. Without it a lost session reads as a folder that
        // cannot be entered.
        std::function<bool()> reconnect = {};
        // Told the total of every folder counted whole.
        std::function<void(const QString &folder, qint64 bytes)> counted = {};
    };

    ServerFolderWalk(cFTP &client, Rules rules);

    Result walk(const QString &folder);

    // The path of an entry of a folder, as the walk names the folders it counts.
    static QString entryPath(const QString &folder, const QString &name);

private:
    // Counts one folder and, through itself, the folders below it, adding what it counted to
    // bytes (also when the walk ends early).
    Outcome count(const QString &folder, qint64 &bytes);
    // Enters the folder, bringing a lost session back first when the rules can: nothing once
    // the client stands in it, else why the walk ends.
    std::optional<Outcome> enter(const QString &folder);
    bool sessionLost();

    cFTP &m_client;
    Rules m_rules;
};
