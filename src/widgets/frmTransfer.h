#pragma once

#include "operations/TransferViewPort.h"
#include "platform/TransferMeter.h"

#include <QDialog>
#include <QTimer>

#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;

// The transfer window: the file going across, a bar, the bytes, rate and time left, and
// Cancel. It appears once a file has taken a second, so that short transfers show nothing,
// stays while the operation moves its files, and goes when the operation is done. Cancel, the
// close box and Escape ask the owner to stop the operation, as its own Exit or Cancel does; the
// window goes at once and does not come back for the file that was cancelled.
class frmTransfer
    : public QDialog
    , public TransferViewPort
{
    Q_OBJECT

public:
    static constexpr int ShowAfterMs = 1000;

    explicit frmTransfer(QWidget *parent = nullptr);

    // TransferViewPort
    void fileStarted(const QString &fileName, Direction direction) override;
    void fileResumed(qint64 at, qint64 total) override;
    void fileProgress(qint64 done, qint64 total) override;
    void fileEnded() override;
    void transfersEnded() override;

Q_SIGNALS:
    // The user asked to stop the running operation.
    void cancelRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
    // Escape cancels; it never only hides the window.
    void reject() override;

private:
    void cancel();
    // The meter's latest figures in the bar and the text.
    void showMeter();

    QTimer m_showTimer;
    // While a file goes across, the figures follow the time too: when the server pauses, the
    // text shows the last bytes done, and the rate and time left as they are now.
    QTimer m_tick;
    std::optional<Platform::TransferMeter> m_meter;
    qint64 m_meterTotal = 0;
    qint64 m_lastDone = 0;
    bool m_cancelled = false;
    QLabel *lblFile;
    QProgressBar *pbTransfer;
    QLabel *lblProgress;
    QPushButton *cmdCancel;
};
