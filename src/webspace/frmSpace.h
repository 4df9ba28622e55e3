#pragma once

#include "operations/WebSpace.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

// The "Web Space" window: how many bytes the site, the host product's folder, the course, the
// archive and the month folder take on the server. The user ticks levels and clicks OK; Exit
// stops a running measuring, and closes the window when nothing runs.
class frmSpace : public QDialog
{
    Q_OBJECT

public:
    explicit frmSpace(QWidget *parent = nullptr);

protected:
    // Closing the window also ends a running measuring.
    void closeEvent(QCloseEvent *event) override;
    // Escape is the Exit button.
    void reject() override;

private:
    void buildControls();
    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();
    void showTotal(WebSpace::Level level, qint64 bytes);
    void showBusy(bool busy);

    QGroupBox *Frame1 = nullptr;
    // chkSite, chkDV, chkCourse, chkArchive, chkMonth and their labels, in the levels' order.
    std::array<QCheckBox *, WebSpace::LevelCount> m_levelBoxes{};
    std::array<QLabel *, WebSpace::LevelCount> m_totalLabels{};
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
    QLabel *imglock = nullptr;
    WebSpace m_space;
};
