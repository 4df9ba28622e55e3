#include "platform/Ui.h"

#include "platform/ConsoleUi.h"

#include <algorithm>

#include <VellixonVersion.h>

namespace Platform {

namespace {
Ui *installed = nullptr;
Ui *defaultUi = nullptr;
} // namespace

Ui::~Ui() = default;

Ui &Ui::instance()
{
    if (installed)
        return *installed;
    if (defaultUi)
        return *defaultUi;
    static ConsoleUi console;
    return console;
}

Ui *Ui::install(Ui *ui)
{
    Ui *previous = installed;
    installed = ui;
    return previous;
}

void Ui::setDefault(Ui *ui)
{
    defaultUi = ui;
}

QString Ui::applicationTitle()
{
    return QString::fromLatin1(VellixonVersion::Title);
}

QString Ui::effectiveTitle(const QString &title)
{
    return title.isEmpty() ? applicationTitle() : title;
}

QList<Ui::Answer> Ui::answersOf(Buttons buttons)
{
    switch (buttons) {
    case Buttons::OK:
        return {Answer::OK};
    case Buttons::OKCancel:
        return {Answer::OK, Answer::Cancel};
    case Buttons::AbortRetryIgnore:
        return {Answer::Abort, Answer::Retry, Answer::Ignore};
    case Buttons::YesNoCancel:
        return {Answer::Yes, Answer::No, Answer::Cancel};
    case Buttons::YesNo:
        return {Answer::Yes, Answer::No};
    case Buttons::RetryCancel:
        return {Answer::Retry, Answer::Cancel};
    }
    return {Answer::OK};
}

Ui::Answer Ui::defaultAnswer(Buttons buttons, int defaultButton)
{
    const QList<Answer> answers = answersOf(buttons);
    return answers.value(std::clamp<qsizetype>(defaultButton - 1, 0, answers.size() - 1));
}

} // namespace Platform
