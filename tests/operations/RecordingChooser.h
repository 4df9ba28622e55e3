#pragma once

#include "operations/ListOperationsTest.h"

#include "operations/ChooserWindowPort.h"

// A chooser that shows nothing and remembers what it was told.
class RecordingChooser : public ChooserWindowPort
{
public:
    QString folder() const override { return LocalFolder; }
    QString selectedName() const override { return selected; }
    qint64 selectedSize() const override
    {
        return QFileInfo(Platform::DosPath::toLinux(LocalFolder + selected)).size();
    }
    void setControlsEnabled(bool enabled) override { controlsEnabled = enabled; }
    void setUploadRunning(bool running) override { cancelCaption = running; }
    TransferViewPort &transferView() override { return transfers; }
    void setArchiveNoticeShown(bool shown) override { notices += shown ? 1 : 0; }
    void refill(const QString &name) override
    {
        if (!name.isEmpty())
            selected = name;
    }
    void unload() override {}

    QString selected;
    bool controlsEnabled = true;
    bool cancelCaption = false;
    int notices = 0;
    RecordingTransferView transfers;
};
