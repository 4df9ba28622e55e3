#pragma once

#include "platform/Ui.h"

namespace Platform {

// The seam's real dialogs: QMessageBox and QInputDialog over the active window, and one
// override cursor for the hourglass that is set once and removed once.
class QtUi : public Ui
{
public:
    ~QtUi() override;

    Answer messageBox(const QString &text, Buttons buttons, Icon icon, const QString &title,
                      int defaultButton) override;
    std::optional<QString> inputBox(const QString &prompt, const QString &title,
                                    const QString &defaultText) override;
    void setMousePointer(Pointer pointer) override;
    Pointer mousePointer() const override { return m_pointer; }

private:
    Pointer m_pointer = Pointer::Default;
};

} // namespace Platform
