#include "control/DownloadCommand.h"

#include "control/ListWindowOpeners.h"
#include "course/LoginCipher.h"
#include "course/RunScope.h"
#include "course/ServerFolders.h"
#include "course/SharedState.h"
#include "transport/cFTP.h"

#include <QLineEdit>
#include <QScopeGuard>

DownloadCommand::DownloadCommand(CommandPreparation::Control control)
    : m_preparation(std::move(control))
{}

void DownloadCommand::run()
{
    SharedState &state = Shared();
    state.DvValue = 1;
    if (!state.Cipher)
        state.Cipher = std::make_unique<LoginCipher>();
    RunScope::clearCancel();
    m_preparation.showPointers(true);
    m_preparation.control().raiseEvent();
    // Every way out leaves the pointers normal.
    const auto pointers = qScopeGuard([this] { m_preparation.showPointers(false); });

    if (!m_preparation.takeRemoteDirectory())
        return;
    m_preparation.fillEmptyLocalPath();
    if (!m_preparation.checkLocalPath())
        return;
    if (!m_preparation.obtainLogin())
        return;
    const auto inMonthFolder = [] {
        EnterMonthFolder();
        return CommandPreparation::serverFolder() == MonthFolderOnServer();
    };
    if (m_preparation.enterMonthFolder(QStringLiteral("Dn Del Rn"), inMonthFolder) !=
        MonthFolderStart::Entered)
        return;
    if (state.LoginCancelled)
        return;
    openRemoteList(m_preparation.control().txFile->text());
    CommandPreparation::settleLoginAfterLists();
}

void DownloadCommand::openRemoteList(const QString &localPath)
{
    SharedState &state = Shared();
    state.RemoteDir = m_preparation.control().hostLogin().rdir;
    state.CurrentLocalPath = localPath;
    if (state.ConnectionFailed)
        return;
    QWidget *surface = m_preparation.control().surface;
    ListWindowPair windows(surface ? surface->window() : nullptr, ListWindowOpeners());
    if (!windows.remote().RefreshList(localPath))
        return;
    m_preparation.showPointers(false);
    windows.remote().exec();
}
