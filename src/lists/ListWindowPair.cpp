#include "lists/ListWindowPair.h"

#include "course/RunScope.h"
#include "course/SharedState.h"

#include "widgets/Twips.h"

#include <QAction>

namespace {

// The buttons a window keeps off while its twin has it open over itself: the copy, the
// rename and the way back to the twin.
void disableTwinButtons(FileListWindow &window)
{
    for (const int index : {int(FileListWindow::CopyButton), int(FileListWindow::RenameButton),
                            int(FileListWindow::OtherWindowButton)})
        window.button(index)->setEnabled(false);
}

// The twin opens a little below and to the right of the window it was opened from.
void placeOver(QWidget &opened, const QWidget &opener)
{
    const int offset = twipsToPixels(300);
    opened.move(opener.pos() + QPoint(offset, offset));
}

// Lists the twin before it opens over the opener. The listing's waits for the server let the
// loop run, and the twin shows over the opener if they keep the user waiting: meanwhile the
// opener takes no clicks, as nothing may start another command in the waiting session.
bool listBeforeOpening(FileListWindow &twin, FileListWindow &opener,
                       const std::function<bool()> &list)
{
    placeOver(twin, opener);
    opener.setEnabled(false);
    const bool listed = list();
    opener.setEnabled(true);
    return listed;
}

// The twin's Exit asks to cancel the twin's own work, which ended with it: the window it
// returns to starts its next operation with no cancel pending.
void forgetTwinsCancel()
{
    RunScope::clearCancel();
}

} // namespace

ListWindowPair::ListWindowPair(QWidget *parent, const Openers &openers)
    : QObject(parent)
    , m_remote(parent)
    , m_local(parent)
{
    frmServer::Openers remote;
    remote.aboutBox = openers.aboutBox;
    remote.viewer = openers.viewer;
    remote.localList = [this](const QString &folder, const QString &name) {
        viewLocal(folder, name);
    };
    m_remote.setOpeners(std::move(remote));

    frmServerUp::Openers local;
    local.aboutBox = openers.aboutBox;
    local.remoteList = [this](const QString &path) { viewRemote(path); };
    local.refreshRemote = [this](FileListWindow &waitIn) {
        return m_remote.listMonthFolder(Shared().CurrentLocalPath, &waitIn);
    };
    m_local.setOpeners(std::move(local));

    connect(&m_remote, &frmServer::serverTotalChanged, &m_local, &frmServerUp::setServerTotal);
}

void ListWindowPair::viewLocal(const QString &localFolder, const QString &selectedName)
{
    disableTwinButtons(m_local);
    m_local.setNameToPreselect(selectedName);
    if (listBeforeOpening(m_local, m_remote,
                          [&] { return m_local.RefreshList(localFolder + QStringLiteral("*")); }))
        m_local.exec();
    forgetTwinsCancel();
}

void ListWindowPair::viewRemote(const QString &path)
{
    disableTwinButtons(m_remote);
    if (listBeforeOpening(m_remote, m_local, [&] { return m_remote.RefreshList(path); }))
        m_remote.exec();
    forgetTwinsCancel();
    // Closed by the program rather than by the user: the local list goes with it.
    SharedState &shared = Shared();
    if (!shared.WindowClosed)
        m_local.closeItself();
    else
        shared.WindowClosed = false;
}
