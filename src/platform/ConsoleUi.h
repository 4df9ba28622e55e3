#pragma once

#include "platform/Ui.h"

namespace Platform {

// The seam of a program without windows: a message goes to standard error with its title and
// the default button answers it; an input box is cancelled; the mouse pointer is only noted.
class ConsoleUi : public Ui
{
public:
    Answer messageBox(const QString &text, Buttons buttons, Icon icon, const QString &title,
                      int defaultButton) override;
    std::optional<QString> inputBox(const QString &prompt, const QString &title,
                                    const QString &defaultText) override;
    void setMousePointer(Pointer pointer) override { m_pointer = pointer; }
    Pointer mousePointer() const override { return m_pointer; }

private:
    Pointer m_pointer = Pointer::Default;
};

} // namespace Platform
