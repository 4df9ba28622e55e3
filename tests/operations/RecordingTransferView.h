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
    }
    void fileResumed(qint64 at, qint64) override { resumedAt.append(at); }
    void fileProgress(qint64, qint64) override {}
    void fileEnded() override {}
    void transfersEnded() override { ++ends; }

    QStringList files;
    QList<Direction> directions;
    QList<qint64> resumedAt;
    int ends = 0;
};
