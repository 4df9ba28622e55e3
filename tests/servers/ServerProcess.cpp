#include "servers/ServerProcess.h"

#include <QFile>
#include <QTcpSocket>
#include <QThread>
#include <QUuid>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// The program picks a port that we offer; another program may take it first.
constexpr int portAttempts = 3;

// Writes the template with each "@NAME@" replaced by fields[NAME] to path.
bool writeConfiguration(const QString &templateName, const QHash<QString, QString> &fields,
                        const QString &path, QString *why)
{
    QFile in(QStringLiteral(VELLIX_TEST_SERVERS_DIR) + u'/' + templateName);
    QString text = in.open(QIODevice::ReadOnly) ? QString::fromUtf8(in.readAll()) : QString();
    for (auto field = fields.cbegin(); field != fields.cend(); ++field)
        text.replace(u'@' + field.key() + u'@', field.value());
    QFile out(path);
    if (!text.isEmpty() && out.open(QIODevice::WriteOnly) && out.write(text.toUtf8()) >= 0 &&
        out.flush())
        return true;
    *why = u"cannot write %1 from %2: %3"_s.arg(
        path, in.fileName(), text.isEmpty() ? in.errorString() : out.errorString());
    return false;
}

} // namespace

ServerProcess::ServerProcess(const QString &errorFile)
    : m_errorFile(errorFile)
{
    m_process.setStandardErrorFile(errorFile);
}

ServerProcess::~ServerProcess()
{
    stop();
}

bool ServerProcess::start(const QString &program, const QStringList &arguments,
                          const QByteArray &input, QString *why, bool errorsOnStandardInput)
{
    const pid_t parent = getpid();
    if (errorsOnStandardInput)
        m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setChildProcessModifier([parent, errorsOnStandardInput] {
        if (errorsOnStandardInput)
            dup2(STDERR_FILENO, STDIN_FILENO);
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        // The parent may have died before the death signal was armed.
        if (getppid() != parent)
            _exit(1);
    });
    m_process.start(program, arguments);
    if (!m_process.waitForStarted()) {
        *why = QStringLiteral("cannot start %1: %2").arg(program, m_process.errorString());
        return false;
    }
    m_group = m_process.processId();
    if (!errorsOnStandardInput) {
        m_process.write(input);
        m_process.closeWriteChannel();
    }
    return true;
}

QByteArray ServerProcess::readLine(QDeadlineTimer deadline)
{
    while (!m_process.canReadLine()) {
        if (deadline.hasExpired() || m_process.state() != QProcess::Running)
            return {};
        m_process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    }
    return m_process.readLine().trimmed();
}

bool ServerProcess::isRunning()
{
    // A wait that does not wait: it collects a program that has ended, and times out at once on
    // one that runs.
    m_process.waitForFinished(0);
    return m_process.state() == QProcess::Running;
}

qint64 ServerProcess::processId() const
{
    return m_process.processId();
}

QString ServerProcess::errorOutput() const
{
    QFile file(m_errorFile);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()).trimmed()
                                          : QString();
}

bool ServerProcess::suspend()
{
    return isRunning() && signalGroup(SIGSTOP);
}

bool ServerProcess::resume()
{
    return isRunning() && signalGroup(SIGCONT);
}

void ServerProcess::stop()
{
    if (m_group == 0)
        return;
    // SIGKILL ends stopped processes too, and the group takes the server's own children.
    signalGroup(SIGKILL);
    m_process.waitForFinished(5000);
    m_group = 0;
}

bool ServerProcess::signalGroup(int signal) const
{
    return m_group > 0 && ::kill(-pid_t(m_group), signal) == 0;
}

QString ServerProcess::uniqueTag()
{
    return u"VellixTest-"_s + QUuid::createUuid().toString(QUuid::Id128);
}

bool ServerProcess::runTool(const QString &program, const QStringList &arguments, QString *why,
                            const QByteArray &input)
{
    QProcess tool;
    tool.start(program, arguments);
    tool.write(input);
    tool.closeWriteChannel();
    const bool finished = tool.waitForFinished(startLimitMs);
    if (finished && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0)
        return true;
    const QString errors = QString::fromLocal8Bit(tool.readAll() + tool.readAllStandardError());
    *why = u"%1 failed: %2"_s.arg(
        program, finished && !errors.trimmed().isEmpty() ? errors.trimmed() : tool.errorString());
    return false;
}

int ServerProcess::loopbackSocket(bool listening, quint16 *port)
{
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (socket < 0 || ::bind(socket, reinterpret_cast<sockaddr *>(&address), length) != 0 ||
        (listening && ::listen(socket, 16) != 0) ||
        ::getsockname(socket, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        if (socket >= 0)
            ::close(socket);
        return -1;
    }
    *port = ntohs(address.sin_port);
    return socket;
}

ServerProcess::Readiness ServerProcess::waitUntilServing(const QString &host, quint16 port,
                                                         const QString &tag, QString *why)
{
    const auto endedAtStart = [&] {
        const QString output = errorOutput();
        *why = u"the server ended at start: %1"_s.arg(output);
        return output.contains(u"bind"_s) || output.contains(u"Address already in use"_s)
                   ? Readiness::PortTaken
                   : Readiness::Failed;
    };
    const QDeadlineTimer deadline(startLimitMs);
    while (!deadline.hasExpired()) {
        if (!isRunning())
            return endedAtStart();
        QTcpSocket probe;
        probe.connectToHost(host, port);
        if (probe.waitForConnected(int(deadline.remainingTime()))) {
            while (!probe.canReadLine() && probe.waitForReadyRead(int(deadline.remainingTime()))) {
            }
            const QString line = QString::fromUtf8(probe.readLine().trimmed());
            if (line.endsWith(tag))
                return Readiness::Ready;
            // Another program answered in the moment before the server found the port taken,
            // or took it between our probe's bind and the server's: either way, another port.
            if (!isRunning())
                return endedAtStart();
            *why = u"port %1 answers \"%2\" instead of the test server's greeting"_s.arg(port).arg(
                line);
            return Readiness::PortTaken;
        }
        QThread::msleep(10);
    }
    *why = u"the server did not greet on %1 port %2 within %3 ms: %4"_s.arg(host)
               .arg(port)
               .arg(startLimitMs)
               .arg(errorOutput());
    return Readiness::Failed;
}

std::unique_ptr<ServerProcess> ServerProcess::startOnFreePort(const Launch &launch, quint16 *port,
                                                              QString *why)
{
    for (int attempt = 1; attempt <= portAttempts; ++attempt) {
        const QString tag = uniqueTag();
        // Closed at once, so that the server can bind the port.
        ::close(loopbackSocket(false, port));
        QHash<QString, QString> fields = launch.fields;
        fields.insert(u"PORT"_s, QString::number(*port));
        fields.insert(u"BANNER"_s, tag);
        if (!writeConfiguration(launch.templateName, fields, launch.configPath, why))
            return nullptr;
        auto process = std::make_unique<ServerProcess>(launch.errorFile);
        if (!process->start(launch.program, launch.arguments, {}, why,
                            launch.errorsOnStandardInput))
            return nullptr;
        const Readiness readiness = process->waitUntilServing(u"127.0.0.1"_s, *port, tag, why);
        if (readiness == Readiness::Ready)
            return process;
        if (readiness == Readiness::Failed)
            return nullptr;
    }
    return nullptr;
}
