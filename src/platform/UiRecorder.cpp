#include "platform/UiRecorder.h"

namespace Platform {

UiRecorder::UiRecorder()
    : m_previous(Ui::install(this))
{}

UiRecorder::~UiRecorder()
{
    Ui::install(m_previous);
}

Ui::Answer UiRecorder::messageBox(const QString &text, Buttons buttons, Icon icon,
                                  const QString &title, int defaultButton)
{
    Box box;
    box.text = text;
    box.title = effectiveTitle(title);
    box.icon = icon;
    box.buttons = buttons;
    box.defaultButton = defaultButton;
    box.pointer = m_pointer;
    m_boxes.append(box);
    if (onBox)
        onBox(box);
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    return defaultAnswer(buttons, defaultButton);
}

std::optional<QString> UiRecorder::inputBox(const QString &prompt, const QString &title,
                                            const QString &defaultText)
{
    Box box;
    box.kind = Box::Kind::Input;
    box.text = prompt;
    box.title = effectiveTitle(title);
    box.buttons = Buttons::OKCancel;
    box.defaultText = defaultText;
    box.pointer = m_pointer;
    m_boxes.append(box);
    if (onBox)
        onBox(box);
    if (!m_inputs.isEmpty())
        return m_inputs.dequeue();
    return defaultText;
}

void UiRecorder::setMousePointer(Pointer pointer)
{
    m_pointer = pointer;
    m_pointerChanges.append(pointer);
}

} // namespace Platform
