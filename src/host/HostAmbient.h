#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>

class Vellix;

// What the host tells its control about itself: design or run mode and the colour of its
// surface. Every change is handed to the control at once.
class HostAmbient : public QObject
{
    Q_OBJECT

public:
    explicit HostAmbient(Vellix *control, QObject *parent = nullptr);

    bool isRunning() const { return m_running; }
    QColor backColor() const { return m_backColor; }
    void setBackColor(const QColor &colour);

public Q_SLOTS:
    void setRunning(bool running);

Q_SIGNALS:
    void runningChanged(bool running);

private:
    void apply();

    QPointer<Vellix> m_control;
    bool m_running = true; // a host shows its page running unless it is being designed
    QColor m_backColor;
};
