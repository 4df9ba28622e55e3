#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDebug>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>

// What the fuzz targets share. Each target is one LLVMFuzzerTestOneInput; the fuzzing engine
// calls it with generated inputs, the replay main of the normal build with the files of its
// corpus. A wrong result stops the run as a crash does, so that the engine keeps the input.

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

// Stops the run when `holds` is false, naming the property and what `detail` shows of it.
#define FUZZ_CHECK(holds, detail)                                                                  \
    do {                                                                                           \
        if (!(holds))                                                                              \
            Fuzz::fail(#holds, (detail));                                                          \
    } while (false)

namespace Fuzz {

[[noreturn]] void fail(const char *property, const QString &detail);

// A value as qDebug shows it: texts quoted, with their control characters escaped.
template<typename T>
QString shown(const T &value)
{
    QString text;
    QDebug(&text).nospace() << value;
    return text;
}

inline QByteArrayView bytes(const uint8_t *data, size_t size)
{
    return {reinterpret_cast<const char *>(data), qsizetype(size)};
}

// An input that may carry fields before its text, each ended by a NUL. An input with fewer
// NULs than fields carries none: all of it is the text.
struct Fields
{
    QList<QByteArrayView> fields; // empty, or `count` of them
    QByteArrayView text;
};
Fields takeFields(QByteArrayView input, qsizetype count);

// For readers that take a file: the path of a file that holds `content`, the same path for
// every input of a run.
QString scratchFile(QByteArrayView content);
QByteArray readFile(const QString &path);

} // namespace Fuzz
