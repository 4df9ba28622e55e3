#include "control/frmLogin.h"

#include "course/SharedState.h"
#include "widgets/AccessibleNames.h"
#include "widgets/WidgetFactory.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Room for a host name with a path, in average characters.
constexpr int FieldWidthInCharacters = 32;

} // namespace

frmLogin::frmLogin(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("Login"));

    txtSiteName =
        WidgetFactory::textBox(this, QStringLiteral("txtSiteName"), FieldWidthInCharacters);
    txtUserName =
        WidgetFactory::textBox(this, QStringLiteral("txtUserName"), FieldWidthInCharacters);
    txtPassword =
        WidgetFactory::textBox(this, QStringLiteral("txtPassword"), FieldWidthInCharacters);
    txtPassword->setEchoMode(QLineEdit::Password);
    // A star for each character, as the login has always shown it, whatever the style's own
    // password character.
    txtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: %1").arg(int('*')));

    chkSecure = new QCheckBox(QStringLiteral("Secure FTP"), this);
    chkSecure->setObjectName(QStringLiteral("chkSecure"));
    Image1 = WidgetFactory::picture(this, QStringLiteral("Image1"),
                                    QStringLiteral(":/vellixon/lock.png"));
    Image1->setToolTip(QStringLiteral("Secure FTP"));
    Image1->setVisible(false);
    connect(chkSecure, &QCheckBox::toggled, this, &frmLogin::chkSecure_Toggled);

    cmdOK = WidgetFactory::button(this, QStringLiteral("cmdOK"), QStringLiteral("OK"));
    cmdOK->setDefault(true);
    cmdCancel = WidgetFactory::button(this, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"));
    connect(cmdOK, &QPushButton::clicked, this, &frmLogin::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmLogin::reject);

    auto *fields = new QFormLayout;
    fields->addRow(makeLabel(QStringLiteral("&Site "), txtSiteName), txtSiteName);
    fields->addRow(makeLabel(QStringLiteral("&User Name:"), txtUserName), txtUserName);
    fields->addRow(makeLabel(QStringLiteral("&Password:"), txtPassword), txtPassword);
    auto *secureRow = new QHBoxLayout;
    secureRow->addWidget(chkSecure);
    secureRow->addWidget(Image1);
    secureRow->addStretch();
    fields->addRow(QString(), secureRow);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto *outer = new QVBoxLayout(this);
    outer->addLayout(fields);
    outer->addLayout(buttons);
    // The dialog keeps the size its contents ask for.
    outer->setSizeConstraint(QLayout::SetFixedSize);
    AccessibleNames::watch(this);
}

QLabel *frmLogin::makeLabel(const QString &text, QWidget *buddy)
{
    return WidgetFactory::label(this, QString(), text, buddy);
}

void frmLogin::setEntries(const Entries &entries)
{
    txtSiteName->setText(entries.SiteName);
    txtUserName->setText(entries.UserName);
    txtPassword->setText(entries.Password);
    chkSecure->setChecked(entries.Secure);
}

frmLogin::Entries frmLogin::entries() const
{
    return {txtSiteName->text(), txtUserName->text(), txtPassword->text(), chkSecure->isChecked()};
}

void frmLogin::cmdOK_Click()
{
    Shared().LoginCancelled = false;
    accept();
}

void frmLogin::reject()
{
    Shared().LoginCancelled = true;
    QDialog::reject();
}

void frmLogin::chkSecure_Toggled(bool checked)
{
    // The lock tells at a glance that the login will go over a secure channel.
    Image1->setVisible(checked);
}
