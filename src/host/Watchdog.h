#pragma once

#include <QString>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// Ends a script run that takes too long, with exit status 3 and the name of the window that
// was open. It watches from a thread of its own, so that it fires also while the program is
// stuck in a call that lets no events through.
class Watchdog
{
public:
    explicit Watchdog(std::chrono::seconds limit);
    ~Watchdog();
    Watchdog(const Watchdog &) = delete;
    Watchdog &operator=(const Watchdog &) = delete;

    // What is open now, named in the message when time runs out.
    void setOpenWindow(const QString &description);

private:
    void watch(std::chrono::seconds limit);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopped = false;
    QString m_openWindow;
    std::thread m_thread;
};
