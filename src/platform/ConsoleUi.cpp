#include "platform/ConsoleUi.h"

#include <cstdio>

namespace Platform {

Ui::Answer ConsoleUi::messageBox(const QString &text, Buttons buttons, Icon, const QString &title,
                                 int defaultButton)
{
    // Lines inside the text are separated by CR LF; a terminal wants LF alone.
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(effectiveTitle(title)), qUtf8Printable(lines));
    return defaultAnswer(buttons, defaultButton);
}

std::optional<QString> ConsoleUi::inputBox(const QString &, const QString &, const QString &)
{
    return std::nullopt;
}

} // namespace Platform
