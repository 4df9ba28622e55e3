#include "operations/TransferFeed.h"

#include "transport/cFTP.h"

TransferFeed::TransferFeed(cFTP &client, TransferViewPort &view,
                           TransferViewPort::Direction direction)
    : m_view(view)
    , m_direction(direction)
    , m_progress(
          QObject::connect(&client, &cFTP::TransferProgress,
                           [&view](qint64 done, qint64 total) { view.fileProgress(done, total); }))
    , m_resumed(QObject::connect(&client, &cFTP::TransferResumed,
                                 [&view](qint64 at, qint64 total) { view.fileResumed(at, total); }))
{}

TransferFeed::~TransferFeed()
{
    QObject::disconnect(m_progress);
    QObject::disconnect(m_resumed);
    m_view.transfersEnded();
}

void TransferFeed::fileStarted(const QString &fileName)
{
    m_view.fileStarted(fileName, m_direction);
}

void TransferFeed::fileEnded()
{
    m_view.fileEnded();
}
