#include "hvsftp/Console.h"

#include "platform/VisibleText.h"

#include <QStringList>

#include <cstdio>

namespace Console {

namespace {

// The server chooses its folder and file names, which replies name: a control character in
// them would reach the terminal as a command, a bidi override would turn the text around.
// Each line is written with them visible.
void print(std::FILE *stream, const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines)
        line = Platform::VisibleText::escaped(line);
    const QByteArray line = lines.join(QLatin1Char('\n')).toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stream);
    std::fflush(stream);
}

} // namespace

void out(const QString &text)
{
    print(stdout, text);
}

void err(const QString &text)
{
    print(stderr, text);
}

void error(const QString &text)
{
    print(stderr, QLatin1String("hvsftp: ") + text);
}

} // namespace Console
