#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;

// The connection status window: stands on the screen while the control opens its FTP session
// with the login data of the shared state. It connects by itself a moment after it is shown,
// reports a failure, and closes; the caller then looks at the FTP client to see the outcome.
// The message loop runs while it connects, and Cancel (or Escape, or the close box) gives the
// connect up: the window then ends as after any failed connect.
class frmMsg : public QDialog
{
    Q_OBJECT

public:
    // How long the window stands before it connects, so that the user sees it.
    static constexpr int DefaultConnectDelayMs = 1000;

    explicit frmMsg(QWidget *parent = nullptr);

    // Opens the shared client's session again with the window on the screen over the active
    // window: the reconnect routine the control installs in the shared state. True when the
    // session is open.
    static bool reconnect();

    // The delay of every window shown from now on (tests shorten it).
    static void setConnectDelay(int milliseconds);
    static int connectDelay();

    // Opens the session: reads whether the course wants the secure channel, works out host
    // and web root, connects, makes the server paths absolute under the login folder, and
    // unloads the window. The timer calls it.
    void Connect();

public Q_SLOTS:
    // Escape and the close box cancel, as the Cancel button does: the window closes when the
    // connect has ended.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Timer1_Timer();
    void cmdCancel_Click();
    void showLock();

    QLabel *Label1 = nullptr;
    QLabel *Image1 = nullptr;
    QPushButton *cmdCancel = nullptr;
    QTimer *Timer1 = nullptr;
    bool m_cancelRequested = false;
};
