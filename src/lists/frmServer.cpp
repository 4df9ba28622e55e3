#include "lists/frmServer.h"

#include "course/ArchiveCatalogue.h"
#include "course/ConfigStore.h"
#include "course/RunScope.h"
#include "course/ServerFolders.h"
#include "course/SharedState.h"
#include "operations/RemoteFileOperations.h"
#include "operations/RemoteFolderListing.h"
#include "operations/ViewCopy.h"
#include "platform/Ui.h"
#include "transport/cFTP.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QTreeView>

using Platform::Ui;

namespace {

FileListWindow::TwinButtons buttons()
{
    return {
        {QStringLiteral("Copy &Down"), QStringLiteral("Copy Down (Alt + D)"),
         QStringLiteral("go-down")},
        Qt::Key_D,
        QStringLiteral("Rename File (Alt + R)"),
        {QStringLiteral("De&lete"), QStringLiteral("Delete (Alt + L)"),
         QStringLiteral("edit-delete")},
        Qt::Key_L,
        {QStringLiteral("  &View Local  "), QStringLiteral("View Local Files (Alt + V)"),
         QStringLiteral("drive-harddisk")},
    };
}

} // namespace

frmServer::frmServer(QWidget *parent)
    : FileListWindow(QStringLiteral("frmServer"), buttons(), parent)
{
    setWindowTitle(QStringLiteral("Remote Drive"));
    lvServer->setAccessibleName(QStringLiteral("Server files"));
    QAction *mnuExplorer = mnuEdit->addAction(QStringLiteral("View in Internet Explorer Browser"));
    mnuExplorer->setObjectName(QStringLiteral("mnuExplorer"));
    connect(mnuExplorer, &QAction::triggered, this, &frmServer::viewSelected);
}

void frmServer::setOpeners(Openers openers)
{
    m_openers = std::move(openers);
    button(OtherWindowButton)->setVisible(bool(m_openers.localList));
}

RemoteFolderListing::Outcome frmServer::listMonthFolder(const QString &path, FileListWindow *waitIn)
{
    const SharedState &shared = Shared();
    m_localPath = path;
    const qsizetype backslash = path.lastIndexOf(u'\\');
    m_localFolder = backslash < 0 ? QString() : path.left(backslash + 1);
    const QString nameToPreselect = backslash < 0 ? QString() : path.mid(backslash + 1);

    if (!m_loaded) {
        // As the window is first made: what a local path allows is decided once; the twin
        // switches the buttons off while it has the remote list open.
        m_loaded = true;
        setWindowTitle(QStringLiteral("Ftp Site:  ") + shared.SiteName);
        showSecureMark();
        lblLocal->setText(backslash < 0 ? path : m_localFolder);
        const bool noLocalPath = path.isEmpty();
        for (const int index : {int(CopyButton), int(RenameButton), int(OtherWindowButton)})
            button(index)->setEnabled(!noLocalPath &&
                                      (index != OtherWindowButton || m_openers.localList));
    }
    showRemoteFolder();

    FileListWindow &waiting = waitIn ? *waitIn : *this;
    RemoteFolderListing::Result listing = RemoteFolderListing::readInWindow(
        nameToPreselect, waiting,
        waiting.isVisible() ? ExitableWait::Window::Shown : ExitableWait::Window::ShownIfSlow);
    if (listing.outcome == RemoteFolderListing::Outcome::Stopped) {
        // Exit closed the waiting window already. When it was the local twin's, this list
        // under it would go on showing rows of a session that is gone: it closes as well.
        if (&waiting != this && isVisible())
            closeItself();
        return listing.outcome;
    }
    if (listing.outcome != RemoteFolderListing::Outcome::Listed) {
        closeItself();
        return listing.outcome;
    }
    const int preselected = model().setRows(std::move(listing.rows), listing.preselected);
    enableFileButtons();
    computeSize();
    if (!nameToPreselect.isEmpty())
        preselect(preselected);
    return listing.outcome;
}

void frmServer::buttonPressed(int index)
{
    RemoteFileOperations operations(*this, m_localFolder);
    switch (index) {
    case CopyButton:
        operations.copyDown();
        break;
    case RenameButton:
        operations.renamefile();
        break;
    case DeleteButton:
        RunScope::endTransfer();
        operations.deleteChecked();
        break;
    case CheckAllButton:
        checkAll();
        break;
    case ExitButton:
        exitWindow();
        Shared().WindowClosed = true;
        break;
    case OtherWindowButton:
        if (m_openers.localList)
            m_openers.localList(m_localFolder, model().count() > 0 && selectedRow() >= 0
                                                   ? model().row(selectedRow()).name
                                                   : QString());
        break;
    case AboutButton:
        if (m_openers.aboutBox)
            m_openers.aboutBox(this);
        break;
    }
}

void frmServer::altKeyPressed(int index)
{
    // The keys run the routines themselves, without what their buttons do around them.
    if (index == ExitButton) {
        exitWindow();
        return;
    }
    if (index == DeleteButton) {
        RemoteFileOperations(*this, m_localFolder).deleteChecked();
        return;
    }
    buttonPressed(index);
}

void frmServer::showTotals(const FileListModel::Totals &totals)
{
    lblvsize->setText(megText(double(totals.all)));
    Q_EMIT serverTotalChanged(totals.all);
}

void frmServer::beforeClose(bool byUser)
{
    // A stop that closed the session may have cut the catalogue's upload short. Under an
    // operation the window closes from inside its wait for the server, whose session no other
    // command may use: the upload follows once the operation has ended.
    if (Shared().FtpClient->stopClosesSession() && Shared().CatalogueUploadFailed) {
        if (operationUnderWay())
            m_uploadCatalogueAfterOperation = true;
        else
            uploadCatalogueAfterFailedRefresh();
    }
    if (byUser)
        Shared().WindowClosed = true;
}

void frmServer::operationsEnded()
{
    if (std::exchange(m_uploadCatalogueAfterOperation, false) && Shared().CatalogueUploadFailed)
        uploadCatalogueAfterFailedRefresh();
}

void frmServer::uploadCatalogueAfterFailedRefresh()
{
    if (!UploadCatalogueAgain())
        TellRefreshFailed();
}

void frmServer::viewSelected()
{
    // The menu opens under an operation too, which holds the session.
    if (operationUnderWay())
        return;
    // The copy's folder, and the page's companion folder in it, go when the viewer closes.
    const auto running = operationRunning();
    const std::unique_ptr<ViewCopy> copy =
        RemoteFileOperations(*this, m_localFolder).fetchForViewing();
    if (copy && m_openers.viewer)
        m_openers.viewer(this, copy->dosPath());
}
