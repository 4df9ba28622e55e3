#pragma once

#include "course/EditorFolders.h"
#include "lists/FileListWindow.h"
#include "operations/EditCommands.h"
#include "operations/RemoteFolderListing.h"

#include <functional>

// The "Local Drive" window: the files of a local folder, copied up to the course's month
// folder under the capacity limit, deleted and renamed there. The twin of the remote list.
class frmServerUp : public FileListWindow
{
    Q_OBJECT

public:
    explicit frmServerUp(QWidget *parent = nullptr);

    // What the window opens but does not own: the about box and the remote twin (with the
    // path whose name to preselect there); and the remote list listed again, with the waits for
    // the server ended by the Exit of waitIn.
    struct Openers
    {
        std::function<void(QWidget *parent)> aboutBox;
        std::function<void(const QString &path)> remoteList;
        std::function<RemoteFolderListing::Outcome(FileListWindow &waitIn)> refreshRemote;
    };
    void setOpeners(Openers openers);

    // Lists a local folder: path is the folder, "\", and a file name, "*", "*.*" or nothing;
    // a file name lists that file alone. False when the folder cannot be read, or when the
    // window closed as the server's files could not be listed for the capacity (no session, or
    // Exit ended the wait for them).
    bool RefreshList(const QString &path);
    bool refreshList() override { return RefreshList(m_localFolder + m_namePart); }
    // The row of that name is selected at the next listing (the remote window hands it over).
    void setNameToPreselect(const QString &name) { m_nameToPreselect = name; }
    // The size of the files the remote list shows, which counts against the capacity.
    void setServerTotal(qint64 bytes);
    // The checked files and the server's go beyond the capacity limit.
    bool overCapacity() const;

protected:
    void buttonPressed(int index) override;
    void showTotals(const FileListModel::Totals &totals) override;
    void showEvent(QShowEvent *event) override;

private:
    void openSelected(EditCommands::Program program);
    void copyUp();
    // The remote list again, so that the server's size against the capacity is current; false
    // when the window closed: without a session, or by Exit in the wait for the server.
    bool refreshServerTotal();

    Openers m_openers;
    EditorFolders m_editorFolders;
    QString m_localFolder;
    QString m_namePart;
    QString m_nameToPreselect;
    qint64 m_serverTotal = 0;
    qint64 m_checkedTotal = 0;
};
