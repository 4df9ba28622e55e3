#pragma once

#include "operations/TransferViewPort.h"

#include <QList>
#include <QStringList>

// A transfer view that shows nothing and remembers what it was told.
class RecordingTransferView : public TransferViewPort
{
public:
    void fileStarted(const QString &fileName, Direction direction) override
    {
        files.append(fileName);
        directions.append(direction);
        running = true;
    }
    void fileProgress(qint64 done, qint64 total) override { last = {done, total}; }
    void fileEnded() override { running = false; }
    void transfersEnded() override
    {
        running = false;
        ++ends;
    }

    QStringList files;
    QList<Direction> directions;
    std::pair<qint64, qint64> last{-1, -1};
    bool running = false;
    int ends = 0;
};
