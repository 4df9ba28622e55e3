#pragma once

#include "operations/FileListModel.h"
#include "operations/ListWindowPort.h"

#include <QDialog>
#include <QList>
#include <QScopeGuard>

#include <functional>

class QAction;
class QLabel;
class QMenu;
class QRadioButton;
class QTimer;
class QToolBar;
class QTreeView;
class frmTransfer;

// The window both file lists are: a list of one folder's files with a check box on every row,
// a tool bar of seven buttons, the transfer mode, the labels with the folders and the sizes,
// a status line, and the busy state with its moving picture. Each twin adds what its folder
// and its buttons do.
class FileListWindow
    : public QDialog
    , public ListWindowPort
{
    Q_OBJECT

public:
    // The tool bar's buttons, numbered from 1 as the windows number them.
    enum ButtonIndex {
        CopyButton = 1, // Copy Down, Copy Up
        RenameButton,
        DeleteButton,
        CheckAllButton,
        ExitButton,
        OtherWindowButton, // View Local, View Srvr
        AboutButton,
    };

    // A tool bar button: its caption (with its Alt key marked), tool tip and picture.
    struct Button
    {
        QString caption;
        QString toolTip;
        QString icon; // the name of its picture in the program's icon theme
    };
    // What differs between the twins' tool bars: the copy, delete and other-window buttons
    // with the Alt keys of the first two, and the rename tool tip.
    struct TwinButtons
    {
        Button copy;
        Qt::Key copyKey;
        QString renameToolTip;
        Button remove;
        Qt::Key removeKey;
        Button otherWindow;
    };

    // The toolbar's buttons by index from 1.
    QAction *button(int index) const { return m_buttons.value(index - 1); }
    // The number shown in a size label: the bytes in meg, "1,234.5 meg".
    static QString megText(double bytes);

    // ListWindowPort
    FileListModel &model() override { return m_model; }
    TransferViewPort &transferView() override;
    void enterBusy() override;
    void leaveBusy() override;
    void enterWait() override;
    void leaveWait() override;
    void showWaiting() override;
    void showBusy(bool busy) override;
    bool goesOn() const override;
    void setBusyIndicatorShown(bool shown) override;
    void showStatus(const QString &text) override;
    void setArchiveNoticeShown(bool shown) override;
    int selectedRow() const override;
    void selectRow(int row) override;
    void scrollToRow(int row) override;
    TransferMode transferMode() const override;
    void resetCheckAll() override;
    // The summary labels: the checked files and their size; the twin adds its own.
    void computeSize() override;

    void checkAll();
    // Exit: a running operation stops where it stands (a transfer ends with the session), and
    // the window closes.
    void exitWindow();
    // The program closes the window (a listing that failed, Exit, the twin closing).
    void closeItself();

protected:
    FileListWindow(const QString &name, const TwinButtons &twin, QWidget *parent = nullptr);

    // A tool bar button was clicked, or its Alt key pressed.
    virtual void buttonPressed(int index) = 0;
    // Its Alt key; the button's own work unless the twin says otherwise.
    virtual void altKeyPressed(int index) { buttonPressed(index); }
    // What the twin shows beyond the checked totals.
    virtual void showTotals(const FileListModel::Totals &totals) = 0;
    // What the twin does as the window closes; byUser: the close box or Escape, not the
    // program.
    virtual void beforeClose(bool byUser) { Q_UNUSED(byUser) }
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    // Escape closes as the close box does.
    void reject() override;
    // Shows the lock when the session is secure.
    void showSecureMark();
    // The remote folder in its label: "//" and the folder, "///" read as "//".
    void showRemoteFolder();
    // The tool bar after a listing: with no rows the file buttons are disabled.
    void enableFileButtons();
    // The lists' row of that name selected and shown; the first row when none has it.
    void preselect(int row);
    // Marks an operation as running while the result lives: F5 does not list the folder
    // again under it, nor does any other operation start; operationsEnded follows the last.
    [[nodiscard]] auto operationRunning()
    {
        ++m_operations;
        return qScopeGuard([this] { endOperation(); });
    }
    bool operationUnderWay() const { return m_operations > 0; }
    // What the twin left for the moment no operation holds the session any more.
    virtual void operationsEnded() {}

    QTreeView *lvServer;
    QToolBar *Toolbar1;
    QRadioButton *OptAuto;
    QRadioButton *OptBinary;
    QRadioButton *OptAscii;
    QLabel *lblLocal;
    QLabel *lblRemote;
    QLabel *lblvsize;
    QLabel *lblcnt;
    QLabel *lblSize;
    QLabel *lbout;
    QLabel *Image1;
    QLabel *ImgUpload;
    QTimer *Timer1;
    QMenu *mnuEdit;

private:
    void buildToolBar(const TwinButtons &twin);
    void buildFileManagerKeys();
    // A button clicked, or its Alt key.
    void press(int index, bool altKey);
    void buildList();
    QWidget *buildLabels();
    QWidget *buildStatusLine();
    void rowCheckChanged(int row, bool checked);
    void columnClicked(int column);
    void moveBusyPicture();
    void fitColumns();
    void endOperation();

    FileListModel m_model;
    frmTransfer *m_transferWindow;
    QList<QAction *> m_buttons;
    bool m_spreadingCheck = false;
    QString m_statusBeforeNotice;
    bool m_closingItself = false;
    int m_operations = 0; // operations running, nested ones counted
    QList<bool> m_buttonsBeforeWait;
};
