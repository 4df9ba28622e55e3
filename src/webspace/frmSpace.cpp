#include "webspace/frmSpace.h"

#include "course/SharedState.h"
#include "platform/NumberText.h"
#include "transport/cFTP.h"
#include "widgets/AccessibleNames.h"
#include "widgets/WidgetFactory.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct LevelControls
{
    const char *checkBox;
    const char *label;
    const char *level; // what a screen reader tells of the box beside its caption
};

constexpr std::array<LevelControls, WebSpace::LevelCount> Controls = {{
    {"chkSite", "lblSite", "Whole site"},
    {"chkDV", "lblDV", "Dovrelle folder"},
    {"chkCourse", "lblCourse", "Course folder"},
    {"chkArchive", "lblArchive", "Archive folder"},
    {"chkMonth", "lblMonth", "Month folder"},
}};

// Wide enough for the largest total, "2,147.5 MB  ".
constexpr int LabelWidthInCharacters = 16;

// A folder's name as a caption: an "&" in it is shown, not taken for a mnemonic.
QString captionOf(const QString &folder)
{
    return QString(folder).replace(u'&', QLatin1String("&&"));
}

} // namespace

frmSpace::frmSpace(QWidget *parent)
    : QDialog(parent)
    , m_space({
          [] { QCoreApplication::processEvents(); },
          [this](bool busy) { showBusy(busy); },
          [this](WebSpace::Level level, qint64 bytes) { showTotal(level, bytes); },
      })
{
    setObjectName(QStringLiteral("frmSpace"));
    setWindowTitle(QStringLiteral("Web Space"));
    buildControls();
    Form_Load();
    AccessibleNames::watch(this);
}

void frmSpace::buildControls()
{
    Frame1 = new QGroupBox(QStringLiteral("Web Space Stats"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *levels = new QGridLayout(Frame1);
    for (int level = 0; level < WebSpace::LevelCount; ++level) {
        auto *box = new QCheckBox(Frame1);
        box->setObjectName(QLatin1String(Controls.at(level).checkBox));
        box->setAccessibleDescription(QLatin1String(Controls.at(level).level));
        QLabel *total =
            WidgetFactory::label(Frame1, QLatin1String(Controls.at(level).label), QString());
        total->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        total->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        total->setMinimumWidth(total->fontMetrics().averageCharWidth() * LabelWidthInCharacters);
        levels->addWidget(box, level, 0);
        levels->addWidget(total, level, 1);
        m_levelBoxes.at(level) = box;
        m_totalLabels.at(level) = total;
    }
    levels->setColumnStretch(0, 1);

    cmdOK = WidgetFactory::button(this, QStringLiteral("cmdOK"), QStringLiteral("&OK"),
                                  QStringLiteral("Measure the ticked levels"));
    cmdOK->setDefault(true);
    cmdCancel = WidgetFactory::button(this, QStringLiteral("cmdCancel"), QStringLiteral("E&xit"),
                                      QStringLiteral("Stop measuring, or close the window"));
    imglock = WidgetFactory::picture(this, QStringLiteral("imglock"),
                                     QStringLiteral(":/vellixon/lock.png"));
    imglock->setToolTip(QStringLiteral("Secure FTP"));
    connect(cmdOK, &QPushButton::clicked, this, &frmSpace::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSpace::cmdCancel_Click);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(imglock);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void frmSpace::Form_Load()
{
    const SharedState &state = Shared();
    const std::array<QString, WebSpace::LevelCount> captions = {
        QStringLiteral("&Site"),      QStringLiteral("&Dovrelle"),      captionOf(state.CourseName),
        captionOf(state.ArchiveName), captionOf(m_space.monthFolder()),
    };
    for (int level = 0; level < WebSpace::LevelCount; ++level) {
        m_levelBoxes.at(level)->setText(captions.at(level));
        // A level the remote directory does not name has no folder to measure.
        m_levelBoxes.at(level)->setEnabled(!captions.at(level).isEmpty());
    }
    const cFTP *client = state.FtpClient.get();
    imglock->setVisible(client && client->secure());
}

void frmSpace::cmdOK_Click()
{
    WebSpace::Ticked ticked{};
    for (int level = 0; level < WebSpace::LevelCount; ++level) {
        m_totalLabels.at(level)->clear();
        m_totalLabels.at(level)->setToolTip(QString());
        ticked.at(level) = m_levelBoxes.at(level)->isChecked();
    }
    // One measuring at a time: the messages run while it walks.
    cmdOK->setEnabled(false);
    const WebSpace::Outcome outcome = m_space.measure(ticked);
    cmdOK->setEnabled(true);
    if (outcome == WebSpace::Outcome::Failed)
        close();
}

void frmSpace::cmdCancel_Click()
{
    if (m_space.exitPressed())
        close();
}

void frmSpace::reject()
{
    cmdCancel_Click();
}

void frmSpace::closeEvent(QCloseEvent *event)
{
    m_space.closing();
    event->accept();
    done(QDialog::Rejected);
}

void frmSpace::showTotal(WebSpace::Level level, qint64 bytes)
{
    QLabel *label = m_totalLabels.at(level);
    label->setText(WebSpace::totalText(bytes));
    label->setToolTip(Platform::NumberText::grouped(bytes) + QStringLiteral(" bytes"));
    // The next level's walk keeps the loop busy: show this one now.
    label->repaint();
}

void frmSpace::showBusy(bool busy)
{
    if (busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}
