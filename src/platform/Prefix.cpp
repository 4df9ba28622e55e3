#include "platform/Prefix.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <pwd.h>
#include <unistd.h>

namespace Platform {

namespace {

constexpr auto OwnerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

void makeFolder(const QString &path)
{
    if (QFileInfo(path).isDir())
        return;
    QDir().mkpath(path);
    QFile::setPermissions(path, OwnerOnly);
}

void makeLink(const QString &link, const QString &target)
{
    const QFileInfo info(link);
    if (info.exists() || info.isSymLink())
        return;
    QFile::link(target, link);
}

// $HOME, or the account's home folder where a scheduled job runs without it: Qt would take the
// root folder, and the prefix and the home drive would land there.
QString homeFolder()
{
    if (!qEnvironmentVariableIsEmpty("HOME"))
        return QDir::homePath();
    const passwd *account = ::getpwuid(::geteuid());
    return account && account->pw_dir ? QFile::decodeName(account->pw_dir) : QDir::homePath();
}

// Creates the layout of a prefix once per process and prefix.
void ensureLayout(const QString &root)
{
    static QString ready;
    if (ready == root && QFileInfo(root + QLatin1String("/dosdevices")).isDir())
        return;
    makeFolder(root);
    makeFolder(root + QLatin1String("/drive_c/windows"));
    const QString devices = root + QLatin1String("/dosdevices");
    makeFolder(devices);
    makeLink(devices + QLatin1String("/c:"), QStringLiteral("../drive_c"));
    makeLink(devices + QLatin1String("/h:"), homeFolder());
    makeLink(devices + QLatin1String("/z:"), QStringLiteral("/"));
    ready = root;
}

} // namespace

QString Prefix::root()
{
    QString root = qEnvironmentVariable("VELLIX_PREFIX");
    if (root.isEmpty()) {
        QString data = qEnvironmentVariable("XDG_DATA_HOME");
        // A relative data folder counts as none, as for every program that follows XDG:
        // it would put the prefix wherever the program happens to be started.
        if (data.isEmpty() || QDir::isRelativePath(data))
            data = homeFolder() + QLatin1String("/.local/share");
        root = data + QLatin1String("/vellixon");
    }
    root = QDir::cleanPath(QDir(root).absolutePath());
    ensureLayout(root);
    return root;
}

QString Prefix::path(const QString &relative)
{
    return root() + QLatin1Char('/') + relative;
}

QString Prefix::driveTarget(QChar letter)
{
    const QString link = path(QStringLiteral("dosdevices/")) + letter.toLower() + QLatin1Char(':');
    const QFileInfo info(link);
    if (!info.isSymLink())
        return info.isDir() ? info.absoluteFilePath() : QString();
    return QDir::cleanPath(info.symLinkTarget());
}

QString Prefix::driveLetters()
{
    QString letters;
    const QStringList entries =
        QDir(path(QStringLiteral("dosdevices")))
            .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.size() == 2 && entry.at(1) == QLatin1Char(':') &&
            entry.at(0) >= QLatin1Char('a') && entry.at(0) <= QLatin1Char('z'))
            letters += entry.at(0);
    }
    return letters;
}

QString Prefix::windowsFolder()
{
    const QString folder = path(QStringLiteral("drive_c/windows"));
    makeFolder(folder);
    return folder;
}

} // namespace Platform
