#pragma once

#include <QString>

// What a server channel asks of the client it works for: the message loop, the user's
// cancel, where progress and the text of a failure go, and where temporary files are made.
class ChannelOwner
{
public:
    // Lets the message loop run once.
    virtual void pumpMessages() = 0;
    // True once the user asked to stop the running operation.
    virtual bool cancelRequested() const = 0;
    // Asked again and again while a secure session connects; false stops the connect.
    virtual bool connectGoesOn() = 0;
    virtual void reportProgress(qint64 done, qint64 total) = 0;
    // A transfer continues a partial file at `at` of `total` bytes; told before its first
    // progress.
    virtual void reportResumed(qint64 at, qint64 total) = 0;
    // Keeps the text of a failure for GetLastErrorMessage.
    virtual void recordErrorText(const QString &text) = 0;
    // A file of a page's companion folder was not fetched: its server name cannot name a
    // local file.
    virtual void serverNameRefused(const QString &name) = 0;
    // A file of a page's companion folder was not fetched: its local path (DOS) holds a pipe,
    // a device, a socket or a folder, which stays as it is.
    virtual void localFileRefused(const QString &dosPath) = 0;
    // The DOS folder (ending in "\") where temporary copies are written.
    virtual QString temporaryFolder() const = 0;

protected:
    ~ChannelOwner() = default;
};
