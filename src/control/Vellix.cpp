#include "control/Vellix.h"

#include "control/BrowseCommand.h"
#include "control/DownloadCommand.h"
#include "control/HeldDeletions.h"
#include "control/ListBinding.h"
#include "control/LocalPathCheck.h"
#include "control/MessagePump.h"
#include "control/SecureConnectPolicy.h"
#include "control/UploadCommand.h"
#include "control/WebSpaceCommand.h"
#include "control/frmAbout.h"
#include "control/frmMsg.h"
#include "course/CipherComponent.h"
#include "course/LoginCipher.h"
#include "course/LoginReset.h"
#include "course/RunScope.h"
#include "course/SharedClient.h"
#include "course/SharedState.h"
#include "course/StartupFolders.h"
#include "platform/PropertyBag.h"
#include "platform/Ui.h"
#include "transport/cFTP.h"
#include "widgets/AccessibleNames.h"
#include "widgets/PictureButton.h"
#include "widgets/QtUi.h"
#include "widgets/WidgetFactory.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>

namespace {

// Persisted keys with their defaults; a value equal to its default is not stored.
const QString KeyRdir = QStringLiteral("rdir");
const QString KeyText = QStringLiteral("text");
const QString KeyUserid = QStringLiteral("userid");
const QString KeyPassword = QStringLiteral("password");
const QString KeySitename = QStringLiteral("sitename");
const QString KeyCap = QStringLiteral("cap");
const QString KeyDv = QStringLiteral("dv");
const QString KeyFilter = QStringLiteral("filter");
const QString DefaultFilter = QStringLiteral("0");

// How many controls the library has made and not yet destroyed.
int livingControls = 0;
// A command of any control runs: the controls share its session and state.
bool commandRunning = false;

// Refused property access never reaches the host as an error: the user is told instead.
void refuse(const QString &message)
{
    Platform::messageBox(message, Platform::Ui::Buttons::OK, Platform::Ui::Icon::Critical);
}

QString withoutLeadingBlanks(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    return text.mid(i);
}

// The buttons are the control's own: Enter in a host's dialog never presses them.
QPushButton *makeButton(QWidget *parent, const QString &name, const QString &caption,
                        const QString &toolTip)
{
    QPushButton *button = WidgetFactory::button(parent, name, caption, toolTip);
    button->setAutoDefault(false);
    return button;
}

} // namespace

Vellix::Vellix(QWidget *parent)
    : QWidget(parent)
{
    QtUi::makeDefault();
    buildSurface();
    buildMenu();
    AccessibleNames::watch(this);

    // A control restored from its host's bag never runs InitProperties, yet its path checks
    // and commands need the host product's folder and drive: find them now as well.
    FindWindowsDrive();
    FindHostFolder();
    // The client and cipher serve every control of the library. The first control makes them
    // anew, releasing any earlier ones; a control placed beside living ones shares them, so
    // that the session a command of another control is using stays where it is.
    if (livingControls++ == 0) {
        Shared().FtpClient.reset();
        Shared().Cipher = std::make_unique<LoginCipher>();
        CreateSharedClient(MessagePump(), SecureConnectPolicy(MessagePump()));
    }
    // A dropped session is opened again with the status window on the screen.
    Shared().Reconnect = &frmMsg::reconnect;
}

Vellix::~Vellix()
{
    // The last control releases what they all shared; until then the others still use it.
    if (--livingControls == 0)
        Terminate();
}

void Vellix::Terminate()
{
    if (Shared().FtpClient) {
        Shared().FtpClient->CloseConnection();
        Shared().FtpClient.reset();
    }
    Shared().Component.reset();
    Shared().Cipher.reset();
}

void Vellix::buildSurface()
{
    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameShape(QFrame::StyledPanel);
    Shape1->setFrameShadow(QFrame::Raised);

    txFile = WidgetFactory::textBox(Shape1, QStringLiteral("txFile"), 24);
    txFile->setAccessibleName(QStringLiteral("File or folder to upload"));

    cmdBrowse = makeButton(
        Shape1, QStringLiteral("cmdBrowse"), QStringLiteral("Browse..."),
        QStringLiteral("Get file or directory from your computer to upload to your website"));
    cmdUpload = makeButton(Shape1, QStringLiteral("cmdUpload"), QStringLiteral("&Upload"),
                           QStringLiteral("Upload file or files from directory shown in textbox"));
    cmdDnload = makeButton(
        Shape1, QStringLiteral("cmdDnload"), QStringLiteral("&Dn Del Rn"),
        QStringLiteral(
            "Download, Delete or Rename file(s) from this remote folder on your website"));
    connect(cmdBrowse, &QPushButton::clicked, this, &Vellix::cmdBrowse_Click);
    connect(cmdUpload, &QPushButton::clicked, this, &Vellix::cmdUpload_Click);
    connect(cmdDnload, &QPushButton::clicked, this, &Vellix::cmdDnload_Click);

    // The menu picture sits in a sunken frame of its own at the end of the row.
    Shape2 = new QFrame(Shape1);
    Shape2->setObjectName(QStringLiteral("Shape2"));
    Shape2->setFrameShape(QFrame::StyledPanel);
    Shape2->setFrameShadow(QFrame::Sunken);
    Image1 =
        new PictureButton(QStringLiteral("Image1"), QStringLiteral(":/vellixon/menu.png"), Shape2);
    Image1->setToolTip(QStringLiteral("Function Menu"));
    Image1->setAccessibleName(QStringLiteral("Functions"));
    connect(Image1, &PictureButton::pressed, this, &Vellix::Image1_MouseDown);
    auto *pictureLayout = new QHBoxLayout(Shape2);
    pictureLayout->setContentsMargins(1, 1, 1, 1);
    pictureLayout->addWidget(Image1);
    Shape2->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    auto *row = new QHBoxLayout(Shape1);
    row->setContentsMargins(4, 3, 4, 3);
    row->setSpacing(4);
    row->addWidget(txFile, 1);
    row->addWidget(cmdBrowse);
    row->addWidget(cmdUpload);
    row->addWidget(cmdDnload);
    row->addWidget(Shape2);

    auto *outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(Shape1);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void Vellix::buildMenu()
{
    mnuMenu = new QMenu(QStringLiteral("Functions"), this);
    mnuMenu->setObjectName(QStringLiteral("mnuMenu"));
    mnuSpace = mnuMenu->addAction(QStringLiteral("&Web Space"));
    mnuSpace->setObjectName(QStringLiteral("mnuSpace"));
    connect(mnuSpace, &QAction::triggered, this, &Vellix::mnuSpace_Click);
    mnuReset = mnuMenu->addAction(QStringLiteral("&Reset Login Data"));
    mnuReset->setObjectName(QStringLiteral("mnuReset"));
    connect(mnuReset, &QAction::triggered, this, &Vellix::mnuReset_Click);
}

void Vellix::Image1_MouseDown(Qt::MouseButton button, const QPoint &globalPos)
{
    if (button != Qt::LeftButton)
        return;
    // The menu's commands read login data, which needs the cipher.
    if (!Shared().Cipher)
        Shared().Cipher = std::make_unique<LoginCipher>();
    mnuMenu->popup(globalPos);
}

void Vellix::cmdBrowse_Click()
{
    runCommand([this] { BrowseCommand(commandControl([this] { Q_EMIT clickBrowse(); })).run(); });
}

CommandPreparation::Control Vellix::commandControl(std::function<void()> raiseEvent)
{
    return {
        this,
        txFile,
        std::move(raiseEvent),
        [this] {
            return CommandPreparation::HostLogin{m_rdir, m_sitename, m_userid, m_password};
        },
        [this] { setCommandsEnabled(false); },
    };
}

void Vellix::runCommand(const std::function<void()> &command)
{
    // An operation or a transfer of a list window the command left open counts as well.
    if (commandRunning || RunScope::running())
        return;
    commandRunning = true;
    const auto done = qScopeGuard([] { commandRunning = false; });
    // A host that lets the control or its form go while the command waits in a window would
    // delete them under it: they go once the command has ended.
    const HeldDeletions held(this);
    command();
}

void Vellix::cmdUpload_Click()
{
    runCommand([this] { UploadCommand(commandControl([this] { Q_EMIT clickUpload(); })).run(); });
}

void Vellix::setCommandsEnabled(bool enabled)
{
    for (QWidget *widget : {static_cast<QWidget *>(txFile), static_cast<QWidget *>(cmdBrowse),
                            static_cast<QWidget *>(cmdUpload), static_cast<QWidget *>(cmdDnload)})
        widget->setEnabled(enabled);
}

void Vellix::cmdDnload_Click()
{
    runCommand([this] { DownloadCommand(commandControl([this] { Q_EMIT clickDnload(); })).run(); });
}

void Vellix::mnuSpace_Click()
{
    // The menu raises no event of its own.
    runCommand([this] { WebSpaceCommand(commandControl([] {})).run(); });
}

void Vellix::mnuReset_Click()
{
    // Like every command, the entry works on the course the control names now.
    runCommand([this] {
        Shared().RemoteDir = m_rdir;
        ResetLoginData(false);
    });
}

void Vellix::setRdir(const QString &rdir)
{
    if (rdir.contains(QLatin1String(".."))) {
        refuse(QStringLiteral("Illegal Directory!\r\nCannot use '..' and relative directories."));
        return;
    }
    m_rdir = rdir;
    Q_EMIT propertyChanged(KeyRdir);
}

void Vellix::setDv(qint16 dv)
{
    m_dv = dv;
    Shared().DvValue = dv;
    Q_EMIT propertyChanged(KeyDv);
}

QString Vellix::text() const
{
    return txFile->text();
}

void Vellix::setText(const QString &text)
{
    if (!ValidLocalPath(text)) {
        // Leave the old path selected so the user can type over it.
        txFile->setFocus();
        txFile->setSelection(0, int(txFile->text().size()));
        return;
    }
    txFile->setText(text);
    Q_EMIT propertyChanged(KeyText);
}

QString Vellix::loginValue(const QString &value, const QString &refusal) const
{
    // A running page must not hand the login data to its scripts.
    if (hostRuns()) {
        refuse(refusal);
        return QString();
    }
    return value;
}

QString Vellix::userid() const
{
    return loginValue(m_userid, QStringLiteral("You cannot view the userid!"));
}

void Vellix::setUserid(const QString &userid)
{
    m_userid = userid;
    Shared().UserId = userid;
    Q_EMIT propertyChanged(KeyUserid);
}

QString Vellix::password() const
{
    return loginValue(m_password, QStringLiteral("You cannot view the password!"));
}

void Vellix::setPassword(const QString &password)
{
    m_password = password;
    Shared().Password = password;
    Q_EMIT propertyChanged(KeyPassword);
}

void Vellix::setSitename(const QString &sitename)
{
    m_sitename = sitename;
    Shared().SiteName = sitename;
    Q_EMIT propertyChanged(KeySitename);
}

void Vellix::setCap(qint32 cap)
{
    if (hostRuns()) {
        refuse(QStringLiteral("You cannot change the Upload/Download capacity limit!"));
        return;
    }
    m_cap = cap;
    Q_EMIT propertyChanged(KeyCap);
}

void Vellix::setFilter(const QString &filter)
{
    if (hostRuns()) {
        refuse(QStringLiteral("You cannot change the extention filter!"));
        return;
    }
    m_filter = filter;
    Q_EMIT propertyChanged(KeyFilter);
}

void Vellix::ShowAbout()
{
    frmAbout about(window());
    about.exec();
}

bool Vellix::fixselect(QObject *o, QString &s)
{
    const auto list = ListBinding::bind(o);
    if (!list)
        return false;
    int found = -1;
    const int count = list->ListCount();
    for (int i = 0; i < count; ++i) {
        if (withoutLeadingBlanks(list->List(i)) == s) {
            found = i;
            break;
        }
    }
    list->setListIndex(found);
    return false;
}

qint32 Vellix::loadfunc(QObject *f)
{
    Shared().LoadFuncObject = f;
    return 0;
}

void Vellix::InitProperties()
{
    m_rdir.clear();
    m_userid.clear();
    m_password.clear();
    m_sitename.clear();
    m_cap = 0;
    m_dv = 0;
    m_filter = DefaultFilter;

    if (m_ambient.BackColor.isValid()) {
        QPalette colours = palette();
        colours.setColor(QPalette::Window, m_ambient.BackColor);
        setPalette(colours);
        setAutoFillBackground(true);
    }

    FindWindowsDrive();
    FindHostFolder();
}

void Vellix::ReadProperties(Platform::PropertyBag &bag)
{
    m_rdir = bag.readProperty(KeyRdir, QString()).toString();
    txFile->setText(bag.readProperty(KeyText, QString()).toString());
    m_userid = bag.readProperty(KeyUserid, QString()).toString();
    m_password = bag.readProperty(KeyPassword, QString()).toString();
    m_sitename = bag.readProperty(KeySitename, QString()).toString();
    m_cap = bag.readProperty(KeyCap, qint32(0)).value<qint32>();
    m_dv = bag.readProperty(KeyDv, QVariant::fromValue(qint16(0))).value<qint16>();
    m_filter = bag.readProperty(KeyFilter, DefaultFilter).toString();
}

void Vellix::WriteProperties(Platform::PropertyBag &bag) const
{
    bag.writeProperty(KeyRdir, m_rdir, QString());
    bag.writeProperty(KeyText, txFile->text(), QString());
    bag.writeProperty(KeyUserid, m_userid, QString());
    bag.writeProperty(KeyPassword, m_password, QString());
    bag.writeProperty(KeySitename, m_sitename, QString());
    bag.writeProperty(KeyCap, m_cap, qint32(0));
    bag.writeProperty(KeyDv, QVariant::fromValue(m_dv), QVariant::fromValue(qint16(0)));
    bag.writeProperty(KeyFilter, m_filter, DefaultFilter);
}
