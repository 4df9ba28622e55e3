#include "control/TransferStatusWindow.h"

#include "widgets/AccessibleNames.h"
#include "widgets/WidgetFactory.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

TransferStatusWindow::TransferStatusWindow(const QString &fileName, QWidget *parent)
    : QDialog(parent)
    , m_fileName(fileName)
{
    setObjectName(QStringLiteral("frmTransfer"));
    setWindowTitle(QStringLiteral("Upload File"));
    lblFile = WidgetFactory::label(this, QStringLiteral("lblFile"),
                                   QStringLiteral("Uploading \"%1\"").arg(fileName));
    pbTransfer = new QProgressBar(this);
    pbTransfer->setObjectName(QStringLiteral("pbTransfer"));
    pbTransfer->setRange(0, 100);
    lblProgress = WidgetFactory::label(this, QStringLiteral("lblProgress"), QString());
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblFile);
    layout->addWidget(pbTransfer);
    layout->addWidget(lblProgress);
    setMinimumWidth(360);
    AccessibleNames::watch(this);
}

void TransferStatusWindow::showProgress(qint64 done, qint64 total)
{
    if (!m_meter)
        m_meter.emplace(total);
    if (!m_meter->update(done))
        return;
    pbTransfer->setValue(m_meter->percent());
    lblProgress->setText(m_meter->text());
    if (!isVisible() && m_meter->elapsedMs() >= ShowAfterMs)
        show();
}
