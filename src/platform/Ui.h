#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace Platform {

// Every message box, question, input box and change of the screen's mouse pointer goes
// through this seam, so that the windows show real dialogs and tests can record and answer
// them. A box without a title of its own shows the library's application title.
class Ui
{
public:
    enum class Icon { None, Critical, Question, Exclamation, Information };
    enum class Buttons { OK, OKCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
    enum class Answer { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };
    enum class Pointer { Default = 0, Hourglass = 11 };

    virtual ~Ui();

    // The installed seam, else the default one.
    static Ui &instance();
    // Installs a seam (not owned) over the default one, as tests and unattended runs do, and
    // returns the one installed before (nullptr when none was); nullptr goes back to the
    // default.
    static Ui *install(Ui *ui);
    // The seam that answers when none is installed (not owned): the console's, which prints
    // and takes the default button, until a library of windows sets its dialogs; nullptr goes
    // back to the console's.
    static void setDefault(Ui *ui);

    static QString applicationTitle();
    // The title a box shows: its own, or the application title when it has none.
    static QString effectiveTitle(const QString &title);
    // The answers that a set of buttons offers, left to right.
    static QList<Answer> answersOf(Buttons buttons);
    // The answer of the default button (counted from 1; out of range means the first).
    static Answer defaultAnswer(Buttons buttons, int defaultButton);

    // Lines inside text are separated by CR LF. defaultButton counts from 1, left to right.
    virtual Answer messageBox(const QString &text, Buttons buttons = Buttons::OK,
                              Icon icon = Icon::None, const QString &title = {},
                              int defaultButton = 1) = 0;
    // The typed text, or std::nullopt when the box was cancelled.
    virtual std::optional<QString> inputBox(const QString &prompt, const QString &title = {},
                                            const QString &defaultText = {}) = 0;

    virtual void setMousePointer(Pointer pointer) = 0;
    virtual Pointer mousePointer() const = 0;
};

// Shorthands for the control's code.
inline Ui::Answer messageBox(const QString &text, Ui::Buttons buttons = Ui::Buttons::OK,
                             Ui::Icon icon = Ui::Icon::None, const QString &title = {},
                             int defaultButton = 1)
{
    return Ui::instance().messageBox(text, buttons, icon, title, defaultButton);
}

inline void setMousePointer(Ui::Pointer pointer)
{
    Ui::instance().setMousePointer(pointer);
}

} // namespace Platform
