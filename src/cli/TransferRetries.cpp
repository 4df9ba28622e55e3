#include "cli/TransferRetries.h"

#include "platform/Interruption.h"
#include "transport/cFTP.h"

#include <algorithm>
#include <csignal>
#include <ctime>
#include <poll.h>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// Sleeps for `span` unless a signal asks the running command to stop; false when one did. The
// signals that Interruption handles are blocked but for the sleep itself, so one that comes
// between the look at the flag and the sleep still cuts the sleep short.
bool sleepUnlessInterrupted(std::chrono::seconds span)
{
    sigset_t handled, earlier;
    sigemptyset(&handled);
    for (const int number : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&handled, number);
    pthread_sigmask(SIG_BLOCK, &handled, &earlier);
    const auto deadline = std::chrono::steady_clock::now() + span;
    while (!Platform::Interruption::requested()) {
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero())
            break;
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
        const timespec wait{static_cast<std::time_t>(seconds.count()),
                            static_cast<long>((left - seconds) / std::chrono::nanoseconds(1))};
        ppoll(nullptr, 0, &wait, &earlier);
    }
    pthread_sigmask(SIG_SETMASK, &earlier, nullptr);
    return !Platform::Interruption::requested();
}

} // namespace

TransferRetries::TransferRetries(cFTP &client, Login login, int retries)
    : m_client(client)
    , m_login(std::move(login))
    , m_retries(retries)
{}

void TransferRetries::rememberFolder()
{
    if (m_retries == 0)
        return;
    const QString folder = m_client.GetFTPDirectory();
    m_folder = folder.isEmpty() ? std::nullopt : std::optional(folder);
}

std::chrono::seconds TransferRetries::delayAfter(int failedAttempt)
{
    // 2^6 s already exceeds the cap; the shift stays small whatever the count.
    return std::min(std::chrono::seconds(1 << std::min(failedAttempt - 1, 6)), MaxDelay);
}

bool TransferRetries::run(Resume first, const std::function<bool(Resume)> &attempt,
                          const Notice &notice)
{
    Resume resume = first;
    for (int number = 1;; ++number) {
        if ((number == 1 || sessionReady()) && attempt(resume))
            return true;
        if (number > m_retries || Platform::Interruption::requested() || !failurePasses())
            return false;
        const std::chrono::seconds delay = delayAfter(number);
        if (notice)
            notice({number, m_retries + 1, delay, failureReason()});
        if (!sleepUnlessInterrupted(delay))
            return false;
        resume = Resume::Continue;
    }
}

bool TransferRetries::sessionReady()
{
    m_reopenFailed = false;
    // A session that can still tell its folder is there; one that was lost answers at once.
    if (!m_client.GetFTPDirectory().isEmpty())
        return true;
    // A new session would start in the login folder: without the folder to go back to, a
    // transfer there would go elsewhere.
    m_client.CloseConnection();
    m_client.clearLastErrorMessage();
    m_reopenFailed = !m_folder ||
                     !m_client.OpenConnection(m_login.site, m_login.user, m_login.password) ||
                     !m_client.SetFTPDirectory(*m_folder);
    return !m_reopenFailed;
}

bool TransferRetries::failurePasses() const
{
    if (m_reopenFailed && (!m_folder || m_client.loginRefused()))
        return false;
    return m_client.failureIsPassing();
}

QString TransferRetries::failureReason() const
{
    QString reason = m_client.failureReason().trimmed();
    if (reason.isEmpty())
        reason = m_client.connectFailureReason();
    return reason.isEmpty() ? u"the transfer failed"_s : reason;
}
