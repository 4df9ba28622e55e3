#pragma once

#include "platform/Registry.h"

#include <QDialog>

class QLabel;
class QPushButton;

// The about box: the library's name, version and version-block texts, and a button that
// starts the system information program.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *parent = nullptr);

    // Starts the system information program, or tells the user it is not there.
    void StartSysInfo();
    // One string value of the registry; false when the key or value cannot be read.
    static bool GetKeyValue(Platform::RootKey root, const QString &keyName,
                            const QString &valueName, QString &value);

private:
    QLabel *makeLabel(const QString &name, const QString &text);
    // The path of the system information program when the registry names one that exists.
    static QString SysInfoPath();

    QLabel *picIcon = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *lblCopy = nullptr;
    QLabel *lblCompany = nullptr;
    QLabel *lblProduct = nullptr;
    QLabel *lblDisclaimer = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdSysInfo = nullptr;
};
