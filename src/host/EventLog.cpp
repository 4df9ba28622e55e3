#include "host/EventLog.h"

#include <QTime>

namespace {
constexpr int EventRole = Qt::UserRole;
} // namespace

EventLog::EventLog(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
}

void EventLog::record(const QString &event)
{
    const QString stamp = QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz"));
    auto *item = new QListWidgetItem(stamp + QStringLiteral("  ") + event, this);
    item->setData(EventRole, event);
    scrollToItem(item);
}

QStringList EventLog::events() const
{
    QStringList list;
    for (int i = 0; i < count(); ++i)
        list.append(item(i)->data(EventRole).toString());
    return list;
}
