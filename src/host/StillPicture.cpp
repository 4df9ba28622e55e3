#include "host/StillPicture.h"

#include <QWidget>

#include <utility>

namespace {

// A browser shows a loaded page's last frame within a few of its own; a picture unchanged over
// this many looks, this far apart, is what the page shows.
constexpr int LookIntervalMs = 100;
constexpr int UnchangedLooks = 2;
// A page that moves (an animation, a film) is pictured as it stands after this time.
constexpr int LongestWatchMs = 5000;

} // namespace

StillPicture::StillPicture(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    m_interval.setInterval(LookIntervalMs);
    connect(&m_interval, &QTimer::timeout, this, &StillPicture::look);
}

void StillPicture::start()
{
    if (m_watching.isValid())
        return;
    m_watching.start();
    m_interval.start();
    look();
}

void StillPicture::look()
{
    QImage picture = m_window->grab().toImage();
    m_unchanged = picture == m_last ? m_unchanged + 1 : 0;
    m_last = std::move(picture);
    if (m_unchanged >= UnchangedLooks || m_watching.hasExpired(LongestWatchMs)) {
        m_interval.stop();
        Q_EMIT taken(m_last);
    }
}
