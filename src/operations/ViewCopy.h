#pragma once

#include <QString>
#include <QTemporaryDir>

// The local copy of a server file that the viewer shows, under the server file's own name
// inside a folder of its own that only the user can enter. A page fetched with its companion
// folder finds it beside itself there, reaches itself by its own name (links to its parts,
// scripts that read its address) and sees nothing else of the disk next to it; the viewer's
// caption names the file the user chose. The folder goes, with everything in it, when the copy
// goes.
class ViewCopy
{
public:
    // fileName: the server file's name. One that is no plain local name (a server may name a
    // file "..\x", though the lists never show it) gives a temporary name of the control's
    // kind ("rad" and five hex digits) instead.
    explicit ViewCopy(const QString &fileName);

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
