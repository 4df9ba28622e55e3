#include "control/DownloadCommand.h"

#include "control/LoginData.h"
#include "control/frmAbout.h"
#include "course/LoginCipher.h"
#include "course/LoginReset.h"
#include "course/ServerFolders.h"
#include "course/SharedState.h"
#include "managers/ListWindowPair.h"
#include "transport/cFTP.h"
#include "viewer/frmView.h"

#include <QLineEdit>
#include <QScopeGuard>

namespace {

// The windows were placed in twips; 15 make a pixel on a screen of 96 dots an inch.
constexpr int TwipsPerPixel = 15;

} // namespace

DownloadCommand::DownloadCommand(CommandPreparation::Control control)
    : m_preparation(std::move(control))
{}

void DownloadCommand::run()
{
    SharedState &state = Shared();
    state.DvValue = 1;
    if (!state.Cipher)
        state.Cipher = std::make_unique<LoginCipher>();
    state.CancelRequest = false;
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
    EnsureConnected();
    EnterMonthFolder();
    if (CommandPreparation::serverFolder() != MonthFolderOnServer()) {
        m_preparation.showPointers(false);
        ResetLoginAfterBadDirectory(QStringLiteral("Dn Del Rn"));
        return;
    }
    if (state.LoginCancelled)
        return;
    openRemoteList(m_preparation.control().txFile->text());
    if (state.ConnectionFailed) {
        state.ConnectionFailed = false;
        state.LoggedIn = false;
    } else {
        state.LoggedIn = true;
    }
}

void DownloadCommand::openRemoteList(const QString &localPath)
{
    SharedState &state = Shared();
    state.RemoteDir = m_preparation.control().hostLogin().rdir;
    state.CurrentLocalPath = localPath;
    if (state.ConnectionFailed)
        return;
    QWidget *surface = m_preparation.control().surface;
    ListWindowPair::Openers openers;
    openers.aboutBox = [](QWidget *parent) {
        frmAbout about(parent);
        about.exec();
    };
    openers.viewer = [](QWidget *list, const QString &dosPath) {
        // Beside the list, as large as the list.
        frmView view(list);
        view.setGeometry(list->geometry().translated(-320 / TwipsPerPixel, 320 / TwipsPerPixel));
        view.setFileToView(dosPath);
        view.exec();
    };
    ListWindowPair windows(surface ? surface->window() : nullptr, openers);
    if (!windows.remote().RefreshList(localPath))
        return;
    m_preparation.showPointers(false);
    windows.remote().exec();
}
