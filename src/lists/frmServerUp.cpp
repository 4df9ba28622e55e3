#include "lists/frmServerUp.h"

#include "course/SharedState.h"
#include "operations/LocalFileOperations.h"
#include "operations/LocalFolderListing.h"
#include "widgets/EditMenu.h"

#include <QAction>
#include <QLabel>
#include <QTreeView>

#include <cmath>

namespace {

// The size label's background: within the capacity, and beyond it; and its text, dark on
// both, as a desktop's own text colour (light on a dark desktop) would vanish on the green.
const QColor WithinLimit(0xC0, 0xFF, 0xC0);
const QColor BeyondLimit(0xFF, 0x00, 0x00);
const QColor TextOnLimit(Qt::black);

FileListWindow::TwinButtons buttons()
{
    return {
        {QStringLiteral("Copy &Up"), QStringLiteral("Copy Up (Alt + U)"), QStringLiteral("go-up")},
        Qt::Key_U,
        QStringLiteral("Rename File (Alt +R)"),
        {QStringLiteral("&Delete"), QStringLiteral("Delete (Alt + D)"),
         QStringLiteral("edit-delete")},
        Qt::Key_D,
        {QStringLiteral("   &View Srvr  "), QStringLiteral("View Server Files (Alt + V)"),
         QStringLiteral("network-server")},
    };
}

// Meg as the labels show them: rounded to two decimals.
double meg(qint64 bytes)
{
    return std::nearbyint(bytes / 10000.0) / 100.0;
}

} // namespace

frmServerUp::frmServerUp(QWidget *parent)
    : FileListWindow(QStringLiteral("frmServerUp"), buttons(), parent)
{
    setWindowTitle(QStringLiteral("Local Drive"));
    lvServer->setAccessibleName(QStringLiteral("Local files"));
    lblvsize->setText(megText(0));
    addEditEntries(mnuEdit, [this](EditCommands::Program program) { openSelected(program); });
    m_editorFolders = EditorFolders::find();
}

void frmServerUp::openSelected(EditCommands::Program program)
{
    const int row = selectedRow();
    if (row < 0)
        return;
    EditCommands(Shared().BrowserPath, m_editorFolders)
        .open(program, m_localFolder + model().row(row).name);
}

void frmServerUp::setOpeners(Openers openers)
{
    m_openers = std::move(openers);
    button(OtherWindowButton)->setVisible(bool(m_openers.remoteList));
    button(OtherWindowButton)->setEnabled(bool(m_openers.remoteList));
}

bool frmServerUp::RefreshList(const QString &path)
{
    const qsizetype backslash = path.lastIndexOf(u'\\');
    m_localFolder = path.left(backslash + 1);
    m_namePart = path.mid(backslash + 1);
    lblLocal->setText(path);
    showRemoteFolder();

    const bool checkAllInForce = button(CheckAllButton)->text().contains(QLatin1String("UnCheck"));
    LocalFolderListing::Result listing =
        LocalFolderListing::read(path, m_nameToPreselect, checkAllInForce);
    if (!listing.listed)
        return false;
    const int preselected = model().setRows(std::move(listing.rows), listing.preselected);
    enableFileButtons();
    preselect(preselected);
    if (!refreshServerTotal())
        return false;
    computeSize();
    lblLocal->setText(m_localFolder + m_namePart);
    return true;
}

bool frmServerUp::refreshServerTotal()
{
    // This window's Exit ends the listing's waits for the server; before the window opens, it
    // shows if the listing keeps the user waiting.
    if (!m_openers.refreshRemote)
        return true;
    switch (m_openers.refreshRemote(*this)) {
    case RemoteFolderListing::Outcome::NoConnection:
        // Without a session there is no server total to count against the capacity.
        closeItself();
        return false;
    case RemoteFolderListing::Outcome::Stopped:
        return false; // Exit closed the window already
    case RemoteFolderListing::Outcome::Listed:
    case RemoteFolderListing::Outcome::WrongFolder:
        break;
    }
    return true;
}

void frmServerUp::setServerTotal(qint64 bytes)
{
    m_serverTotal = bytes;
    lblvsize->setText(megText(double(bytes)));
    computeSize();
}

bool frmServerUp::overCapacity() const
{
    return meg(m_checkedTotal) + meg(m_serverTotal) > Shared().CapacityLimit;
}

void frmServerUp::showTotals(const FileListModel::Totals &totals)
{
    m_checkedTotal = totals.checked;
    QPalette colours = lblSize->palette();
    colours.setColor(QPalette::Window, overCapacity() ? BeyondLimit : WithinLimit);
    colours.setColor(QPalette::WindowText, TextOnLimit);
    lblSize->setPalette(colours);
}

void frmServerUp::showEvent(QShowEvent *event)
{
    // The label names the folder, without the pattern that listed it.
    QString local = lblLocal->text();
    for (const QLatin1String pattern : {QLatin1String("*.*"), QLatin1String("*")}) {
        if (local.endsWith(pattern))
            local.chop(pattern.size());
    }
    lblLocal->setText(local);
    FileListWindow::showEvent(event);
}

void frmServerUp::copyUp()
{
    // What went up counts against the capacity from now on, unless Exit closed the window.
    if (LocalFileOperations(*this, m_localFolder).copyUp(overCapacity()) && isVisible())
        refreshServerTotal();
}

void frmServerUp::buttonPressed(int index)
{
    LocalFileOperations operations(*this, m_localFolder);
    switch (index) {
    case CopyButton:
        copyUp();
        break;
    case RenameButton:
        operations.renamefile();
        break;
    case DeleteButton:
        operations.deleteChecked();
        break;
    case CheckAllButton:
        checkAll();
        break;
    case ExitButton:
        exitWindow();
        break;
    case OtherWindowButton:
        if (m_openers.remoteList) {
            const int row = selectedRow();
            m_openers.remoteList(m_localFolder + (row >= 0 ? model().row(row).name : QString()));
        }
        break;
    case AboutButton:
        if (m_openers.aboutBox)
            m_openers.aboutBox(this);
        break;
    }
}
