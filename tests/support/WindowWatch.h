#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QWidget;

// Acts on a window as a person would, from inside the event loop of the code that shows it
// (a modal exec(), a transfer's message pump). Watches Show events rather than polling, so a
// window is met at every showing and no timer runs while nothing shows.
class WindowWatch : public QObject
{
public:
    using Action = std::function<void(QWidget &)>;

    WindowWatch(QString name, Action action);
    ~WindowWatch() override;

    // How many times the action ran.
    int shown() const { return m_shown; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isWatched(const QWidget &window) const;
    void actLater(QWidget *window);

    QString m_name;
    Action m_action;
    int m_shown = 0;
};

// Runs action on the top-level window whose object name (or class name, for a window without
// one, as "QMessageBox") is name, each time it shows until the returned watch ends; a window
// showing already is met at once. The action runs once the window's event loop turns.
[[nodiscard]] std::unique_ptr<WindowWatch> whenWindowShows(const QString &name,
                                                           WindowWatch::Action action);
