#pragma once

#include <QListWidget>

// A read-only list of what the control reported, newest last, each with the time it came.
class EventLog : public QListWidget
{
    Q_OBJECT

public:
    explicit EventLog(QWidget *parent = nullptr);

    void record(const QString &event);
    // The recorded events without their time stamps, oldest first.
    QStringList events() const;
};
