// Shows a message through the core's seam: without windows it goes to standard error, and
// the default button (the second, "No") answers. Exits 0 when it did.
#include <platform/Ui.h>

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const auto answer =
        Platform::messageBox(QStringLiteral("Go on?\r\nSure?"), Platform::Ui::Buttons::YesNo,
                             Platform::Ui::Icon::Question, {}, 2);
    return answer == Platform::Ui::Answer::No ? 0 : 1;
}
