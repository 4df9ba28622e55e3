#pragma once

#include "platform/UiRecorder.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>

// Readable values in failure messages.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QByteArray &bytes, std::ostream *out)
{
    *out << '"' << bytes.toPercentEncoding(" !\"#$&'()*+,/:;<=>?@[\\]^`{|}~").toStdString() << '"';
}

// Base fixture: a fresh prefix ($VELLIX_PREFIX) and home folder ($HOME) in a temporary
// folder, the shared state as a freshly loaded library, and a Ui recorder installed.
class VellixTest : public ::testing::Test
{
public:
    // Writes a file (creating its folders) and returns its Linux path.
    static QString writeFile(const QString &linuxPath, const QByteArray &content);
    // Writes a file of that many bytes (sparse, so sizes beyond the disk's fit) and returns its
    // Linux path.
    static QString writeSizedFile(const QString &linuxPath, qint64 size);
    static QByteArray readFile(const QString &linuxPath);

protected:
    void SetUp() override;
    void TearDown() override;

    // Linux path inside the test's temporary folder.
    QString tempPath(const QString &relative = {}) const;
    // Linux path of the test's home folder (the h: drive).
    QString homePath(const QString &relative = {}) const;
    // The files below a folder, hidden ones too, by their paths relative to it, sorted.
    static QStringList filesBelow(const QString &linuxPath);
    // Makes a named pipe, with its folder; whether it stands there (itself, not through a link).
    static bool makePipe(const QString &linuxPath);
    static bool isPipe(const QString &linuxPath);
    // The names (or paths) left when the transfers' hidden partial files are taken out.
    static QStringList withoutPartials(QStringList names);

    Platform::UiRecorder &ui() { return *m_ui; }

    // Sets or removes an environment variable for this test; it is put back as it was when
    // the test ends.
    void setEnvironment(const char *name, const QByteArray &value);
    void unsetEnvironment(const char *name);

    // An executable script that records its arguments, one a line, in a file next to it
    // ("$0.ran"), standing in for a program the code under test starts.
    QString writeProgram(const QString &linuxPath) const;
    // What the program was started with, waiting a while for a program started without
    // waiting; empty when it did not run.
    static QStringList arguments(const QString &programPath);

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_startFolder;
    std::unique_ptr<Platform::UiRecorder> m_ui;
    // The variables changed, with their values before (nullopt: not set).
    QList<std::pair<QByteArray, std::optional<QByteArray>>> m_savedEnvironment;
};
