#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDebug>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>

// What the fuzz targets share. Each target is one FUZZ_TARGET; the fuzzing engine calls it with
// generated inputs, the replay main of the normal build with the files of its corpus. A wrong
// result stops the run as a crash does, so that the engine keeps the input.

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

// Defines the engine's entry point over a body that reads the input as `input`:
//     FUZZ_TARGET(input) { ... }
#define FUZZ_TARGET(input)                                                                         \
    static void fuzzOne(QByteArrayView input);                                                     \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)                        \
    {                                                                                              \
        fuzzOne({reinterpret_cast<const char *>(data), qsizetype(size)});                          \
        return 0;                                                                                  \
    }                                                                                              \
    static void fuzzOne(QByteArrayView input)

// Stops the run when `holds` is false, naming the property and showing the values after it.
#define FUZZ_CHECK(holds, ...)                                                                     \
    do {                                                                                           \
        if (!(holds))                                                                              \
            Fuzz::fail(#holds, Fuzz::shown(__VA_ARGS__));                                          \
    } while (false)

namespace Fuzz {

[[noreturn]] void fail(const char *property, const QString &detail);

// Values as qDebug shows them, one after the other: texts quoted, with their control characters
// escaped; C strings as they stand, for the words between.
template<typename... T>
QString shown(const T &...values)
{
    QString text;
    {
        QDebug debug(&text);
        debug.nospace();
        (debug << ... << values);
    }
    return text;
}

// An input that may carry fields before its text, each ended by a NUL. An input with fewer
// NULs than fields carries none: the fields are the defaults, and all of the input is the text.
struct Fields
{
    QList<QByteArray> fields; // as many as the defaults
    QByteArrayView text;
};
Fields takeFields(QByteArrayView input, const QList<QByteArray> &defaults);

// For readers that take a file: the path of a file that holds `content`, the same path for
// every input of a run.
QString scratchFile(QByteArrayView content);
QByteArray readFile(const QString &path);

} // namespace Fuzz
