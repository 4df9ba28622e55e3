#pragma once

#include <QString>

// The system account that vsftpd's test sessions log in as. A test run as root creates it once,
// when it is missing, with the empty folders the servers want; nothing else about the system is
// changed.
class VsftpdAccount
{
public:
    static QString name();
    static QString password();

    // Makes sure that the account exists, that vsftpd's PAM service lets it in, and that the
    // system folders vsftpd and sshd want exist; false with the reason when it cannot.
    static bool ensure(QString *why);
    // Gives the account the folder a server serves and, through a default ACL, everything later
    // created in it by anyone: files a test writes there as root can still be changed through
    // the server. The account may pass through privateDir, around it, without seeing into it.
    static bool grantServedFolder(const QString &privateDir, const QString &served, QString *why);
};
