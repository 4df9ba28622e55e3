#pragma once

#include <QDeadlineTimer>
#include <QHash>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

// A server program run for a test. It runs in a process group of its own, so that stopping it
// also stops the helpers it spawned, and the system kills it when the test process dies, so that
// no server outlives a crashed test. (vsftpd's sessions leave the group, but vsftpd makes them die
// with their listener.)
class ServerProcess
{
public:
    // The program's standard error goes to errorFile: a file cannot fill up and stall the server
    // the way an unread pipe can, and it stays for looking into a failed test.
    explicit ServerProcess(const QString &errorFile);
    ~ServerProcess();
    ServerProcess(const ServerProcess &) = delete;
    ServerProcess &operator=(const ServerProcess &) = delete;

    // Starts the program and writes input to its standard input, which is then closed. For
    // programs that, like vsftpd, write their fatal errors to descriptor 0, errorsOnStandardInput
    // makes it the error channel instead, and the input is ignored.
    bool start(const QString &program, const QStringList &arguments, const QByteArray &input,
               QString *why, bool errorsOnStandardInput = false);
    // The next line the program writes on standard output, without its line end; empty when the
    // deadline passes or the program ends first.
    QByteArray readLine(QDeadlineTimer deadline);
    // Asks the system, so that a program that ended shows at once: QProcess otherwise learns of
    // it only while it is waited on or while events run, and waiting loops run neither.
    bool isRunning();
    // The program's process id; 0 before it started and once it is known to have ended. Until
    // then the id stays the program's, even if it has just ended: QProcess has not yet collected
    // it, so the system cannot give the id to another process.
    qint64 processId() const;
    // What the program wrote on standard error, for failure messages.
    QString errorOutput() const;

    // A server that takes longer than this to answer is broken, not slow.
    static constexpr int startLimitMs = 10000;
    // A tag unique to one start that the server ends its greeting with, so that a foreign server
    // on the port cannot pass for ours.
    static QString uniqueTag();
    // Runs a tool to its end, with input on its standard input; false with its errors in *why
    // when it fails.
    static bool runTool(const QString &program, const QStringList &arguments, QString *why,
                        const QByteArray &input = {});
    // A TCP socket bound to a free port of 127.0.0.1 (-1 when none can be had). Listening, it
    // takes connections; not listening, it keeps the port taken and connections to it refused.
    static int loopbackSocket(bool listening, quint16 *port);

    enum class Readiness { Ready, PortTaken, Failed };
    // Connects to the server until its first line, which must end with the tag of this start.
    // PortTaken: another program answered there, or the server could not bind the port.
    Readiness waitUntilServing(const QString &host, quint16 port, const QString &tag, QString *why);

    // A server that listens on a port picked for it: each try writes its configuration, a
    // template of tests/servers with each "@NAME@" replaced by fields[NAME], to configPath, with
    // "@PORT@" a free port of 127.0.0.1 and "@BANNER@" a fresh tag, and starts it anew when
    // another program took the port first.
    struct Launch
    {
        QString program;
        QStringList arguments;
        QString errorFile;
        bool errorsOnStandardInput = false;
        QString configPath;
        QString templateName;
        QHash<QString, QString> fields;
    };
    static std::unique_ptr<ServerProcess> startOnFreePort(const Launch &launch, quint16 *port,
                                                          QString *why);

    // Stops and continues the whole group (SIGSTOP/SIGCONT).
    bool suspend();
    bool resume();
    // Kills the whole group and waits for the program; safe to call more than once.
    void stop();

private:
    bool signalGroup(int signal) const;

    QProcess m_process;
    QString m_errorFile;
    qint64 m_group = 0;
};
