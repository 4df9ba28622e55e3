#pragma once

#include "platform/UiRecorder.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
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
protected:
    void SetUp() override;
    void TearDown() override;

    // Linux path inside the test's temporary folder.
    QString tempPath(const QString &relative = {}) const;
    // Linux path of the test's home folder (the h: drive).
    QString homePath(const QString &relative = {}) const;
    // Writes a file (creating its folders) and returns its Linux path.
    QString writeFile(const QString &linuxPath, const QByteArray &content) const;
    static QByteArray readFile(const QString &linuxPath);

    Platform::UiRecorder &ui() { return *m_ui; }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Platform::UiRecorder> m_ui;
    QByteArray m_savedHome;
    QByteArray m_savedPrefix;
};
