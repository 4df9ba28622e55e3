#include "lists/FileListWindow.h"

#include "course/RunScope.h"
#include "course/SharedState.h"
#include "lists/FileTypeIcons.h"
#include "platform/NumberText.h"
#include "platform/Ui.h"
#include "transport/cFTP.h"
#include "widgets/AccessibleNames.h"
#include "widgets/ClippedTextDelegate.h"
#include "widgets/IconSet.h"
#include "widgets/NoticeColour.h"
#include "widgets/WidgetFactory.h"
#include "widgets/frmTransfer.h"

#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QRadioButton>
#include <QShortcut>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int Buttons = 7;
constexpr int TimerMilliseconds = 100;
// The busy picture's track: it moves a step every tick and starts over at the end.
constexpr int PictureTrack = 70;
constexpr int PictureStep = 7;

const QString StatusHint = QString(30, u' ') + QStringLiteral("*** CHECK FILES FOR COPY AND "
                                                              "DELETE OPERATIONS ***");

void setPointer(QWidget *window, bool busy)
{
    Platform::setMousePointer(busy ? Platform::Ui::Pointer::Hourglass
                                   : Platform::Ui::Pointer::Default);
    if (busy)
        window->setCursor(Qt::WaitCursor);
    else
        window->unsetCursor();
}

QLabel *caption(QWidget *parent, const QString &text)
{
    auto *label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

} // namespace

FileListWindow::FileListWindow(const QString &name, const TwinButtons &twin, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(name);
    buildToolBar(twin);
    buildList();
    buildFileManagerKeys();
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(TimerMilliseconds);
    connect(Timer1, &QTimer::timeout, this, &FileListWindow::moveBusyPicture);

    mnuEdit = new QMenu(QStringLiteral("Edit Menu"), this);
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));

    // The transfer window's Cancel is this window's Exit, pressed.
    m_transferWindow = new frmTransfer(this);
    connect(m_transferWindow, &frmTransfer::cancelRequested, this,
            [this] { button(ExitButton)->trigger(); });

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(Toolbar1);
    layout->addWidget(buildLabels());
    layout->addWidget(lvServer, 1);
    layout->addWidget(buildStatusLine());
    resize(720, 480);
    AccessibleNames::watch(this);
}

void FileListWindow::buildToolBar(const TwinButtons &twin)
{
    const QList<Button> buttons{
        twin.copy,
        {QStringLiteral("&Rename"), twin.renameToolTip, QStringLiteral("edit-rename")},
        twin.remove,
        {QStringLiteral("Check &All"), QStringLiteral("Check All (Alt + A)"),
         QStringLiteral("edit-select-all")},
        {QStringLiteral("E&xit"), QStringLiteral("Exit (Alt + X)"),
         QStringLiteral("application-exit")},
        twin.otherWindow,
        {QStringLiteral("A&bout"), QStringLiteral("About (Alt + B)"), QStringLiteral("help-about")},
    };
    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    // The size the theme draws its tool bar pictures in.
    Toolbar1->setIconSize(QSize(22, 22));
    for (int index = 1; index <= buttons.size(); ++index) {
        const Button &shown = buttons.at(index - 1);
        QAction *action = Toolbar1->addAction(IconSet::icon(shown.icon), shown.caption);
        action->setObjectName(QStringLiteral("Button%1").arg(index));
        action->setToolTip(shown.toolTip);
        connect(action, &QAction::triggered, this, [this, index] { press(index, false); });
        m_buttons.append(action);
    }

    // The window hears its Alt keys before any of its controls does; some work only while
    // their button is enabled.
    struct AltKey
    {
        Qt::Key key;
        int button;
        bool onlyWhenEnabled;
    };
    const AltKey altKeys[] = {
        {twin.copyKey, 1, true}, {Qt::Key_R, 2, true},  {twin.removeKey, 3, false},
        {Qt::Key_A, 4, false},   {Qt::Key_X, 5, false}, {Qt::Key_V, OtherWindowButton, true},
        {Qt::Key_B, 7, false},
    };
    for (const AltKey &altKey : altKeys) {
        auto *shortcut = new QShortcut(QKeySequence(Qt::ALT | altKey.key), this);
        connect(shortcut, &QShortcut::activated, this, [this, altKey] {
            if (!altKey.onlyWhenEnabled || button(altKey.button)->isEnabled())
                press(altKey.button, true);
        });
    }
}

void FileListWindow::buildFileManagerKeys()
{
    // Delete and F2 press their buttons, and do nothing while a button cannot be clicked: when
    // it is disabled, or the whole tool bar is while the catalogue is rebuilt.
    for (const auto &[key, index] :
         {std::pair{Qt::Key_Delete, int(DeleteButton)}, std::pair{Qt::Key_F2, int(RenameButton)}}) {
        auto *shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, this, [this, index] {
            if (Toolbar1->widgetForAction(button(index))->isEnabled())
                button(index)->trigger();
        });
    }
    // F5 lists the folder again, as the window does after an operation; not under one, which
    // holds rows and the session across its server calls.
    auto *refresh = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(refresh, &QShortcut::activated, this, [this] {
        if (operationUnderWay())
            return;
        const auto running = operationRunning();
        refreshList();
    });
}

void FileListWindow::press(int index, bool altKey)
{
    // Copy, Rename and Delete are operations. The other buttons only open or close windows,
    // and a window opened from here (this one again, by View Local and then View Srvr) may
    // list itself.
    const auto pressed = [this, index, altKey] {
        if (altKey)
            altKeyPressed(index);
        else
            buttonPressed(index);
    };
    if (index > DeleteButton)
        return pressed();
    // The keys of a disabled button reach here too: one operation holds the session at a time.
    if (operationUnderWay())
        return;
    const auto running = operationRunning();
    pressed();
}

void FileListWindow::buildList()
{
    lvServer = new QTreeView(this);
    lvServer->setObjectName(QStringLiteral("lvServer"));
    lvServer->setModel(&m_model);
    lvServer->setRootIsDecorated(false);
    lvServer->setUniformRowHeights(true);
    lvServer->setAllColumnsShowFocus(true);
    lvServer->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvServer->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvServer->setContextMenuPolicy(Qt::CustomContextMenu);
    lvServer->header()->setSectionsClickable(true);
    // The model keeps its rows sorted; the header shows by what.
    lvServer->header()->setSortIndicatorShown(true);
    lvServer->header()->setSortIndicator(m_model.sortColumn(), m_model.sortOrder());
    lvServer->setItemDelegate(new ClippedTextDelegate(lvServer));
    lvServer->header()->setSectionResizeMode(FileListModel::NameColumn, QHeaderView::Stretch);
    lvServer->header()->setStretchLastSection(false);
    m_model.setDecorations([](const FileRow &row) {
        return QVariant(FileTypeIcons::icon(row.imageNumber, row.type()));
    });
    connect(&m_model, &FileListModel::checkChanged, this, &FileListWindow::rowCheckChanged);
    connect(&m_model, &QAbstractItemModel::modelReset, this, &FileListWindow::fitColumns);
    connect(lvServer->header(), &QHeaderView::sectionClicked, this, &FileListWindow::columnClicked);
    connect(lvServer, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { mnuEdit->popup(lvServer->viewport()->mapToGlobal(at)); });
    connect(lvServer, &QAbstractItemView::doubleClicked, this,
            [this] { mnuEdit->popup(QCursor::pos()); });
}

QWidget *FileListWindow::buildLabels()
{
    auto *panel = new QWidget(this);
    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    lblLocal =
        WidgetFactory::pathLabel(panel, QStringLiteral("lblLocal"), QStringLiteral("Local:"));
    lblRemote =
        WidgetFactory::pathLabel(panel, QStringLiteral("lblRemote"), QStringLiteral("Server:"));
    lblvsize = WidgetFactory::label(panel, QStringLiteral("lblvsize"), QString());
    lblcnt = WidgetFactory::label(panel, QStringLiteral("lblcnt"), QString());
    lblSize = WidgetFactory::label(panel, QStringLiteral("lblSize"), QStringLiteral("10 meg"));
    lblSize->setAutoFillBackground(true);
    grid->addWidget(caption(panel, QStringLiteral("LOCAL:")), 0, 0);
    grid->addWidget(lblLocal, 0, 1);
    grid->addWidget(caption(panel, QStringLiteral("SERVER:")), 1, 0);
    grid->addWidget(lblRemote, 1, 1);
    grid->addWidget(caption(panel, QStringLiteral("SERVER:")), 0, 2);
    grid->addWidget(lblvsize, 0, 3);
    grid->addWidget(caption(panel, QStringLiteral("selected files:")), 1, 2);
    grid->addWidget(lblcnt, 1, 3);
    grid->addWidget(lblSize, 1, 4);
    grid->setColumnStretch(1, 1);

    auto *Frame1 = new QGroupBox(QStringLiteral("Transfer Mode"), panel);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *modes = new QHBoxLayout(Frame1);
    OptAuto = new QRadioButton(QStringLiteral("Auto"), Frame1);
    OptAuto->setObjectName(QStringLiteral("OptAuto"));
    OptBinary = new QRadioButton(QStringLiteral("Binary"), Frame1);
    OptBinary->setObjectName(QStringLiteral("OptBinary"));
    OptAscii = new QRadioButton(QStringLiteral("Ascii"), Frame1);
    OptAscii->setObjectName(QStringLiteral("OptAscii"));
    for (QRadioButton *option : {OptAuto, OptBinary, OptAscii})
        modes->addWidget(option);
    OptAuto->setChecked(true);
    grid->addWidget(Frame1, 0, 5, 2, 1);

    Image1 = WidgetFactory::picture(panel, QStringLiteral("Image1"),
                                    QStringLiteral(":/vellixon/lock.png"));
    Image1->setToolTip(QStringLiteral("Secure FTP"));
    grid->addWidget(Image1, 0, 6, 2, 1);
    return panel;
}

QWidget *FileListWindow::buildStatusLine()
{
    auto *line = new QWidget(this);
    auto *row = new QHBoxLayout(line);
    row->setContentsMargins(0, 0, 0, 0);
    // The status names files and folders, which may be long: cut, it keeps the window within
    // the screen.
    lbout = WidgetFactory::pathLabel(line, QStringLiteral("lbout"), StatusHint);
    lbout->setTextFormat(Qt::PlainText);
    row->addWidget(lbout, 1);
    auto *track = new QWidget(line);
    track->setFixedSize(PictureTrack + 16, 16);
    ImgUpload = WidgetFactory::picture(track, QStringLiteral("ImgUpload"),
                                       QStringLiteral(":/vellixon/menu.png"));
    ImgUpload->setScaledContents(true);
    ImgUpload->setAccessibleName(QStringLiteral("Busy"));
    ImgUpload->setGeometry(0, 0, 16, 16);
    ImgUpload->hide();
    row->addWidget(track);
    return line;
}

QString FileListWindow::megText(double bytes)
{
    return Platform::NumberText::grouped(bytes / 1000000.0, 1, 2) + QStringLiteral(" meg");
}

TransferViewPort &FileListWindow::transferView()
{
    return *m_transferWindow;
}

void FileListWindow::enterBusy()
{
    for (int index = 1; index <= Buttons; ++index)
        button(index)->setEnabled(index == ExitButton);
    showBusy(true);
}

void FileListWindow::leaveBusy()
{
    showBusy(false);
    for (QAction *action : std::as_const(m_buttons))
        action->setEnabled(true);
}

void FileListWindow::enterWait()
{
    // A wait holds the session as an operation does, also the first listing's, which no
    // button started: nothing the loop delivers starts another command under it.
    ++m_operations;
    m_buttonsBeforeWait.clear();
    for (const QAction *action : std::as_const(m_buttons))
        m_buttonsBeforeWait.append(action->isEnabled());
    enterBusy();
}

void FileListWindow::leaveWait()
{
    showBusy(false);
    for (qsizetype index = 0; index < m_buttons.size(); ++index)
        m_buttons.at(index)->setEnabled(m_buttonsBeforeWait.value(index, true));
    endOperation();
}

void FileListWindow::endOperation()
{
    if (--m_operations == 0)
        operationsEnded();
}

void FileListWindow::showWaiting()
{
    // Modal, as exec opens it; exec then takes the window as it shows.
    setAttribute(Qt::WA_ShowModal, true);
    show();
}

void FileListWindow::showBusy(bool busy)
{
    setPointer(this, busy);
    RunScope::setBusy(busy);
    ImgUpload->move(0, 0);
    ImgUpload->setVisible(busy);
    if (busy)
        Timer1->start();
    else
        Timer1->stop();
}

bool FileListWindow::goesOn() const
{
    return Timer1->isActive();
}

void FileListWindow::setBusyIndicatorShown(bool shown)
{
    ImgUpload->setVisible(shown);
}

void FileListWindow::moveBusyPicture()
{
    const int x = ImgUpload->x() + PictureStep;
    ImgUpload->move(x > PictureTrack ? 0 : x, 0);
}

void FileListWindow::showStatus(const QString &text)
{
    lbout->setText(text);
}

void FileListWindow::setArchiveNoticeShown(bool shown)
{
    Toolbar1->setEnabled(!shown);
    lvServer->setEnabled(!shown);
    if (shown) {
        m_statusBeforeNotice = lbout->text();
        lbout->setText(QStringLiteral("PLEASE WAIT FOR ARCHIVE UPDATE..."));
    } else {
        lbout->setText(m_statusBeforeNotice);
    }
    NoticeColour::setShown(lbout, shown);
    if (shown) {
        QFont bold = lbout->font();
        bold.setBold(true);
        lbout->setFont(bold);
        lbout->repaint();
    } else {
        lbout->setFont(QFont()); // the desktop's again
    }
}

int FileListWindow::selectedRow() const
{
    const QModelIndexList rows = lvServer->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return -1;
    const QModelIndex current = lvServer->currentIndex();
    return current.isValid() && lvServer->selectionModel()->isRowSelected(current.row())
               ? current.row()
               : rows.constFirst().row();
}

void FileListWindow::selectRow(int row)
{
    if (row < 0 || row >= m_model.count()) {
        lvServer->clearSelection();
        return;
    }
    lvServer->selectionModel()->setCurrentIndex(
        m_model.index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void FileListWindow::scrollToRow(int row)
{
    if (row >= 0 && row < m_model.count())
        lvServer->scrollTo(m_model.index(row, 0));
}

ListWindowPort::TransferMode FileListWindow::transferMode() const
{
    if (OptBinary->isChecked())
        return TransferMode::Binary;
    return OptAscii->isChecked() ? TransferMode::Ascii : TransferMode::Auto;
}

void FileListWindow::resetCheckAll()
{
    button(CheckAllButton)->setText(QStringLiteral("Check &All"));
    button(CheckAllButton)->setToolTip(QStringLiteral("Check &All (Alt + A)"));
}

void FileListWindow::checkAll()
{
    const bool uncheck = button(CheckAllButton)->text().contains(QLatin1String("UnCheck"));
    m_model.setAllChecked(!uncheck);
    if (uncheck) {
        resetCheckAll();
    } else {
        button(CheckAllButton)->setText(QStringLiteral("UnCheck &All"));
        button(CheckAllButton)->setToolTip(QStringLiteral("UnCheck &All (Alt + A)"));
    }
    computeSize();
}

void FileListWindow::computeSize()
{
    const FileListModel::Totals totals = m_model.totals();
    lblcnt->setText(QString::number(totals.checkedCount) + QStringLiteral(" files"));
    lblSize->setText(megText(double(totals.checked)));
    showTotals(totals);
}

void FileListWindow::rowCheckChanged(int row, bool checked)
{
    // A row checked among selected ones checks them all, so a selection is ticked at once.
    if (!m_spreadingCheck && lvServer->selectionModel()->isRowSelected(row)) {
        m_spreadingCheck = true;
        for (const QModelIndex &selected : lvServer->selectionModel()->selectedRows())
            m_model.setChecked(selected.row(), checked);
        m_spreadingCheck = false;
    }
    if (!m_spreadingCheck)
        computeSize();
}

void FileListWindow::fitColumns()
{
    // The name takes the room the sizes, dates and types leave.
    for (int column = FileListModel::SizeColumn; column < FileListModel::ColumnCount; ++column)
        lvServer->resizeColumnToContents(column);
}

void FileListWindow::columnClicked(int column)
{
    // Every click flips the order, whichever column it was on.
    const Qt::SortOrder order =
        m_model.sortOrder() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_model.sort(column, order);
    lvServer->header()->setSortIndicator(column, order);
}

void FileListWindow::exitWindow()
{
    SharedState &shared = Shared();
    if (Timer1->isActive()) {
        ImgUpload->hide();
        Timer1->stop();
        shared.FtpClient->stopTransfer();
    }
    RunScope::requestCancel();
    closeItself();
    RunScope::endAll();
}

void FileListWindow::closeItself()
{
    m_closingItself = true;
    close();
    m_closingItself = false;
}

void FileListWindow::reject()
{
    close();
}

void FileListWindow::showEvent(QShowEvent *event)
{
    showSecureMark();
    QDialog::showEvent(event);
}

void FileListWindow::closeEvent(QCloseEvent *event)
{
    // The close box under a running operation is its Exit: a wait for the server ends at once.
    if (!m_closingItself && Timer1->isActive()) {
        Shared().FtpClient->stopTransfer();
        RunScope::requestCancel();
    }
    ImgUpload->hide();
    Timer1->stop();
    beforeClose(!m_closingItself);
    if (m_closingItself && RunScope::busy() && !RunScope::cancelRequested()) {
        // The program may not close the window under a running operation.
        RunScope::setBusy(false);
        refreshList();
        event->ignore();
        return;
    }
    event->accept();
    done(QDialog::Rejected);
}

void FileListWindow::showSecureMark()
{
    const cFTP *client = Shared().FtpClient.get();
    Image1->setVisible(client && client->secure());
}

void FileListWindow::showRemoteFolder()
{
    QString text = QStringLiteral("//") + Shared().RemoteDir;
    lblRemote->setText(text.replace(QLatin1String("///"), QLatin1String("//")));
}

void FileListWindow::enableFileButtons()
{
    const bool rows = m_model.count() > 0;
    const bool otherWindow = button(OtherWindowButton)->isEnabled();
    for (int index = 1; index <= CheckAllButton; ++index) {
        // Copy and Rename need the other folder.
        const bool fileButton = index <= RenameButton;
        if (!rows)
            button(index)->setEnabled(false);
        else if (otherWindow || !fileButton)
            button(index)->setEnabled(true);
    }
}

void FileListWindow::preselect(int row)
{
    if (m_model.count() == 0)
        return;
    lvServer->clearSelection();
    const int shown = row < 0 ? 0 : row;
    selectRow(shown);
    scrollToRow(shown);
}
