#pragma once

#include "platform/Ui.h"

// The seam's real dialogs: QMessageBox and QInputDialog over the active window, and one
// override cursor for the hourglass that is set once and removed once. Needs a QApplication.
class QtUi : public Platform::Ui
{
public:
    ~QtUi() override;

    // Makes the dialogs the seam's default for as long as the application object lives. The
    // control calls it when it is made: a program that places the control has windows, one
    // that does not (the command line) keeps the console's seam and never loads Qt Widgets.
    static void makeDefault();

    Answer messageBox(const QString &text, Buttons buttons, Icon icon, const QString &title,
                      int defaultButton) override;
    std::optional<QString> inputBox(const QString &prompt, const QString &title,
                                    const QString &defaultText) override;
    void setMousePointer(Pointer pointer) override;
    Pointer mousePointer() const override { return m_pointer; }

private:
    Pointer m_pointer = Pointer::Default;
};
