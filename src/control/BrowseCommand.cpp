#include "control/BrowseCommand.h"

#include "chooser/frmDir.h"
#include "control/ListWindowOpeners.h"
#include "course/CourseSection.h"
#include "course/LocalPaths.h"
#include "course/LoginCipher.h"
#include "course/RunScope.h"
#include "course/ServerFolders.h"
#include "course/SharedState.h"

#include <QLineEdit>
#include <QScopeGuard>

BrowseCommand::BrowseCommand(CommandPreparation::Control control)
    : m_preparation(std::move(control))
{}

void BrowseCommand::run()
{
    SharedState &state = Shared();
    if (!state.Cipher)
        state.Cipher = std::make_unique<LoginCipher>();
    RunScope::clearCancel();
    RunScope::takeAbort();
    m_preparation.showPointers(true);
    const auto pointers = qScopeGuard([this] { m_preparation.showPointers(false); });
    m_preparation.control().raiseEvent();
    state.RemoteDir = m_preparation.control().hostLogin().rdir;
    SplitSharedRemoteDir();

    m_preparation.fillEmptyLocalPath();
    if (!m_preparation.checkLocalPath())
        return;
    if (state.CourseName.isEmpty()) {
        ResolveCourseFolder();
        state.LastLocalDir = CourseLocalFolder(state.CourseName);
    }
    if (!m_preparation.obtainLogin())
        return;
    if (RunScope::takeAbort())
        return;

    QLineEdit &txFile = *m_preparation.control().txFile;
    QWidget *surface = m_preparation.control().surface;
    frmDir chooser(ListWindowOpeners().viewer, surface ? surface->window() : nullptr);
    if (!txFile.text().isEmpty())
        chooser.showPath(txFile.text());

    // The batch tool and the secure channel reach the server on their own; the plain session
    // is made ready for an upload from the chooser.
    if (!state.Batch && !state.Secure) {
        const MonthFolderStart start =
            m_preparation.enterMonthFolder(QStringLiteral("Browse"), EnterMonthFolder);
        if (start != MonthFolderStart::Entered) {
            // A login found wrong is forgotten in memory too; a server that could not be used
            // leaves it as it is.
            if (start != MonthFolderStart::NoConnection) {
                state.Password.clear();
                state.UserId.clear();
                state.LoggedIn = false;
            }
            return;
        }
    }

    m_preparation.showPointers(false);
    chooser.exec();
    if (!chooser.chosenPath().isEmpty())
        txFile.setText(chooser.chosenPath());
    // The close box ends this command; the next one starts afresh.
    RunScope::takeAbort();
}
