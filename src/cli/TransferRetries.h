#pragma once

#include "transport/Resume.h"

#include <QString>

#include <chrono>
#include <functional>
#include <optional>

class cFTP;

// Runs a transfer again after a failure that trying later may cure (a cut data connection, a
// lost session, a server that did not answer): it waits 1, 2, 4, ... seconds (at most a
// minute), opens the session anew when it is gone, in the server folder it was in, and lets
// the next attempt continue what the last one left. A signal ends the wait at once.
class TransferRetries
{
public:
    static constexpr int MaxRetries = 100;
    static constexpr std::chrono::seconds MaxDelay{60};

    struct Login
    {
        QString site, user, password;
    };
    // One retry about to be made.
    struct Retry
    {
        int failedAttempt = 0; // counted from 1
        int attempts = 0;      // the most there will be
        std::chrono::seconds delay{};
        QString reason; // why the attempt failed
    };
    using Notice = std::function<void(const Retry &)>;

    // No retries at all when `retries` is 0.
    TransferRetries(cFTP &client, Login login, int retries);

    // Remembers the session's current server folder, the one a new session is put back in.
    // Asks the server only when there are retries to make.
    void rememberFolder();

    // Runs `attempt` until it succeeds, fails for good or the retries are spent: the first
    // attempt resumes as `first` says, every later one continues. `notice` hears of each
    // retry before its wait. True when an attempt succeeded.
    bool run(Resume first, const std::function<bool(Resume)> &attempt, const Notice &notice);

private:
    // The wait before the retry that follows the failed attempt of that number.
    static std::chrono::seconds delayAfter(int failedAttempt);
    // Makes sure a session is open in the remembered folder; false when none could be opened
    // or put back there.
    bool sessionReady();
    // Whether the last failure (of the attempt, or of the session's reopening) may pass.
    bool failurePasses() const;
    QString failureReason() const;

    cFTP &m_client;
    Login m_login;
    int m_retries = 0;
    // Unknown when the folder could not be read: a new session then cannot go on there.
    std::optional<QString> m_folder;
    bool m_reopenFailed = false;
};
