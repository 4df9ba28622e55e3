#pragma once

#include <QString>

class FileListModel;
class TransferViewPort;

// What the operations of a file list need of its window: its rows, its busy state, its
// status line and selection, and the choices the user made in it. The window shows; the
// operations act through this.
class ListWindowPort
{
public:
    enum class TransferMode { Auto, Binary, Ascii };

    virtual ~ListWindowPort() = default;

    virtual FileListModel &model() = 0;
    // Where a copy shows the file going across; its Cancel acts as Exit.
    virtual TransferViewPort &transferView() = 0;

    // The busy state: the buttons but Exit disabled, the busy indicator running, the busy
    // flag set, the hourglass shown; and back, with every button enabled.
    virtual void enterBusy() = 0;
    virtual void leaveBusy() = 0;
    // The busy state around a wait for the server that is no copy or delete (a listing, a
    // rename's commands): as enterBusy, and back to the buttons as they were before.
    virtual void enterWait() { enterBusy(); }
    virtual void leaveWait() { leaveBusy(); }
    // Shows the window that has yet to open, in its wait and modal as it would open: its
    // first listing keeps the user waiting, and its Exit is the way out.
    virtual void showWaiting() = 0;
    // The busy indicator, flag and hourglass alone, the buttons left as they are.
    virtual void showBusy(bool busy) = 0;
    // False once Exit stopped the busy indicator: the running operation must end.
    virtual bool goesOn() const = 0;
    // Hides the busy indicator while a box reports a failure, and shows it again.
    virtual void setBusyIndicatorShown(bool shown) = 0;

    // The status line under the list.
    virtual void showStatus(const QString &text) = 0;
    // While the archive catalogue is rebuilt: the tool bar and the list disabled and the
    // status line showing the notice; then everything as it was.
    virtual void setArchiveNoticeShown(bool shown) = 0;

    // The selected row (from 0), or -1.
    virtual int selectedRow() const = 0;
    // Selects that row alone, or none for -1.
    virtual void selectRow(int row) = 0;
    virtual void scrollToRow(int row) = 0;

    virtual TransferMode transferMode() const = 0;
    // Lists the folder again (selecting the row of the name last handed in); false when the
    // window gave up and closed.
    virtual bool refreshList() = 0;
    // The summary labels again, after checks changed.
    virtual void computeSize() = 0;
    // The check-all button back to checking all.
    virtual void resetCheckAll() = 0;
};
