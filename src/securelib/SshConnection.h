#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <libssh2.h>
#include <libssh2_sftp.h>

#include <chrono>
#include <functional>

class KnownHosts;

// One SSH connection with its SFTP channel: the TCP connection, the handshake, the check of
// the server's host key against the known-hosts file, the login and the start of SFTP.
// Connecting runs in small steps so that the caller is asked between them whether to go on;
// afterwards every call blocks, but never longer than the timeout.
class SshConnection
{
public:
    // One call of the SSH library, made again for as long as it answers LIBSSH2_ERROR_EAGAIN.
    using Step = std::function<int()>;

    struct Login
    {
        QString user;
        QString password; // empty: the user's agent and key files instead
        QString server;   // "host", "host:port", "[v6]:port"
        std::chrono::milliseconds timeout{30000};
        bool acceptNewHostKeys = true;
    };

    // What connecting tells its caller: each new status text, and the question whether to go
    // on, asked at every step and at least every 100 ms while waiting.
    struct Progress
    {
        std::function<void(const QString &status)> status;
        std::function<bool()> keepGoing;
    };

    SshConnection() = default;
    ~SshConnection();
    SshConnection(const SshConnection &) = delete;
    SshConnection &operator=(const SshConnection &) = delete;

    // True when the SFTP channel is open. Otherwise failure() says why, and cancelled() tells
    // whether the caller stopped it.
    bool open(const Login &login, const Progress &progress);
    QString failure() const { return m_failure; }
    bool cancelled() const { return m_cancelled; }

    LIBSSH2_SESSION *session() const { return m_session; }
    LIBSSH2_SFTP *sftp() const { return m_sftp; }
    // "host" or "[host]:port", as the server is named in texts.
    QString serverName() const { return m_serverName; }
    // "sftp://user@host:port" ("[v6address]" in brackets): who is logged in where, as a file's
    // origin begins.
    QString location() const { return m_location; }
    // The status text that told of the server's host key being met for the first time and
    // recorded, with its fingerprint; empty when the key was known.
    QString newHostKeyText() const { return m_newHostKeyText; }

    // The longest the server may stay silent during a call.
    std::chrono::milliseconds timeout() const { return m_login.timeout; }

    // Runs a call without blocking until it no longer asks to be called again, and returns its
    // result. While the server is waited for, `goesOn` (when set) is asked at least every
    // 100 ms; its false gives up the call (LIBSSH2_ERROR_EAGAIN). A server silent for longer
    // than `silence` gives it up too (LIBSSH2_ERROR_TIMEOUT). A call given up is in the middle
    // of its work: only a transfer's block may be left so, and only to close the handle next.
    int runWatched(const Step &step, const std::function<bool()> &goesOn,
                   std::chrono::milliseconds silence);
    // Starts a call and returns once its request is on its way: LIBSSH2_ERROR_EAGAIN while the
    // answer is still to come, which the same call, made again, takes. Other calls may go
    // meanwhile, so that their answers come in the same round trip; this one must be made
    // again before any call of its kind, which would take its answer for theirs.
    int startCall(const Step &step);

    // Says goodbye to the server, waiting for it at most a short while.
    void close();
    // Lets the connection go without a word to the server, which is gone or stalled.
    void drop();
    // Makes every later send and receive fail at once; the connection is lost.
    void cutOff();

    // The SSH library's text for its last error.
    QString lastErrorText() const;

private:
    bool openSteps(const Login &login, const Progress &progress);
    bool connectSocket(const QString &host, quint16 port, const Progress &progress);
    // Asks the server for a host key of a recorded type before any other.
    void preferHostKeyTypes(const QList<int> &types);
    bool checkHostKey(KnownHosts &knownHosts, const QString &host, quint16 port,
                      const Progress &progress);
    bool authenticate(const Progress &progress);
    bool authenticateWithKeys(const QByteArray &user, const Progress &progress);
    // Whether the last step failed because the server went silent or the connection broke,
    // rather than by the server's answer.
    bool connectionFailed() const;
    // Runs a step of the non-blocking SSH library until it no longer asks to be called again.
    int runStep(const Step &step, const Progress &progress);
    // Runs a call without blocking until `finished` says so of its result.
    int runUnblocked(const Step &step, const std::function<bool(int result)> &finished,
                     const std::function<bool()> &goesOn, std::chrono::milliseconds silence);
    // Waits until the socket is ready for what the SSH library waits for, at most `slice`;
    // false when it did not become ready.
    bool waitSocket(std::chrono::milliseconds slice) const;
    bool fail(const QString &why);
    bool stop();
    void release(bool politely);

    static void answerPrompts(const char *name, int nameLength, const char *instruction,
                              int instructionLength, int promptCount,
                              const LIBSSH2_USERAUTH_KBDINT_PROMPT *prompts,
                              LIBSSH2_USERAUTH_KBDINT_RESPONSE *responses, void **abstract);

    Login m_login;
    QString m_serverName;
    QString m_location;
    QString m_failure;
    QString m_newHostKeyText;
    bool m_cancelled = false;
    bool m_timedOut = false; // a step outlasted the timeout while connecting
    int m_socket = -1;
    LIBSSH2_SESSION *m_session = nullptr;
    LIBSSH2_SFTP *m_sftp = nullptr;
    std::chrono::steady_clock::time_point m_deadline;
};
