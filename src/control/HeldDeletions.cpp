#include "control/HeldDeletions.h"

#include <QEvent>

HeldDeletions::HeldDeletions(QObject *object)
{
    for (QObject *each = object; each; each = each->parent()) {
        each->installEventFilter(this);
        m_watched.append(each);
    }
}

HeldDeletions::~HeldDeletions()
{
    for (const QPointer<QObject> &watched : std::as_const(m_watched)) {
        if (watched)
            watched->removeEventFilter(this);
    }
    for (const QPointer<QObject> &held : std::as_const(m_held)) {
        if (held)
            held->deleteLater();
    }
}

bool HeldDeletions::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::DeferredDelete)
        return false;
    if (!m_held.contains(watched))
        m_held.append(watched);
    return true;
}
