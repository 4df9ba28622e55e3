#include "chooser/frmDir.h"

#include "chooser/FolderList.h"
#include "course/ConfigFile.h"
#include "course/RunScope.h"
#include "course/SharedState.h"
#include "course/StartupFolders.h"
#include "operations/ChooserListing.h"
#include "operations/ChooserOperations.h"
#include "platform/DosPath.h"
#include "platform/FileSystemObject.h"
#include "platform/Prefix.h"
#include "platform/Profile.h"
#include "platform/SystemFolders.h"
#include "platform/Ui.h"
#include "platform/VisibleText.h"
#include "transport/cFTP.h"
#include "widgets/AccessibleNames.h"
#include "widgets/ClippedTextDelegate.h"
#include "widgets/EditMenu.h"
#include "widgets/IconSet.h"
#include "widgets/NoticeColour.h"
#include "widgets/WidgetFactory.h"
#include "widgets/frmTransfer.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QStringList Patterns = {
    QStringLiteral("*.pdf"), QStringLiteral("*.doc"), QStringLiteral("*.htm"),
    QStringLiteral("*.jpg"), QStringLiteral("*.gif"), QStringLiteral("*.ppt"),
    QStringLiteral("*.txt"), QStringLiteral("*.xls"), QStringLiteral("*.png"),
    QStringLiteral("*.cdr"), QStringLiteral("*.xml"), QStringLiteral("*.wav"),
    QStringLiteral("*.avi"), QStringLiteral("*.mid"), QStringLiteral("*.*"),
};

const QString ArchiveNotice = QStringLiteral("UPDATING ARCHIVE...");

// A file row's name as it is; the row shows it with its hidden characters written out.
constexpr int NameRole = Qt::UserRole + 1;

// "c:" for a DOS path of drive c.
QString driveOf(const QString &dosPath)
{
    return dosPath.left(2).toLower();
}

// Where the lists start: the course's last local folder, or the process's current one.
QString startFolder()
{
    QString last = Shared().LastLocalDir;
    if (last.isEmpty())
        return Platform::SystemFolders::currentDirectory();
    if (last.size() < 3)
        last = HostDriveRoot();
    return last.left(last.lastIndexOf(QLatin1Char('\\')) + 1);
}

} // namespace

frmDir::frmDir(Viewer viewer, QWidget *parent)
    : QDialog(parent)
    , m_viewer(std::move(viewer))
    , m_editorFolders(EditorFolders::find())
{
    setObjectName(QStringLiteral("frmDir"));
    setWindowTitle(QStringLiteral("Choose a File or Directory"));
    buildControls();
    buildEditMenu();
    AccessibleNames::watch(this);
    RunScope::clearCancel();
    if (!Dir1->setPath(startFolder()))
        Dir1->setPath(Platform::SystemFolders::currentDirectory());
}

QToolButton *frmDir::imageButton(const char *name, const QString &icon, const QString &toolTip)
{
    auto *button = new QToolButton(this);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    button->setIconSize(QSize(22, 22));
    button->setIcon(IconSet::icon(icon));
    return button;
}

void frmDir::buildControls()
{
    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setAccessibleName(QStringLiteral("Drive"));
    for (const QChar letter : Platform::Prefix::driveLetters())
        Drive1->addItem(QString(letter) + QLatin1Char(':'));
    connect(Drive1, &QComboBox::activated, this, &frmDir::driveChosen);

    Dir1 = new FolderList(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    connect(Dir1, &FolderList::pathChanged, this, &frmDir::folderEntered);

    cbExt = new QComboBox(this);
    cbExt->setObjectName(QStringLiteral("cbExt"));
    cbExt->setToolTip(QStringLiteral("Extension Type"));
    cbExt->setEditable(true);
    cbExt->setInsertPolicy(QComboBox::NoInsert);
    cbExt->addItems(Patterns);
    cbExt->setCurrentText(QStringLiteral("*.*"));
    connect(cbExt, &QComboBox::activated, this, &frmDir::fillList);
    // Enter in the pattern box applies the pattern; it must not reach the dialog, whose
    // default button would close it.
    cbExt->installEventFilter(this);
    cbExt->lineEdit()->installEventFilter(this);

    List2 = new QListWidget(this);
    List2->setObjectName(QStringLiteral("List2"));
    List2->setToolTip(QStringLiteral("Double-Click to select file"));
    List2->setUniformItemSizes(true);
    List2->setFont(QFont(QStringLiteral("Tahoma")));
    List2->setItemDelegate(new ClippedTextDelegate(List2));
    connect(List2, &QListWidget::itemClicked, this, &frmDir::fileClicked);
    connect(List2, &QListWidget::itemDoubleClicked, this, [this] {
        fileClicked();
        accept();
    });

    imgUp = imageButton("imgUp", QStringLiteral("go-up"), QStringLiteral("Upload selected file"));
    imgRen = imageButton("imgRen", QStringLiteral("edit-rename"),
                         QStringLiteral("Rename selected file"));
    imgDel = imageButton("imgDel", QStringLiteral("edit-delete"),
                         QStringLiteral("Delete selected file"));
    imgView = imageButton("imgView", QStringLiteral("document-open"),
                          QStringLiteral("Open selected file"));
    connect(imgUp, &QToolButton::clicked, this, [this] { ChooserOperations(*this).upload(); });
    connect(imgRen, &QToolButton::clicked, this, [this] { ChooserOperations(*this).rename(); });
    connect(imgDel, &QToolButton::clicked, this, [this] { ChooserOperations(*this).remove(); });
    connect(imgView, &QToolButton::clicked, this,
            [this] { mnuEdit->popup(imgView->mapToGlobal(imgView->rect().bottomLeft())); });
    buildKeys();
    imgView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(imgView, &QToolButton::customContextMenuRequested, this,
            [this](const QPoint &at) { mnuEdit->popup(imgView->mapToGlobal(at)); });

    imglock = WidgetFactory::picture(this, QStringLiteral("imglock"),
                                     QStringLiteral(":/vellixon/lock.png"));
    imglock->setToolTip(QStringLiteral("Secure FTP"));
    lblFile = WidgetFactory::pathLabel(this, QStringLiteral("lblFile"), QString());
    lblFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblDate = WidgetFactory::label(this, QStringLiteral("lblDate"), QString());
    lblSize = WidgetFactory::label(this, QStringLiteral("lblSize"), QString());
    cmdOK = WidgetFactory::button(this, QStringLiteral("cmdOK"), QStringLiteral("&OK"));
    cmdOK->setDefault(true);
    cmdCancel = WidgetFactory::button(this, QStringLiteral("cmdCancel"), QStringLiteral("&Exit"));
    connect(cmdOK, &QPushButton::clicked, this, &frmDir::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &frmDir::exitClicked);
    // The transfer window's Cancel is this window's Cancel, pressed.
    m_transferWindow = new frmTransfer(this);
    connect(m_transferWindow, &frmTransfer::cancelRequested, cmdCancel, &QPushButton::click);

    auto *tools = new QHBoxLayout;
    for (QWidget *widget : {static_cast<QWidget *>(imgUp), static_cast<QWidget *>(imgRen),
                            static_cast<QWidget *>(imgDel), static_cast<QWidget *>(imgView)})
        tools->addWidget(widget);
    tools->addStretch();
    tools->addWidget(imglock);

    auto *details = new QGridLayout;
    details->addWidget(new QLabel(QStringLiteral("Date Last Modified:"), this), 0, 0);
    details->addWidget(lblDate, 0, 1);
    details->addWidget(new QLabel(QStringLiteral("Size:"), this), 1, 0);
    details->addWidget(lblSize, 1, 1);
    details->setColumnStretch(1, 1);

    auto *left = new QVBoxLayout;
    left->addWidget(Drive1);
    left->addWidget(Dir1, 1);
    left->addWidget(cbExt);
    auto *right = new QVBoxLayout;
    right->addLayout(tools);
    right->addWidget(List2, 1);
    right->addLayout(details);
    auto *lists = new QHBoxLayout;
    lists->addLayout(left, 2);
    lists->addLayout(right, 3);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto *outer = new QVBoxLayout(this);
    outer->addWidget(lblFile);
    outer->addLayout(lists, 1);
    outer->addLayout(buttons);
    resize(620, 420);
}

void frmDir::buildKeys()
{
    // Delete and F2 act on the selected file while the file list has the focus, as its
    // buttons do, and do nothing while they are switched off.
    for (const auto &[key, button] :
         {std::pair{Qt::Key_Delete, imgDel}, std::pair{Qt::Key_F2, imgRen}}) {
        auto *shortcut = new QShortcut(QKeySequence(key), List2);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, button, [button] {
            if (button->isEnabled())
                button->click();
        });
    }
    // F5 lists the folder again, not while an operation has the lists switched off.
    auto *refresh = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(refresh, &QShortcut::activated, this, [this] {
        if (List2->isEnabled())
            listAgain();
    });
}

void frmDir::listAgain()
{
    const QString selected = selectedName();
    Dir1->reread();
    fillList();
    // The selected file stays selected, its details read again; a file gone takes them along.
    if (QListWidgetItem *item = fileItem(selected)) {
        List2->setCurrentItem(item);
        fileClicked();
    } else {
        m_selectedSize = 0;
        lblDate->clear();
        lblSize->clear();
    }
}

void frmDir::buildEditMenu()
{
    mnuEdit = new QMenu(QStringLiteral("Edit Menu"), this);
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    addEditEntries(mnuEdit, [this](EditCommands::Program program) { openSelected(program); });
}

bool frmDir::showPath(const QString &dosPath)
{
    const qsizetype backslash = dosPath.lastIndexOf(QLatin1Char('\\'));
    const QString folder =
        backslash < 0 ? driveOf(dosPath) + QLatin1Char('\\') : dosPath.left(backslash + 1);
    if (!Dir1->setPath(folder))
        return false;
    if (QListWidgetItem *item = fileItem(dosPath.mid(backslash + 1))) {
        List2->setCurrentItem(item);
        fileClicked();
    }
    return true;
}

QString frmDir::chosenPath() const
{
    return lblFile->text().trimmed();
}

QString frmDir::folder() const
{
    return Dir1->path();
}

QString frmDir::selectedName() const
{
    const QListWidgetItem *item = List2->currentItem();
    return item && item->isSelected() ? item->data(NameRole).toString().trimmed() : QString();
}

QListWidgetItem *frmDir::fileItem(const QString &name) const
{
    if (name.isEmpty() || List2->count() == 0)
        return nullptr;
    const QModelIndexList found =
        List2->model()->match(List2->model()->index(0, 0), NameRole, name, 1, Qt::MatchFixedString);
    return found.isEmpty() ? nullptr : List2->item(found.first().row());
}

void frmDir::driveChosen(int index)
{
    const QString drive = Drive1->itemText(index);
    if (Dir1->setPath(drive + QLatin1Char('\\')))
        return;
    // A drive whose folder is gone: say so, and stay where the lists are.
    const QString target = Platform::Prefix::driveTarget(drive.at(0));
    Platform::messageBox(
        QStringLiteral("Drive %1 cannot be read.\r\nThe folder it stands for, %2, does not "
                       "exist.")
            .arg(drive.toUpper(), target),
        Platform::Ui::Buttons::OK, Platform::Ui::Icon::Critical, QStringLiteral("Drive"));
    Drive1->setCurrentIndex(Drive1->findText(driveOf(Dir1->path())));
}

void frmDir::folderEntered(const QString &path)
{
    const int drive = Drive1->findText(driveOf(path));
    if (drive >= 0)
        Drive1->setCurrentIndex(drive);
    lblFile->setText(path);
    m_selectedSize = 0;
    // The course remembers the folder the teacher was last in.
    const QString course = Shared().CourseName;
    if (!course.isEmpty())
        Platform::Profile::WritePrivateProfileString(course, QStringLiteral("lldir"), path.toUtf8(),
                                                     ConfigFile::name());
    fillList();
    lblDate->clear();
    lblSize->clear();
}

bool frmDir::eventFilter(QObject *watched, QEvent *event)
{
    const bool patternBox = watched == cbExt || watched == cbExt->lineEdit();
    if (patternBox && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            fillList();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmDir::fillList()
{
    const ChooserListing listing = ChooserListing::read(Dir1->path(), cbExt->currentText());
    List2->clear();
    for (const QString &name : listing.shown) {
        auto *item = new QListWidgetItem(Platform::VisibleText::escaped(name), List2);
        item->setData(NameRole, name);
    }
}

void frmDir::fileClicked()
{
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    lblFile->setText(folder());
    const Platform::FsoFile file(folder() + name);
    lblDate->setText(ChooserListing::dateText(file.DateLastModified()));
    m_selectedSize = file.Size();
    lblSize->setText(ChooserListing::sizeText(m_selectedSize));
}

void frmDir::accept()
{
    const QString path = folder() + selectedName();
    lblFile->setText(path);
    Shared().LastLocalDir = path;
    QDialog::accept();
}

void frmDir::exitClicked()
{
    ChooserOperations(*this).cancel();
    lblFile->clear();
    m_closingItself = true;
    QDialog::reject();
    m_closingItself = false;
}

void frmDir::reject()
{
    // Escape, and the close box on its way out (which stopped the upload already), do what
    // Exit does: a plain reject would leave an upload under way running.
    exitClicked();
}

void frmDir::closeEvent(QCloseEvent *event)
{
    if (!m_closingItself) {
        // The close box: no choice, and the command that opened the chooser ends.
        ChooserOperations(*this).cancel();
        lblFile->clear();
        RunScope::abortCommand();
    }
    QDialog::closeEvent(event);
}

void frmDir::showEvent(QShowEvent *event)
{
    const cFTP *client = Shared().FtpClient.get();
    imglock->setVisible(client && client->secure());
    cbExt->lineEdit()->selectAll();
    if (List2->isEnabled())
        List2->setFocus();
    QDialog::showEvent(event);
}

void frmDir::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QString name = selectedName();
    if (!name.isEmpty() && m_viewer)
        m_viewer(this, folder() + name);
    QDialog::mouseDoubleClickEvent(event);
}

void frmDir::openSelected(EditCommands::Program program)
{
    const QString name = selectedName();
    if (!name.isEmpty())
        EditCommands(Shared().BrowserPath, m_editorFolders).open(program, folder() + name);
}

void frmDir::setControlsEnabled(bool enabled)
{
    // Switched off, a list loses the focus; it gets it back when switched on again, so that
    // its keys work on after an operation.
    if (!enabled)
        m_focusBeforeOff = focusWidget();
    for (QWidget *widget : {static_cast<QWidget *>(Dir1), static_cast<QWidget *>(List2),
                            static_cast<QWidget *>(cbExt), static_cast<QWidget *>(Drive1),
                            static_cast<QWidget *>(imgDel), static_cast<QWidget *>(imgRen),
                            static_cast<QWidget *>(imgView), static_cast<QWidget *>(imgUp)})
        widget->setEnabled(enabled);
    if (enabled && m_focusBeforeOff)
        m_focusBeforeOff->setFocus();
}

void frmDir::setUploadRunning(bool running)
{
    cmdCancel->setText(running ? QStringLiteral("&Cancel") : QStringLiteral("&Exit"));
    cmdCancel->setEnabled(true);
    AccessibleNames::name(cmdCancel);
}

TransferViewPort &frmDir::transferView()
{
    return *m_transferWindow;
}

void frmDir::setArchiveNoticeShown(bool shown)
{
    if (shown) {
        m_dateBeforeNotice = lblDate->text();
        lblDate->setText(ArchiveNotice);
    } else {
        lblDate->setText(m_dateBeforeNotice);
    }
    NoticeColour::setShown(lblDate, shown);
    lblDate->repaint();
}

void frmDir::refill(const QString &nameToSelect)
{
    const int position = List2->currentRow();
    fillList();
    if (QListWidgetItem *item = fileItem(nameToSelect))
        List2->setCurrentItem(item);
    else if (List2->count() > 0)
        List2->setCurrentRow(std::min(std::max(position, 0), List2->count() - 1));
}

void frmDir::unload()
{
    lblFile->clear();
    m_closingItself = true;
    close();
    m_closingItself = false;
}
