#include "hvsftp/Console.h"

#include <cstdio>

namespace Console {

namespace {

void print(std::FILE *stream, const QString &text)
{
    const QByteArray line = text.toUtf8() + '\n';
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
