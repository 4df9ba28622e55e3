#pragma once

#include "platform/Ui.h"

#include <QList>
#include <QQueue>

#include <functional>

namespace Platform {

// A seam for tests and unattended runs: records every box with the pointer state at the time
// it showed, and answers from a script (the default button when the script is empty).
class UiRecorder : public Ui
{
public:
    struct Box
    {
        enum class Kind { Message, Input } kind = Kind::Message;
        QString text;
        QString title; // as shown: the application title when the box has none of its own
        Icon icon = Icon::None;
        Buttons buttons = Buttons::OK;
        int defaultButton = 1;
        QString defaultText; // input boxes
        Pointer pointer = Pointer::Default;
    };

    // Installs itself as the seam for its lifetime.
    UiRecorder();
    ~UiRecorder() override;

    const QList<Box> &boxes() const { return m_boxes; }
    void clear() { m_boxes.clear(); }

    // Queued answers, used in order.
    void answer(Answer answer) { m_answers.enqueue(answer); }
    void answerInput(std::optional<QString> text) { m_inputs.enqueue(std::move(text)); }

    // Called after a box is recorded and before it is answered.
    std::function<void(const Box &)> onBox;

    Answer messageBox(const QString &text, Buttons buttons, Icon icon, const QString &title,
                      int defaultButton) override;
    std::optional<QString> inputBox(const QString &prompt, const QString &title,
                                    const QString &defaultText) override;
    void setMousePointer(Pointer pointer) override;
    Pointer mousePointer() const override { return m_pointer; }

    // Each change of the pointer, in order.
    const QList<Pointer> &pointerChanges() const { return m_pointerChanges; }

private:
    QList<Box> m_boxes;
    QQueue<Answer> m_answers;
    QQueue<std::optional<QString>> m_inputs;
    Pointer m_pointer = Pointer::Default;
    QList<Pointer> m_pointerChanges;
    Ui *m_previous = nullptr;
};

} // namespace Platform
