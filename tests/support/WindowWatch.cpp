#include "support/WindowWatch.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

WindowWatch::WindowWatch(QString name, Action action)
    : m_name(std::move(name))
    , m_action(std::move(action))
{
    qApp->installEventFilter(this);
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && isWatched(*window))
            actLater(window);
    }
}

WindowWatch::~WindowWatch()
{
    qApp->removeEventFilter(this);
}

bool WindowWatch::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto *window = static_cast<QWidget *>(watched);
        if (window->isWindow() && isWatched(*window))
            actLater(window);
    }
    return false;
}

bool WindowWatch::isWatched(const QWidget &window) const
{
    const QString name = window.objectName();
    return name.isEmpty() ? m_name == QLatin1String(window.metaObject()->className())
                          : m_name == name;
}

void WindowWatch::actLater(QWidget *window)
{
    // Queued to the watch, so that an ended watch acts no more; the window may be gone by then.
    QTimer::singleShot(0, this, [this, window = QPointer<QWidget>(window)] {
        if (window && window->isVisible()) {
            ++m_shown;
            m_action(*window);
        }
    });
}

std::unique_ptr<WindowWatch> whenWindowShows(const QString &name, WindowWatch::Action action)
{
    return std::make_unique<WindowWatch>(name, std::move(action));
}
