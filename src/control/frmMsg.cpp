#include "control/frmMsg.h"

#include "course/SharedState.h"
#include "operations/SessionOpener.h"
#include "platform/Ui.h"
#include "transport/cFTP.h"
#include "widgets/WidgetFactory.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QShowEvent>
#include <QTimer>

using Platform::Ui;

namespace {

int connectDelaySetting = frmMsg::DefaultConnectDelayMs;

const QString ConnectingText = QStringLiteral("  Connecting...");

// A refused login is the failure the box was made for; any other failure keeps the login
// data, and the box says why the server could not be used.
QString failureText(const cFTP &client)
{
    const QString failed = QStringLiteral("Connection Failed.");
    const QString reason = client.connectFailureReason();
    return reason.isEmpty() ? failed : failed + QStringLiteral("\r\n") + reason;
}

} // namespace

frmMsg::frmMsg(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMsg"));
    setWindowTitle(QStringLiteral("Status"));

    Image1 = WidgetFactory::picture(this, QStringLiteral("Image1"),
                                    QStringLiteral(":/vellixon/lock.png"));
    Image1->hide();

    Label1 = WidgetFactory::label(this, QStringLiteral("Label1"), ConnectingText);
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

void frmMsg::reconnect()
{
    frmMsg window(QApplication::activeWindow());
    window.exec();
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
    Image1->setVisible(ChooseSecureChannel());
    setCursor(Qt::WaitCursor);
    Platform::setMousePointer(Ui::Pointer::Hourglass);
    const bool connected = OpenSharedSession();
    // A plain session that runs over TLS is as private as a secure one: it shows the lock too.
    if (connected && !Shared().FtpClient->tlsDescription().isEmpty()) {
        Image1->setToolTip(QStringLiteral("Encrypted (TLS)"));
        Image1->show();
    }

    // The pointer is back to normal before any message.
    Platform::setMousePointer(Ui::Pointer::Default);
    unsetCursor();
    if (!connected)
        Platform::messageBox(failureText(*Shared().FtpClient), Ui::Buttons::OK, Ui::Icon::Critical);
    done(connected ? QDialog::Accepted : QDialog::Rejected);
}
