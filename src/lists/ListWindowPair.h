#pragma once

#include "lists/frmServer.h"
#include "lists/frmServerUp.h"

#include <QObject>

#include <functional>

// The twin list windows of one command: the remote list and the local list, each opening the
// other modally over itself (View Local, View Srvr) with the row of the same name selected,
// and the remote list's total counted against the capacity in the local one.
class ListWindowPair : public QObject
{
    Q_OBJECT

public:
    struct Openers
    {
        std::function<void(QWidget *parent)> aboutBox;
        std::function<void(QWidget *parent, const QString &dosPath)> viewer;
    };

    ListWindowPair(QWidget *parent, const Openers &openers);

    frmServer &remote() { return m_remote; }
    frmServerUp &local() { return m_local; }

private:
    void viewLocal(const QString &localFolder, const QString &selectedName);
    void viewRemote(const QString &path);

    frmServer m_remote;
    frmServerUp m_local;
};
