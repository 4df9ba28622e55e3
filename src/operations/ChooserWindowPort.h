#pragma once

#include <QString>

class TransferViewPort;

// What the chooser's operations ask of the chooser window: the selected file, its controls
// switched off while an operation runs, the Exit button that cancels an upload, where the
// upload shows its progress, the notice while the catalogue is rebuilt, and the file list read
// again.
class ChooserWindowPort
{
public:
    virtual ~ChooserWindowPort() = default;

    // The folder listed, ending in "\".
    virtual QString folder() const = 0;
    // The selected file's name; empty when none is selected.
    virtual QString selectedName() const = 0;
    // The size in bytes of the file last clicked.
    virtual qint64 selectedSize() const = 0;

    virtual void setControlsEnabled(bool enabled) = 0;
    // While an upload runs, the Exit button cancels it.
    virtual void setUploadRunning(bool running) = 0;
    // Where the upload shows the file going across; its Cancel acts as the Exit button.
    virtual TransferViewPort &transferView() = 0;
    virtual void setArchiveNoticeShown(bool shown) = 0;
    // Lists the folder again with the file of that name selected, or the same position when
    // the name is gone.
    virtual void refill(const QString &nameToSelect) = 0;
    // Leaves the window for good, as after a space measurement that failed.
    virtual void unload() = 0;
};
