#include "support/VellixTest.h"

#include "course/SharedState.h"
#include "platform/PartialName.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <sys/stat.h>

void VellixTest::SetUp()
{
    m_dir = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(m_dir->isValid());
    QDir(m_dir->path()).mkpath(QStringLiteral("home"));
    // Programs that fall back on the current folder (the host's folder when none is registered)
    // write into the test's own folder, and the programs the test starts begin there too.
    m_startFolder = QDir::currentPath();
    QDir(m_dir->path()).mkpath(QStringLiteral("work"));
    QDir::setCurrent(tempPath(QStringLiteral("work")));
    setEnvironment("HOME", QFile::encodeName(homePath()));
    setEnvironment("VELLIX_PREFIX", QFile::encodeName(tempPath(QStringLiteral("prefix"))));
    SharedState::reset();
    m_ui = std::make_unique<Platform::UiRecorder>();
}

void VellixTest::TearDown()
{
    m_ui.reset();
    SharedState::reset();
    // Last changed, first put back, so that a variable changed twice ends as it began.
    for (auto saved = m_savedEnvironment.crbegin(); saved != m_savedEnvironment.crend(); ++saved) {
        if (saved->second)
            qputenv(saved->first.constData(), *saved->second);
        else
            qunsetenv(saved->first.constData());
    }
    m_savedEnvironment.clear();
    QDir::setCurrent(m_startFolder);
    m_dir.reset();
}

void VellixTest::setEnvironment(const char *name, const QByteArray &value)
{
    m_savedEnvironment.append({name, qEnvironmentVariableIsSet(name)
                                         ? std::optional<QByteArray>(qgetenv(name))
                                         : std::nullopt});
    qputenv(name, value);
}

void VellixTest::unsetEnvironment(const char *name)
{
    setEnvironment(name, {});
    qunsetenv(name);
}

QString VellixTest::writeProgram(const QString &linuxPath) const
{
    // Written aside and moved in place, so that a reader never sees half a record.
    writeFile(linuxPath,
              "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.part\"\nmv \"$0.part\" \"$0.ran\"\n");
    QFile::setPermissions(linuxPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return linuxPath;
}

QStringList VellixTest::arguments(const QString &programPath)
{
    const QString record = programPath + QStringLiteral(".ran");
    const QDeadlineTimer deadline(10000);
    while (!QFile::exists(record) && !deadline.hasExpired())
        QThread::msleep(20);
    const QString text = QString::fromUtf8(readFile(record));
    return text.isEmpty() ? QStringList() : text.chopped(1).split(QLatin1Char('\n'));
}

QString VellixTest::tempPath(const QString &relative) const
{
    return relative.isEmpty() ? m_dir->path() : m_dir->filePath(relative);
}

QString VellixTest::homePath(const QString &relative) const
{
    return tempPath(relative.isEmpty() ? QStringLiteral("home")
                                       : QStringLiteral("home/") + relative);
}

QString VellixTest::writeFile(const QString &linuxPath, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(linuxPath).absolutePath());
    QFile file(linuxPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        ADD_FAILURE() << "cannot write " << linuxPath.toStdString();
    file.write(content);
    return linuxPath;
}

QString VellixTest::writeSizedFile(const QString &linuxPath, qint64 size)
{
    if (!QFile::resize(writeFile(linuxPath, {}), size))
        ADD_FAILURE() << "cannot make " << linuxPath.toStdString() << " " << size << " bytes long";
    return linuxPath;
}

QStringList VellixTest::withoutPartials(QStringList names)
{
    names.removeIf(
        [](const QString &name) { return PartialName::isPartialName(name.section(u'/', -1)); });
    return names;
}

QByteArray VellixTest::readFile(const QString &linuxPath)
{
    QFile file(linuxPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QStringList VellixTest::filesBelow(const QString &linuxPath)
{
    QStringList found;
    const QDir folder(linuxPath);
    for (QDirIterator it(linuxPath, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
         it.hasNext();)
        found << folder.relativeFilePath(it.next());
    found.sort();
    return found;
}

bool VellixTest::makePipe(const QString &linuxPath)
{
    return QDir().mkpath(QFileInfo(linuxPath).absolutePath()) &&
           mkfifo(QFile::encodeName(linuxPath).constData(), 0600) == 0;
}

bool VellixTest::isPipe(const QString &linuxPath)
{
    struct stat entry
    {
    };
    return lstat(QFile::encodeName(linuxPath).constData(), &entry) == 0 && S_ISFIFO(entry.st_mode);
}
