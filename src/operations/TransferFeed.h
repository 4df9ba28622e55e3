#pragma once

#include "operations/TransferViewPort.h"

#include <QMetaObject>
#include <QString>

class cFTP;

// Hands the client's progress to a transfer view while an operation moves files, and tells
// the view when the operation is done with it, however the operation ends.
class TransferFeed
{
public:
    TransferFeed(cFTP &client, TransferViewPort &view, TransferViewPort::Direction direction);
    ~TransferFeed();
    TransferFeed(const TransferFeed &) = delete;
    TransferFeed &operator=(const TransferFeed &) = delete;

    // Around each file the client moves.
    void fileStarted(const QString &fileName);
    void fileEnded();

private:
    TransferViewPort &m_view;
    TransferViewPort::Direction m_direction;
    QMetaObject::Connection m_progress;
    QMetaObject::Connection m_resumed;
};
