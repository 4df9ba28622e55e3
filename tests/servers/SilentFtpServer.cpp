#include "servers/SilentFtpServer.h"

#include "servers/ServerProcess.h"

#include <QByteArrayList>
#include <QHash>

#include <vector>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// One client connection and the part of a command line read so far.
struct Connection
{
    int socket = -1;
    QByteArray pending;
    bool silent = false;
};

void send(int socket, const QByteArray &reply)
{
    // A client that went away must not raise SIGPIPE in the test program.
    ::send(socket, reply.constData(), size_t(reply.size()), MSG_NOSIGNAL);
}

// Answers the commands of a login, until the first command that is not one of them or the one
// to go silent at.
void answerLogin(Connection &connection, const QByteArray &silentAt)
{
    qsizetype end;
    while (!connection.silent && (end = connection.pending.indexOf('\n')) >= 0) {
        const QByteArray line = connection.pending.left(end).trimmed();
        connection.pending.remove(0, end + 1);
        const QByteArray command = line.split(' ').constFirst().toUpper();
        // AUTH is refused as by a server without TLS, unless the server goes silent at it.
        static const QHash<QByteArray, QByteArray> replies{{"USER", "331 Password required"},
                                                           {"PASS", "230 Logged in"},
                                                           {"AUTH", "502 Not implemented"},
                                                           {"FEAT", "211 End"},
                                                           {"PWD", "257 \"/\""}};
        if (command == silentAt && command == "AUTH")
            send(connection.socket, "234 Proceed with negotiation\r\n");
        else if (command != silentAt && replies.contains(command))
            send(connection.socket, replies.value(command) + "\r\n");
        connection.silent = command == silentAt || !replies.contains(command);
    }
}

} // namespace

SilentFtpServer::SilentFtpServer(Behaviour behaviour, QByteArray silentAt)
    : m_behaviour(behaviour)
    , m_silentAt(std::move(silentAt))
{
    quint16 port = 0;
    m_listener = ServerProcess::loopbackSocket(true, &port);
    if (m_listener < 0)
        return;
    m_port = port;
    m_thread = std::thread([this] { serve(); });
}

SilentFtpServer::~SilentFtpServer()
{
    if (m_thread.joinable()) {
        // A listener shut down wakes the thread's poll with a hang-up, which ends the thread.
        ::shutdown(m_listener, SHUT_RDWR);
        m_thread.join();
        ::close(m_listener);
    }
}

void SilentFtpServer::serve()
{
    std::vector<Connection> connections;
    std::vector<pollfd> watched;
    for (;;) {
        watched.assign({{m_listener, POLLIN, 0}});
        for (const Connection &connection : connections)
            watched.push_back({connection.socket, POLLIN, 0});
        if (::poll(watched.data(), watched.size(), -1) < 0)
            continue;
        if (watched[0].revents & POLLHUP)
            break;
        // Reading first and accepting after keeps the indexes of watched and connections aligned.
        for (size_t i = connections.size(); i-- > 0;) {
            if (!watched[i + 1].revents)
                continue;
            char buffer[4096];
            const ssize_t received = ::recv(connections[i].socket, buffer, sizeof buffer, 0);
            if (received <= 0) {
                ::close(connections[i].socket);
                connections.erase(connections.begin() + qsizetype(i));
            } else if (m_behaviour == Behaviour::StallAfterLogin) {
                connections[i].pending.append(buffer, received);
                answerLogin(connections[i], m_silentAt);
            }
        }
        if (watched[0].revents) {
            const int socket = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (socket < 0)
                continue;
            ++m_connections;
            if (m_behaviour == Behaviour::StallAfterLogin)
                send(socket, "220 ready\r\n");
            connections.push_back({socket, {}, false});
        }
    }
    for (const Connection &connection : connections)
        ::close(connection.socket);
}
