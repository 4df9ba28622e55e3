// A host page in a few lines: places the Vellix control on a window, points it at a course's
// month folder and reads the property back. Run it with the remote directory as argument;
// it shows the window unless QT_QPA_PLATFORM=offscreen, and prints what the control holds.

#include <control/Vellix.h>

#include <QApplication>
#include <QTextStream>
#include <QVBoxLayout>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString rdir =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/DV/biology/2006_2007/March_2007");

    QWidget page;
    page.setWindowTitle(QStringLiteral("Course page"));
    auto *control = new Vellix(&page);
    auto *layout = new QVBoxLayout(&page);
    layout->addWidget(control);
    control->setRdir(rdir);

    QTextStream(stdout) << "rdir " << control->rdir() << Qt::endl;
    if (qEnvironmentVariable("QT_QPA_PLATFORM") == QLatin1String("offscreen"))
        return control->rdir() == rdir ? 0 : 1;
    page.show();
    return app.exec();
}
