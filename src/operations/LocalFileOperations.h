#pragma once

#include "operations/FileListOperations.h"
#include "operations/LocalRename.h"

#include <QString>

// The operations of the local file list on the folder it lists: copy the checked files up to
// the server under the capacity limit, delete the checked files, and rename the selected file
// (and, when asked, the file of that name on the server).
class LocalFileOperations : public FileListOperations
{
public:
    // localFolder: the DOS folder the list shows, ending in "\".
    LocalFileOperations(ListWindowPort &window, const QString &localFolder);

    // overCapacity: the checked files and the server's would go beyond the capacity limit.
    // Whether any file went up, which changes the server's total.
    bool copyUp(bool overCapacity);
    void deleteChecked();
    void renamefile();

private:
    Attempt uploadChecked(int row);
    // The server folder the list uploads into, under the login folder.
    static QString serverFolder();
    static LocalRename::Texts renameTexts();

    QString m_localFolder;
};
