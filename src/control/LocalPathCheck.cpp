#include "control/LocalPathCheck.h"

#include "course/SharedState.h"
#include "platform/TextValue.h"
#include "platform/Ui.h"

namespace {

void refuse(const QString &message)
{
    Platform::setMousePointer(Platform::Ui::Pointer::Default);
    Platform::messageBox(message, Platform::Ui::Buttons::OK, Platform::Ui::Icon::Critical);
}

void refuseDrive()
{
    refuse(QStringLiteral("Local Drive is invalid.\r\nTry something like '") + Shared().HostDrive +
           QStringLiteral(":\\'."));
}

} // namespace

bool ValidLocalPath(const QString &path)
{
    // Blanks only: a tab or line break before the drive letter makes no drive letter.
    const QString checked = Trim(path).toLower();
    const auto charAt = [&checked](qsizetype i) {
        return i < checked.size() ? checked.at(i) : QChar();
    };

    const QChar drive = charAt(0);
    if (drive < QLatin1Char('a') || drive > QLatin1Char('z')) {
        refuseDrive();
        return false;
    }
    if (charAt(1) != QLatin1Char(':')) {
        refuseDrive();
        return false;
    }
    if (charAt(2) != QLatin1Char('\\')) {
        refuse(QStringLiteral("A directory separator, '\\' is required as the third character."));
        return false;
    }
    // "*.*" names every file of a folder; any other mask would upload an unforeseen set.
    if (path.contains(QLatin1String("*.*")))
        return true;
    if (path.contains(QLatin1Char('?')) || path.contains(QLatin1Char('*'))) {
        refuse(QStringLiteral("No wildcard masks except *.* are allowed.\r\nUse filenames and "
                              "directories."));
        return false;
    }
    return true;
}
