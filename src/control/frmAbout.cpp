#include "control/frmAbout.h"

#include "VellixonVersion.h"
#include "course/LocalPaths.h"
#include "platform/FileSystemObject.h"
#include "platform/Launcher.h"
#include "platform/Ui.h"
#include "widgets/AccessibleNames.h"
#include "widgets/WidgetFactory.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// How much larger the title is than the box's text.
constexpr double TitleGrowth = 1.6;

} // namespace

frmAbout::frmAbout(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    const QString title = Platform::Ui::applicationTitle();
    setWindowTitle(QStringLiteral("About ") + title);

    picIcon = WidgetFactory::picture(this, QStringLiteral("picIcon"),
                                     QStringLiteral(":/vellixon/vellixon.png"));
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    picIcon->setAccessibleName(title);
    Image1 = WidgetFactory::picture(this, QStringLiteral("Image1"),
                                    QStringLiteral(":/vellixon/menu.png"));
    Image1->setAccessibleName(QStringLiteral("Function Menu"));

    lblTitle = makeLabel(QStringLiteral("lblTitle"), title);
    QFont titleFont = lblTitle->font();
    // A desktop may give its font in points or in pixels; the title grows in the same unit.
    if (titleFont.pointSizeF() > 0)
        titleFont.setPointSizeF(titleFont.pointSizeF() * TitleGrowth);
    else
        titleFont.setPixelSize(qRound(titleFont.pixelSize() * TitleGrowth));
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblVersion = makeLabel(QStringLiteral("lblVersion"),
                           QStringLiteral("version %1.%2.%3")
                               .arg(QString::number(VellixonVersion::Major),
                                    QString::number(VellixonVersion::Minor),
                                    QString::number(VellixonVersion::Revision)));
    lblDescription = makeLabel(QStringLiteral("lblDescription"),
                               QString::fromUtf8(VellixonVersion::FileDescription));
    lblCopy = makeLabel(QStringLiteral("lblCopy"), QString::fromUtf8(VellixonVersion::Copyright));
    lblCompany =
        makeLabel(QStringLiteral("lblCompany"), QString::fromUtf8(VellixonVersion::CompanyName));
    lblProduct =
        makeLabel(QStringLiteral("lblProduct"), QString::fromUtf8(VellixonVersion::ProductName));
    lblDisclaimer =
        makeLabel(QStringLiteral("lblDisclaimer"), QString::fromUtf8(VellixonVersion::Comments));
    lblDisclaimer->setWordWrap(true);
    lblDisclaimer->setFixedWidth(lblDisclaimer->fontMetrics().averageCharWidth() * 52);
    Label1 = makeLabel(QStringLiteral("Label1"), QStringLiteral("Product:"));
    Label2 = makeLabel(QStringLiteral("Label2"), QStringLiteral("Company:"));

    cmdOK = WidgetFactory::button(this, QStringLiteral("cmdOK"), QStringLiteral("OK"));
    cmdOK->setDefault(true);
    cmdSysInfo = WidgetFactory::button(this, QStringLiteral("cmdSysInfo"),
                                       QStringLiteral("&System Info..."));
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);

    auto *facts = new QGridLayout;
    facts->addWidget(Label1, 0, 0);
    facts->addWidget(lblProduct, 0, 1);
    facts->addWidget(Label2, 1, 0);
    facts->addWidget(lblCompany, 1, 1);
    facts->setColumnStretch(1, 1);

    auto *rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto *texts = new QVBoxLayout;
    texts->setSpacing(4);
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addSpacing(6);
    texts->addWidget(lblDescription);
    texts->addLayout(facts);
    texts->addWidget(lblCopy);
    texts->addWidget(rule);
    texts->addWidget(lblDisclaimer);

    auto *top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(picIcon);
    top->addLayout(texts, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Image1);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    AccessibleNames::watch(this);
}

QLabel *frmAbout::makeLabel(const QString &name, const QString &text)
{
    return WidgetFactory::label(this, name, text);
}

bool frmAbout::GetKeyValue(Platform::RootKey root, const QString &keyName, const QString &valueName,
                           QString &value)
{
    return ReadRegistryValue(root, keyName, valueName, value);
}

QString frmAbout::SysInfoPath()
{
    QString path;
    if (GetKeyValue(Platform::RootKey::LocalMachine,
                    QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                    QStringLiteral("PATH"), path))
        return path;
    if (GetKeyValue(Platform::RootKey::LocalMachine,
                    QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                    QStringLiteral("MSINFO"), path)) {
        path += QStringLiteral("\\MSINFO32.EXE");
        if (Platform::FileSystemObject().FileExists(path))
            return path;
    }
    return QString();
}

void frmAbout::StartSysInfo()
{
    const QString path = SysInfoPath();
    // The path may hold blanks; quoted, it stays one program name on the command line.
    if (!path.isEmpty() &&
        Platform::Launcher::start(QLatin1Char('"') + path + QLatin1Char('"')).started)
        return;
    Platform::messageBox(QStringLiteral("System Information Is Unavailable At This Time"));
}
