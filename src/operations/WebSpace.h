#pragma once

#include "course/ServerFolderWalk.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>

// What the web space window does, without widgets: measures how many bytes the files of five
// levels of the site take on the server, with the shared client. One walk may fill several
// levels: a folder of a level met on a wider walk keeps its total, and is not walked again in
// the same measuring. The shared stop flag is set while nothing runs; Exit and the close box
// set it to end a running walk before its next folder or entry, and end a wait of the walk for
// the server of a plain session at once.
class WebSpace
{
public:
    // In the order they are measured, the widest first.
    enum Level { Site, Dovrelle, Course, Archive, Month };
    static constexpr int LevelCount = 5;
    using Ticked = std::array<bool, LevelCount>;

    enum class Outcome {
        Measured, // every ticked level has its total
        Stopped,  // Exit or the close box ended the walk, or a folder could not be measured:
                  // the folders went too deep, or a listing failed (the user was told)
        Failed,   // the window must close: a folder could not be entered (the user was told),
                  // or the session was lost for good
    };

    // What the measuring needs of its window.
    struct Window
    {
        // Lets the window's messages run; called before every folder, so that Exit and the
        // close box act while a walk runs.
        std::function<void()> pumpMessages;
        // The window's own pointer: the hourglass while the walk runs.
        std::function<void(bool busy)> showBusy;
        // A level's total, to be shown at once: its label as totalText() writes it, the
        // exact number of bytes beside it.
        std::function<void(Level level, qint64 bytes)> showTotal;
    };

    // Nothing runs yet: the stop flag is set.
    explicit WebSpace(Window window);

    // The month folder: the last folder of the control's remote directory.
    QString monthFolder() const { return m_monthFolder; }

    // The OK button: every ticked level measured anew, in order. A measuring that runs already
    // is left alone.
    Outcome measure(const Ticked &ticked);
    // The Exit button: true when nothing runs and the window may close; otherwise the running
    // walk is asked to end.
    bool exitPressed();
    // The window closes: a running walk ends.
    void closing();

    // A total as a label shows it: kilobytes below 100,000 bytes, megabytes from there on,
    // one decimal, two blanks after the unit; a total beyond 2^31 - 1 bytes as that one.
    static QString totalText(qint64 total);

private:
    // The server folders the levels measure, below the login folder.
    void placeLevels();
    ServerFolderWalk::Result getWSize(const QString &folder);
    bool beforeFolder();
    void stopWalk();
    bool reconnect();
    void keepLevelTotals(const QString &folder, qint64 bytes);
    void showNormalPointers();

    Window m_window;
    QString m_monthFolder;
    std::array<QString, LevelCount> m_folders;
    // The levels' totals within one measuring; a level met on a walk has one.
    std::array<std::optional<qint64>, LevelCount> m_totals;
    int m_reconnections = 0;
    bool m_measuring = false;
    bool m_betweenFolders = false; // the window's messages run before the next folder
};
