#pragma once

#include "transport/CSFtp.h"
#include "transport/ServerChannel.h"

class ChannelOwner;

// The channel over the secure library: every operation is one command text through CSFtp. The
// library keeps its own session and its own words for a failure (its status), so this channel
// records no error text of the client's.
class SecureChannel final : public ServerChannel
{
public:
    explicit SecureChannel(ChannelOwner &owner);

    void setBeforeCommand(std::function<void()> beforeCommand);
    void setTimeout(std::chrono::milliseconds timeout) { m_library.setTimeout(timeout); }

    std::optional<ConnectFailure> open(const QString &server, const QString &user,
                                       const QString &password,
                                       const std::function<bool()> &stopped) override;
    void close() override;
    bool rename(const QString &from, const QString &to) override;
    bool makeFolder(const QString &folder) override;
    bool removeFolder(const QString &folder) override;
    bool deleteFile(const QString &remote) override;
    bool upload(const LocalPath &local, const QString &remote, Resume resume) override;
    bool download(const LocalPath &local, const QString &remote, Resume resume) override;
    std::optional<QString> currentFolder() override;
    bool setCurrentFolder(const QString &folder, FolderMatch match) override;
    qint64 fileSize(const QString &file, SizeMatch match) override;
    std::optional<bool> fileExists(const QString &file) override;
    ListingEnd list(const QString &filter,
                    const std::function<void(Ftp::Entry &&entry)> &take) override;
    double recordDate(const QDateTime &utc) const override;
    void stopTransfer() override {}
    bool stopClosesSession() const override { return false; }
    // The secure library bounds its own waits for a command's answer.
    void setCommandsInterruptible(bool) override {}
    QString failureText() const override;
    bool failureIsPassing() const override;
    QString securityNote(bool detailed) const override;

private:
    bool command(const QString &text);
    // "put " or "get " with the flags of a page ("-h") and of a resume ("-c").
    static QString transferVerb(QStringView verb, bool page, Resume resume);
    // A put or get, told as a transfer of blocks: progress after every block, the message loop
    // and the cancel check also while the server is waited for.
    bool transfer(const QString &text);

    ChannelOwner &m_owner;
    CSFtp m_library;
};
