#include "control/MessagePump.h"

#include <QCoreApplication>

void MessagePump::operator()()
{
    if (m_sinceLastRun.isValid() && m_sinceLastRun.elapsed() < SliceMilliseconds)
        return;
    QCoreApplication::processEvents();
    m_sinceLastRun.start();
}
