#include "servers/ServerProcess.h"

#include <QFile>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

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
                          const QByteArray &input, QString *why)
{
    const pid_t parent = getpid();
    const bool errorsOnStandardInput = m_errorsOnStandardInput;
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
