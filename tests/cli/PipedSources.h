#pragma once

#include "CliRun.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

// What `vellix ftp put` does with a source that is no regular file, over either channel: a
// named pipe or standard input goes up as its bytes come, until its end, and the server file
// holds exactly those bytes; a socket is refused before the server is asked anything.
namespace PipedSources {

// Runs vellix with `put SOURCE NAME` after the login, and `input` on its standard input.
using Put =
    std::function<CliRun(const QString &source, const QString &name, const QByteArray &input)>;

// `serverFolder` is the local path of the folder the put writes into; `temp` a folder of the
// test's own. The bytes come in two writes with a pause between them, so that the upload
// reads the pipe while it is still being written.
inline void check(const Put &put, const QString &serverFolder, const QString &temp,
                  const QByteArray &content)
{
    const auto expectUploaded = [&](const CliRun &run, const QString &name) {
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        QFile uploaded(serverFolder + u'/' + name);
        EXPECT_TRUE(uploaded.open(QIODevice::ReadOnly));
        EXPECT_TRUE(uploaded.readAll() == content) << name.toStdString();
    };
    const QString whole = temp + u"/whole.bin"_s;
    QFile file(whole);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    // A named pipe, written by another process.
    const QString fifo = temp + u"/lesson.fifo"_s;
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QProcess writer;
    writer.start(u"/bin/sh"_s,
                 {u"-c"_s, u"{ head -c 1000 \"$1\"; sleep 0.3; tail -c +1001 \"$1\"; } > \"$2\""_s,
                  u"sh"_s, whole, fifo});
    const CliRun fromFifo = put(fifo, u"from-fifo.bin"_s, {});
    EXPECT_TRUE(writer.waitForFinished(30000));
    expectUploaded(fromFifo, u"from-fifo.bin"_s);

    // Standard input, piped in.
    expectUploaded(put(u"/dev/stdin"_s, u"from-stdin.bin"_s, content), u"from-stdin.bin"_s);

    // A socket: refused, and nothing reaches the server.
    QLocalServer socket;
    ASSERT_TRUE(socket.listen(temp + u"/lesson.sock"_s));
    const QStringList before = QDir(serverFolder).entryList(QDir::Files | QDir::Hidden);
    const CliRun fromSocket = put(socket.fullServerName(), u"from-socket.bin"_s, {});
    EXPECT_EQ(fromSocket.exitCode, 1);
    EXPECT_TRUE(fromSocket.err.contains(u"is a socket: put reads files, pipes and character "
                                        u"devices"_s))
        << fromSocket.err.toStdString();
    EXPECT_EQ(QDir(serverFolder).entryList(QDir::Files | QDir::Hidden), before);
}

} // namespace PipedSources
