#pragma once

#include <QString>

#include <functional>

class ListWindowPort;

// Renames a local file of the course and, when the user wants it, the file of that name in
// the month folder on the server: the read-only check, the new name asked for and checked,
// a rename that never overwrites, and the offer for the server's copy. The windows that
// rename local files word their boxes differently; the steps are the same.
class LocalRename
{
public:
    // What a window says. "%1" in a text stands for the old name.
    struct Texts
    {
        QString allowedCharacters;
        QString extensionDenied;
        QString extensionDeniedTitle;
        QString renamedLocally; // when the server has no such file
        QString renamedLocallyTitle;
        QString serverQuestion;
        QString renamedOnServer;
        QString renamedOnServerTitle;
    };

    enum class Outcome { Renamed, Refused, ExtensionDenied };

    // folder: the DOS folder of the file, ending in "\"; archiveNotice shows or hides the
    // window's notice while the catalogue is rebuilt; waitIn, when given, is the list window
    // whose Exit ends the waits for the server (ExitableWait): the rename then ends quietly.
    LocalRename(QString folder, Texts texts, std::function<void(bool shown)> archiveNotice,
                ListWindowPort *waitIn = nullptr);

    // Asks for the new name and renames the local file; newName receives it when renamed.
    Outcome renameLocally(const QString &oldName, QString &newName) const;
    // When the server has a file of the old name, offers to rename it as well and rebuilds
    // the catalogue after it; the user is told what was renamed.
    void offerServerRename(const QString &oldName, const QString &newName) const;

private:
    // Runs a stretch of server commands, handed the stop check; false when Exit ended it.
    bool onServer(const std::function<void(const std::function<bool()> &stopped)> &commands) const;

    QString m_folder;
    Texts m_texts;
    std::function<void(bool)> m_archiveNotice;
    ListWindowPort *m_waitIn;
};
