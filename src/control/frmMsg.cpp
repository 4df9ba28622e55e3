#include "control/frmMsg.h"

#include "archive/CipherComponent.h"
#include "archive/ConfigFile.h"
#include "archive/TextValue.h"
#include "control/ConnectionPaths.h"
#include "control/SharedState.h"
#include "platform/Ui.h"
#include "transport/cFTP.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QShowEvent>
#include <QTimer>

using Platform::Ui;

namespace {

int connectDelaySetting = frmMsg::DefaultConnectDelayMs;

const QString ConnectingText = QStringLiteral("  Connecting...");

// Whether the course's stored "secure" value asks for the secure channel. Any number but 0
// does, negative ones included; a missing value reads as 0.
bool courseWantsSecure(const CipherComponent &component, const QString &courseName)
{
    const QByteArray stored = ConfigFile().bytes(courseName, QStringLiteral("secure"));
    const QString value = QString::fromUtf8(component.Decipher(stored, component.Key()));
    return Val(value) != 0;
}

} // namespace

frmMsg::frmMsg(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMsg"));
    setWindowTitle(QStringLiteral("Status"));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QPixmap(QStringLiteral(":/vellixon/lock.png")));
    Image1->hide();

    Label1 = new QLabel(ConnectingText, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont font = Label1->font();
    font.setFamily(QStringLiteral("MS Sans Serif"));
    Label1->setFont(font);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &frmMsg::Timer1_Timer);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(Image1);
    layout->addWidget(Label1, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void frmMsg::setConnectDelay(int milliseconds)
{
    connectDelaySetting = milliseconds;
}

int frmMsg::connectDelay()
{
    return connectDelaySetting;
}

void frmMsg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // A window restored by the window system is no new show: it must not connect twice.
    if (event->spontaneous())
        return;
    showLock();
    Timer1->start(connectDelaySetting);
}

void frmMsg::showLock()
{
    if (const cFTP *client = Shared().FtpClient.get())
        Image1->setVisible(client->secure());
}

void frmMsg::Timer1_Timer()
{
    Label1->setText(ConnectingText);
    // The connect blocks the message loop: paint the text before it starts.
    Label1->repaint();
    Connect();
    Timer1->stop();
    Timer1->setInterval(0);
}

void frmMsg::Connect()
{
    SharedState &state = Shared();
    if (!state.Component)
        state.Component = std::make_unique<CipherComponent>();

    cFTP *client = state.FtpClient.get();
    if (client)
        client->setSecure(courseWantsSecure(*state.Component, state.CourseName));
    Image1->setVisible(client && client->secure());

    const ConnectionPaths::Site site =
        ConnectionPaths::beforeConnect(state.Host, state.SiteName, state.RemoteDir);
    state.Host = site.host;
    state.SiteName = site.siteName;
    state.WebRoot = site.webRoot;

    setCursor(Qt::WaitCursor);
    Platform::setMousePointer(Ui::Pointer::Hourglass);
    // The control makes the client when it starts; without one there is nothing to connect.
    const bool connected =
        client && client->OpenConnection(state.Host, state.UserId, state.Password);
    if (connected) {
        state.HomeDir = client->GetFTPDirectory();
        const ConnectionPaths::ServerPaths paths =
            ConnectionPaths::afterConnect(state.HomeDir, state.RemoteDir);
        state.WebRoot = paths.webRoot;
        state.RemoteDir = paths.remoteDir;
    }
    // Tells the caller's size walk that this attempt failed (it clears the report).
    state.ConnectionFailed = !connected;

    // The pointer is back to normal before any message.
    Platform::setMousePointer(Ui::Pointer::Default);
    unsetCursor();
    if (!connected)
        Platform::messageBox(QStringLiteral("Connection Failed."), Ui::Buttons::OK,
                             Ui::Icon::Critical);
    done(connected ? QDialog::Accepted : QDialog::Rejected);
}
