#include "widgets/frmTransfer.h"

#include "widgets/AccessibleNames.h"
#include "widgets/WidgetFactory.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

frmTransfer::frmTransfer(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmTransfer"));
    setWindowModality(Qt::NonModal);
    lblFile = WidgetFactory::label(this, QStringLiteral("lblFile"), QString());
    lblFile->setTextFormat(Qt::PlainText);
    pbTransfer = new QProgressBar(this);
    pbTransfer->setObjectName(QStringLiteral("pbTransfer"));
    pbTransfer->setRange(0, 100);
    lblProgress = WidgetFactory::label(this, QStringLiteral("lblProgress"), QString());
    cmdCancel = WidgetFactory::button(this, QStringLiteral("cmdCancel"), QStringLiteral("&Cancel"));
    connect(cmdCancel, &QPushButton::clicked, this, &frmTransfer::cancel);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblFile);
    layout->addWidget(pbTransfer);
    layout->addWidget(lblProgress);
    layout->addLayout(buttons);
    setMinimumWidth(fontMetrics().averageCharWidth() * 60);
    AccessibleNames::watch(this);

    m_showTimer.setSingleShot(true);
    m_showTimer.setInterval(ShowAfterMs);
    connect(&m_showTimer, &QTimer::timeout, this, [this] {
        if (!m_cancelled)
            show();
    });
    m_tick.setInterval(int(Platform::TransferMeter::IntervalMs));
    connect(&m_tick, &QTimer::timeout, this, [this] {
        if (m_meter && m_meter->update(m_lastDone))
            showMeter();
    });
}

void frmTransfer::fileStarted(const QString &fileName, Direction direction)
{
    const bool up = direction == Direction::Up;
    setWindowTitle(up ? QStringLiteral("Upload File") : QStringLiteral("Download File"));
    lblFile->setText(
        (up ? QStringLiteral("Uploading \"%1\"") : QStringLiteral("Downloading \"%1\""))
            .arg(fileName));
    m_meter.reset();
    m_lastDone = 0;
    m_cancelled = false;
    pbTransfer->setValue(0);
    lblProgress->clear();
    if (!isVisible())
        m_showTimer.start();
    m_tick.start();
}

void frmTransfer::fileResumed(qint64 at, qint64 total)
{
    if (m_cancelled)
        return;
    // The file's time starts now: the bytes a cut attempt moved do not count in the rate.
    m_meter.emplace(total, Platform::TransferMeter::Units::Decimal, at);
    m_meterTotal = total;
    m_lastDone = at;
}

void frmTransfer::fileProgress(qint64 done, qint64 total)
{
    if (m_cancelled)
        return;
    // A page's companion files go before the page, each counted from its start.
    if (!m_meter || total != m_meterTotal || done < m_lastDone) {
        m_meter.emplace(total, Platform::TransferMeter::Units::Decimal);
        m_meterTotal = total;
    }
    m_lastDone = done;
    if (m_meter->update(done))
        showMeter();
}

void frmTransfer::showMeter()
{
    pbTransfer->setValue(m_meter->percent());
    lblProgress->setText(m_meter->text());
    // The bar paints itself at once; the text is painted with it, so that the two never show
    // different moments, even when the transfer keeps the message loop waiting.
    if (isVisible())
        lblProgress->repaint();
}

void frmTransfer::fileEnded()
{
    // A file that went within a second shows nothing; the window, once shown, stays.
    m_showTimer.stop();
    m_tick.stop();
}

void frmTransfer::transfersEnded()
{
    m_showTimer.stop();
    m_tick.stop();
    m_cancelled = false;
    hide();
}

void frmTransfer::closeEvent(QCloseEvent *event)
{
    event->ignore();
    cancel();
}

void frmTransfer::reject()
{
    cancel();
}

void frmTransfer::cancel()
{
    if (m_cancelled)
        return;
    m_cancelled = true;
    m_showTimer.stop();
    m_tick.stop();
    hide();
    Q_EMIT cancelRequested();
}
