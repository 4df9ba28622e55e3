#pragma once

#include <QString>

// The system account that vsftpd's test sessions log in as. A test run as root creates it once,
// when it is missing; nothing else about the system is changed.
class VsftpdAccount
{
public:
    static QString name();
    static QString password();

    // Makes sure that the account exists and that vsftpd's PAM service lets it in; false with the
    // reason when it cannot.
    static bool ensure(QString *why);
    // Gives the account the folder and, through a default ACL, everything later created in it by
    // anyone: files a test writes there as root can still be changed through the server.
    static bool grantFolder(const QString &path, QString *why);
    // Grants the folder a server serves (grantFolder) inside a private folder of the test, which
    // the account may pass through without seeing into it.
    static bool grantServedFolder(const QString &privateDir, const QString &served, QString *why);
};
