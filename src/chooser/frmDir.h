#pragma once

#include "course/EditorFolders.h"
#include "operations/ChooserWindowPort.h"
#include "operations/EditCommands.h"

#include <QDialog>
#include <QPointer>

#include <functional>

class FolderList;
class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QToolButton;
class frmTransfer;

// "Choose a File or Directory": the drives, the folders and the files of one local folder,
// newest first. The teacher picks a file (OK) or works on it: uploads it into the month
// folder, renames or deletes it here and on the server, views or edits it.
class frmDir
    : public QDialog
    , public ChooserWindowPort
{
    Q_OBJECT

public:
    // opens the viewer on a local file
    using Viewer = std::function<void(QWidget *parent, const QString &dosPath)>;
    explicit frmDir(Viewer viewer, QWidget *parent = nullptr);

    // Starts at a folder, or at a file whose row is then selected. False when the folder
    // cannot be shown.
    bool showPath(const QString &dosPath);
    // The chosen file after OK; empty after Exit or the close box.
    QString chosenPath() const;

    // ChooserWindowPort
    QString folder() const override;
    QString selectedName() const override;
    qint64 selectedSize() const override { return m_selectedSize; }
    void setControlsEnabled(bool enabled) override;
    void setUploadRunning(bool running) override;
    TransferViewPort &transferView() override;
    void setArchiveNoticeShown(bool shown) override;
    void refill(const QString &nameToSelect) override;
    void unload() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildEditMenu();
    void buildKeys();
    // F5: the folders and the files read again, the selected file kept.
    void listAgain();
    QToolButton *imageButton(const char *name, const QString &icon, const QString &toolTip);
    void driveChosen(int index);
    void folderEntered(const QString &path);
    void fillList();
    // The row of a file, found by its name without regard to case; nullptr when none.
    QListWidgetItem *fileItem(const QString &name) const;
    void fileClicked();
    void accept() override;
    // Escape presses Exit, which stops an upload under way.
    void reject() override;
    void exitClicked();
    void openSelected(EditCommands::Program program);

    Viewer m_viewer;
    EditorFolders m_editorFolders;
    qint64 m_selectedSize = 0;
    QString m_dateBeforeNotice;
    bool m_closingItself = false;
    QPointer<QWidget> m_focusBeforeOff;

    QComboBox *Drive1;
    FolderList *Dir1;
    QListWidget *List2;
    QComboBox *cbExt;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;
    frmTransfer *m_transferWindow;
    QToolButton *imgUp;
    QToolButton *imgRen;
    QToolButton *imgDel;
    QToolButton *imgView;
    QLabel *imglock;
    QLabel *lblFile;
    QLabel *lblDate;
    QLabel *lblSize;
    QMenu *mnuEdit;
};
