#pragma once

#include "lists/FileListWindow.h"
#include "operations/RemoteFolderListing.h"

#include <functional>

// The "Remote Drive" window: the files of the course's month folder on the server, copied
// down, deleted and renamed there, and viewed.
class frmServer : public FileListWindow
{
    Q_OBJECT

public:
    explicit frmServer(QWidget *parent = nullptr);

    // What the window opens but does not own: the about box, the viewer of a fetched file,
    // and the twin over the local folder (with the name to preselect there).
    struct Openers
    {
        std::function<void(QWidget *parent)> aboutBox;
        std::function<void(QWidget *parent, const QString &dosPath)> viewer;
        std::function<void(const QString &localFolder, const QString &selectedName)> localList;
    };
    void setOpeners(Openers openers);

    // Lists the month folder, comparing it with a local path (folder, "\" and optionally a
    // name to preselect). Unless listed, the window gave up and closed: no session, or a session
    // in another folder than the month folder; or Exit ended a wait for the server. The Exit of
    // waitIn (the local twin, listing this one for its total) ends those waits when given, else
    // this window's; a window that has yet to open shows if the listing keeps the user waiting.
    RemoteFolderListing::Outcome listMonthFolder(const QString &path,
                                                 FileListWindow *waitIn = nullptr);
    bool RefreshList(const QString &path)
    {
        return listMonthFolder(path) == RemoteFolderListing::Outcome::Listed;
    }
    bool refreshList() override { return RefreshList(m_localPath); }

    QString localFolder() const { return m_localFolder; }

Q_SIGNALS:
    // The size of every listed file, which the local twin counts against the capacity.
    void serverTotalChanged(qint64 bytes);

protected:
    void buttonPressed(int index) override;
    void altKeyPressed(int index) override;
    void showTotals(const FileListModel::Totals &totals) override;
    void beforeClose(bool byUser) override;
    void operationsEnded() override;

private:
    void viewSelected();
    void uploadCatalogueAfterFailedRefresh();

    Openers m_openers;
    QString m_localPath;
    QString m_localFolder;
    bool m_loaded = false;
    bool m_uploadCatalogueAfterOperation = false;
};
