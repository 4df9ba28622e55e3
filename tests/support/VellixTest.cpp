#include "support/VellixTest.h"

#include "course/SharedState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

void VellixTest::SetUp()
{
    m_dir = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(m_dir->isValid());
    QDir(m_dir->path()).mkpath(QStringLiteral("home"));
    m_savedHome = qgetenv("HOME");
    m_savedPrefix = qgetenv("VELLIX_PREFIX");
    qputenv("HOME", QFile::encodeName(homePath()));
    qputenv("VELLIX_PREFIX", QFile::encodeName(tempPath(QStringLiteral("prefix"))));
    SharedState::reset();
    m_ui = std::make_unique<Platform::UiRecorder>();
}

void VellixTest::TearDown()
{
    m_ui.reset();
    SharedState::reset();
    qputenv("HOME", m_savedHome);
    qputenv("VELLIX_PREFIX", m_savedPrefix);
    m_dir.reset();
}

QString VellixTest::tempPath(const QString &relative) const
{
    return relative.isEmpty() ? m_dir->path() : m_dir->filePath(relative);
}

QString VellixTest::homePath(const QString &relative) const
{
    const QString home = m_dir->filePath(QStringLiteral("home"));
    return relative.isEmpty() ? home : home + QLatin1Char('/') + relative;
}

QString VellixTest::writeFile(const QString &linuxPath, const QByteArray &content) const
{
    QDir().mkpath(QFileInfo(linuxPath).absolutePath());
    QFile file(linuxPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        ADD_FAILURE() << "cannot write " << linuxPath.toStdString();
    file.write(content);
    return linuxPath;
}

QByteArray VellixTest::readFile(const QString &linuxPath)
{
    QFile file(linuxPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
