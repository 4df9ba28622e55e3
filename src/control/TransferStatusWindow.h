#pragma once

#include "platform/TransferMeter.h"

#include <QDialog>

#include <optional>

class QLabel;
class QProgressBar;

// The Upload command's status window for a long transfer: the file's name, a progress bar and
// the bytes, rate and time left. It appears only once the transfer has run a second, so a
// short upload shows nothing, and it redraws at most ten times a second.
class TransferStatusWindow : public QDialog
{
    Q_OBJECT

public:
    static constexpr qint64 ShowAfterMs = 1000;

    TransferStatusWindow(const QString &fileName, QWidget *parent = nullptr);

    void showProgress(qint64 done, qint64 total);

private:
    QString m_fileName;
    std::optional<Platform::TransferMeter> m_meter;
    QLabel *lblFile;
    QProgressBar *pbTransfer;
    QLabel *lblProgress;
};
