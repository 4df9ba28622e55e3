#include "host/HostAmbient.h"

#include "control/Vellix.h"

HostAmbient::HostAmbient(Vellix *control, QObject *parent)
    : QObject(parent)
    , m_control(control)
{
    apply();
}

void HostAmbient::setBackColor(const QColor &colour)
{
    m_backColor = colour;
    apply();
}

void HostAmbient::setRunning(bool running)
{
    if (running == m_running)
        return;
    m_running = running;
    apply();
    Q_EMIT runningChanged(running);
}

void HostAmbient::apply()
{
    if (!m_control)
        return;
    AmbientProperties ambient;
    ambient.UserMode = m_running;
    ambient.BackColor = m_backColor;
    m_control->setAmbient(ambient);
}
