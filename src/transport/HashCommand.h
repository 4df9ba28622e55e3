#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace Ftp {

// A command by which the server tells the hash of a whole file, as its FEAT names it: HASH
// with one of the algorithms it lists (SHA-256, SHA-1, MD5; the one marked "*" is selected),
// or one of the older XSHA256, XSHA1 and XMD5. A hash of the server's copy, compared with one
// of the local copy, proves a resumed transfer whole.
class HashCommand
{
public:
    // The strongest command the FEAT lines offer; nothing when they offer none this client can
    // check.
    static std::optional<HashCommand> fromFeatures(const QStringList &features);

    QByteArray verb() const { return m_verb; }
    QCryptographicHash::Algorithm algorithm() const { return m_algorithm; }
    // For HASH with an algorithm the server has not selected: the argument of the OPTS HASH
    // that selects it; empty otherwise.
    QString selection() const { return m_selection; }
    // The server took the selection.
    void markSelected() { m_selection.clear(); }
    // The hash in a reply to the command, in lower-case hex; empty when the reply holds none
    // of the algorithm's length.
    QByteArray digestIn(const QString &reply) const;

private:
    HashCommand(QByteArray verb, QCryptographicHash::Algorithm algorithm, QString selection);

    QByteArray m_verb;
    QCryptographicHash::Algorithm m_algorithm;
    QString m_selection;
};

} // namespace Ftp
