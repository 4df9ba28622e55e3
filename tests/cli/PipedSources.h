#pragma once

#include "CliRun.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// What `vellix ftp put` does with a source that is no regular file, over either channel: a
// named pipe or standard input goes up as its bytes come, until its end, and the server file
// holds exactly those bytes; a socket is refused before the server is asked anything.
namespace PipedSources {

// Runs vellix with `put SOURCE NAME` after the login, and `input` on its standard input.
using Put =
    std::function<CliRun(const QString &source, const QString &name, const QByteArray &input)>;

// A socket bound at `path`, closed at the end of the test.
class BoundSocket
{
public:
    explicit BoundSocket(const QString &path)
        : m_fd(::socket(AF_UNIX, SOCK_STREAM, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        if (m_fd >= 0 && size_t(name.size()) < sizeof(address.sun_path)) {
            std::copy(name.begin(), name.end(), address.sun_path);
            m_bound = ::bind(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
        }
    }
    ~BoundSocket()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    BoundSocket(const BoundSocket &) = delete;
    BoundSocket &operator=(const BoundSocket &) = delete;

    bool bound() const { return m_bound; }

private:
    int m_fd = -1;
    bool m_bound = false;
};

// `serverFolder` is the local path of the folder the put writes into; `temp` a folder of the
// test's own. The bytes come in two writes with a pause between them, so that the upload
// reads the pipe while it is still being written.
inline void check(const Put &put, const QString &serverFolder, const QString &temp,
                  const QByteArray &content)
{
    const QString first = temp + u"/first.bin"_s;
    const QString second = temp + u"/second.bin"_s;
    for (const auto &[path, bytes] : {std::pair{first, content.left(content.size() / 3)},
                                      std::pair{second, content.mid(content.size() / 3)}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // A named pipe, written by another process.
    const QString fifo = temp + u"/lesson.fifo"_s;
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QProcess writer;
    writer.start(u"/bin/sh"_s, {u"-c"_s, u"{ cat \"$1\"; sleep 0.3; cat \"$2\"; } > \"$3\""_s,
                                u"sh"_s, first, second, fifo});
    const CliRun fromFifo = put(fifo, u"from-fifo.bin"_s, {});
    EXPECT_TRUE(writer.waitForFinished(30000));
    EXPECT_EQ(fromFifo.exitCode, 0) << fromFifo.err.toStdString();
    QFile uploaded(serverFolder + u"/from-fifo.bin"_s);
    EXPECT_TRUE(uploaded.open(QIODevice::ReadOnly));
    EXPECT_TRUE(uploaded.readAll() == content);

    // Standard input, piped in.
    const CliRun fromStdin = put(u"/dev/stdin"_s, u"from-stdin.bin"_s, content);
    EXPECT_EQ(fromStdin.exitCode, 0) << fromStdin.err.toStdString();
    QFile piped(serverFolder + u"/from-stdin.bin"_s);
    EXPECT_TRUE(piped.open(QIODevice::ReadOnly));
    EXPECT_TRUE(piped.readAll() == content);

    // A socket: refused, and nothing reaches the server.
    const QString socketPath = temp + u"/lesson.sock"_s;
    const BoundSocket socket(socketPath);
    ASSERT_TRUE(socket.bound());
    const QStringList before = QDir(serverFolder).entryList(QDir::Files | QDir::Hidden);
    const CliRun fromSocket = put(socketPath, u"from-socket.bin"_s, {});
    EXPECT_EQ(fromSocket.exitCode, 1);
    EXPECT_TRUE(fromSocket.err.contains(u"is a socket: put reads files, pipes and character "
                                        u"devices"_s))
        << fromSocket.err.toStdString();
    EXPECT_EQ(QDir(serverFolder).entryList(QDir::Files | QDir::Hidden), before);
}

} // namespace PipedSources
