#pragma once

#include "cli/TransferRetries.h"

#include <QStringList>

#include <functional>
#include <optional>
#include <span>

class cFTP;
namespace Ftp {
struct Entry;
}
class QTextStream;

// The commands of "vellix ftp" (pwd, cd, ls, put, get, ren, del, mkdir, rmdir, size) on a
// logged-in client. Local paths are Linux paths; they reach the client as the DOS paths it
// takes. Results are printed on the output stream; failures come back as texts. put and get
// start over unless given -c, and are tried again as the retries allow.
class FtpOperations
{
public:
    FtpOperations(cFTP &client, TransferRetries &retries, QTextStream &out);

    // One line per command: its arguments ("put LOCAL REMOTE") and what it does.
    static QStringList usage();
    // Why the words do not make a command (unknown name, too few or too many arguments);
    // empty when they do.
    static QString problemWith(const QStringList &words);

    // Runs a command whose words passed problemWith, telling `retryNotice` of each retry of a
    // transfer. The text of its failure, nothing when it succeeded.
    std::optional<QString> run(const QStringList &words,
                               const TransferRetries::Notice &retryNotice = {});

    // One entry as ls prints it: name|size|seconds since 1970 UTC|type, the name's control
    // characters, "\" and "|" written as \xHH.
    static QString listingLine(const Ftp::Entry &entry);

private:
    using Result = std::optional<QString>;
    struct Verb;
    static std::span<const Verb> verbs();
    static const Verb *find(const QString &name);

    Result pwd(const QStringList &arguments);
    Result cd(const QStringList &arguments);
    Result ls(const QStringList &arguments);
    Result put(const QStringList &arguments);
    Result get(const QStringList &arguments);
    Result ren(const QStringList &arguments);
    Result del(const QStringList &arguments);
    Result mkdir(const QStringList &arguments);
    Result rmdir(const QStringList &arguments);
    Result size(const QStringList &arguments);

    // Runs a transfer with its retries.
    bool transfer(Resume first, const std::function<bool(Resume)> &attempt);
    // The outcome of a client call: the error text it left, else the fallback.
    Result outcome(bool succeeded, const QString &fallback) const;

    cFTP &m_client;
    TransferRetries &m_retries;
    QTextStream &m_out;
    const TransferRetries::Notice *m_retryNotice = nullptr; // the running command's
};
