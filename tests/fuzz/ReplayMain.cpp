// The main of a fuzz target in the normal build: runs the target once over every file named on
// the command line or held in a folder named there, so that the corpus guards against
// regressions without any fuzzing.

#include "FuzzInput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char **argv)
{
    QStringList inputs;
    for (int i = 1; i < argc; ++i) {
        const QString named = QFile::decodeName(argv[i]);
        if (!QFileInfo(named).isDir())
            inputs << named;
        for (const QString &name : QDir(named).entryList(QDir::Files | QDir::Hidden))
            inputs << named + u'/' + name;
    }
    if (inputs.isEmpty()) {
        std::fprintf(stderr, "usage: %s FILE-OR-FOLDER... (no input found)\n", argv[0]);
        return 2;
    }
    inputs.sort();
    for (const QString &input : std::as_const(inputs)) {
        QFile file(input);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(input));
            return 2;
        }
        const QByteArray content = file.readAll();
        // The name goes first, so that a crash or a wrong result is known by its input.
        std::fprintf(stderr, "%s\n", qPrintable(input));
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(content.constData()),
                               size_t(content.size()));
    }
    std::printf("%lld inputs replayed\n", qlonglong(inputs.size()));
    return 0;
}
