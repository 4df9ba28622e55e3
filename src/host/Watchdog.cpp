#include "host/Watchdog.h"

#include "host/ScriptExit.h"

Watchdog::Watchdog(std::chrono::seconds limit)
    : m_thread([this, limit] { watch(limit); })
{}

Watchdog::~Watchdog()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void Watchdog::setOpenWindow(const QString &description)
{
    const std::lock_guard lock(m_mutex);
    m_openWindow = description;
}

void Watchdog::watch(std::chrono::seconds limit)
{
    std::unique_lock lock(m_mutex);
    if (m_wake.wait_for(lock, limit, [this] { return m_stopped; }))
        return;
    ScriptExit::now(ScriptExit::TimedOut,
                    QStringLiteral("timed out after %1 s with %2 open")
                        .arg(QString::number(limit.count()),
                             m_openWindow.isEmpty() ? QStringLiteral("no window") : m_openWindow));
}
