#pragma once

#include <QString>
#include <QTemporaryDir>

// The local copy of a server file that the viewer shows: a file named like the control's
// temporary files ("rad" and five hex digits) with the server file's extension, inside a
// folder of its own that only the user can enter. A page fetched with its companion folder
// finds it beside itself there, and sees nothing else of the disk next to it. The folder goes,
// with everything in it, when the copy goes.
class ViewCopy
{
public:
    // extension: the server file's, with its dot; empty for a name without one.
    explicit ViewCopy(const QString &extension);

    ViewCopy(const ViewCopy &) = delete;
    ViewCopy &operator=(const ViewCopy &) = delete;

    // Whether the folder could be made; errorString() says why not.
    bool isValid() const;
    QString errorString() const;
    // The DOS path to fetch the file to and to show.
    QString dosPath() const;

private:
    QTemporaryDir m_folder;
    QString m_dosPath;
};
