#pragma once

#include "servers/ServerLogin.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <thread>

// An FTP server on loopback that stops answering, for the client's connect and reply timeouts.
// It serves on a thread of its own with plain sockets, so it keeps accepting while the test's
// thread is blocked in a client call.
class SilentFtpServer : public ServerLogin
{
public:
    enum class Behaviour {
        // Accepts connections and never sends a byte.
        Mute,
        // Greets, answers USER, PASS, FEAT and PWD, and goes silent on a connection at the first
        // other command.
        StallAfterLogin,
    };

    // With StallAfterLogin and a verb of the login, the server goes silent at that verb
    // instead; at AUTH it first agrees (234), and then never answers the TLS handshake.
    explicit SilentFtpServer(Behaviour behaviour = Behaviour::Mute, QByteArray silentAt = {});
    // Closes every connection and ends the thread at once.
    ~SilentFtpServer();
    SilentFtpServer(const SilentFtpServer &) = delete;
    SilentFtpServer &operator=(const SilentFtpServer &) = delete;

    // False when no listening socket could be set up.
    bool isListening() const { return m_port != 0; }
    // Connections accepted so far.
    int connectionCount() const { return m_connections; }

private:
    void serve();

    const Behaviour m_behaviour;
    const QByteArray m_silentAt;
    int m_listener = -1;
    std::atomic<int> m_connections{0};
    std::thread m_thread;
};
