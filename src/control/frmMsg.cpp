#include "control/frmMsg.h"

#include "course/SharedState.h"
#include "operations/SessionOpener.h"
#include "platform/Ui.h"
#include "transport/cFTP.h"
#include "widgets/AccessibleNames.h"
#include "widgets/WidgetFactory.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

using Platform::Ui;

namespace {

int connectDelaySetting = frmMsg::DefaultConnectDelayMs;

const QString ConnectingText = QStringLiteral("  Connecting...");

// The narrowest width at which a window manager's title bar shows the whole caption: its text in
// the title's font (bold, as most desktops draw it), beside the window's icon and its buttons
// (minimize, maximize, close), each about as wide as the bar is high. Qt names the title font
// after its own title bars.
int captionWidth(const QWidget &window)
{
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int barHeight =
        std::max(window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window),
                 metrics.height() * 3 / 2);
    return metrics.horizontalAdvance(window.windowTitle()) + 5 * barHeight;
}

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
    Image1->setToolTip(QStringLiteral("Secure FTP"));
    Image1->hide();

    Label1 = WidgetFactory::label(this, QStringLiteral("Label1"), ConnectingText);
    QFont font = Label1->font();
    font.setFamily(QStringLiteral("MS Sans Serif"));
    Label1->setFont(font);

    cmdCancel = WidgetFactory::button(this, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"));
    connect(cmdCancel, &QPushButton::clicked, this, &frmMsg::cmdCancel_Click);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &frmMsg::Timer1_Timer);

    auto *status = new QHBoxLayout;
    status->addWidget(Image1);
    status->addWidget(Label1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(status);
    layout->addLayout(buttons);
    layout->addStrut(captionWidth(*this));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    AccessibleNames::watch(this);
}

bool frmMsg::reconnect()
{
    frmMsg window(QApplication::activeWindow());
    return window.exec() == QDialog::Accepted;
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
    // Painted before the connect starts, which may take the first slice of its wait.
    Label1->repaint();
    Connect();
    Timer1->stop();
    Timer1->setInterval(0);
}

void frmMsg::cmdCancel_Click()
{
    m_cancelRequested = true;
    cmdCancel->setEnabled(false);
    // Before the connect has started it fails at once, reaching no server.
    if (Timer1->isActive()) {
        Timer1->stop();
        Connect();
    }
}

void frmMsg::reject()
{
    if (cmdCancel->isEnabled())
        cmdCancel_Click();
}

void frmMsg::Connect()
{
    Image1->setVisible(ChooseSecureChannel());
    setCursor(Qt::WaitCursor);
    Platform::setMousePointer(Ui::Pointer::Hourglass);
    const bool connected = OpenSharedSession([this] { return m_cancelRequested; });
    // The report the commands look at: after a failed connect the next login read shows no
    // dialog, and a size walk counts nothing.
    Shared().ConnectionFailed = !connected;
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
