#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The login dialog: asks for the FTP site, user name and password, and whether to use secure
// FTP. It only shows and collects; the caller fills it, runs it modally and reads it back
// (see LoadLoginData). How it was left is the shared login-cancelled flag.
class frmLogin : public QDialog
{
    Q_OBJECT

public:
    // What the dialog shows and what the user entered.
    struct Entries
    {
        QString SiteName;
        QString UserName;
        QString Password;
        bool Secure = false;
    };

    explicit frmLogin(QWidget *parent = nullptr);

    void setEntries(const Entries &entries);
    Entries entries() const;

    // Cancel, Escape and the close box all end here: each of them cancels the login.
    void reject() override;

private:
    void cmdOK_Click();
    void chkSecure_Toggled(bool checked);
    QLabel *makeLabel(const QString &text, QWidget *buddy);

    QLineEdit *txtSiteName = nullptr;
    QLineEdit *txtUserName = nullptr;
    QLineEdit *txtPassword = nullptr;
    QCheckBox *chkSecure = nullptr;
    QLabel *Image1 = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
};
