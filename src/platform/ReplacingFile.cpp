#include "platform/ReplacingFile.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace Platform {

namespace {

// Random names make a clash unlikely; the exclusive create makes one harmless.
constexpr int NameAttempts = 16;

// Hidden, short enough beside any name, and unlike any name a user would give a file.
QString temporaryName()
{
    return QStringLiteral(".vellix-%1.part")
        .arg(QString::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, u'0'));
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

ReplacingFile::ReplacingFile(const QString &path)
    : m_target(path)
{}

ReplacingFile::~ReplacingFile()
{
    discard();
}

bool ReplacingFile::open(OpenMode mode)
{
    if (isOpen() || m_target.isEmpty() || !(mode & WriteOnly) || (mode & (ReadOnly | Append))) {
        setErrorString(QStringLiteral("The file can only be opened once, to be written anew."));
        return false;
    }
    // The name itself, a link not followed: its folder takes the new version.
    const QFileInfo target(m_target);
    if (target.isDir() && !target.isSymLink()) {
        setErrorString(QStringLiteral("It is a folder."));
        return false;
    }
    const QString folder = target.absolutePath() + u'/';
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        const QString candidate = folder + temporaryName();
        setFileName(candidate);
        if (QFile::open(mode | NewOnly)) {
            m_temporary = candidate;
            if (target.isFile() && !target.isSymLink())
                setPermissions(target.permissions());
            return true;
        }
        if (!QFileInfo(candidate).isSymLink() && !QFileInfo::exists(candidate))
            break; // not a clash: the folder refuses new files
    }
    const QString why = errorString();
    setFileName(QString());
    setErrorString(why);
    return false;
}

bool ReplacingFile::commit()
{
    if (m_temporary.isEmpty() || !isOpen())
        return false;
    // What the disk refused on the way (it is full, the file too large) is told now, before
    // anything is replaced.
    if (!flush() || error() != NoError)
        return fail(errorString());
    if (::fsync(handle()) != 0)
        return fail(systemError());
    QFile::close();
    if (error() != NoError)
        return fail(errorString());
    // rename() replaces the name's own entry: a link there is replaced, not followed.
    if (std::rename(QFile::encodeName(m_temporary).constData(),
                    QFile::encodeName(m_target).constData()) != 0)
        return fail(systemError());
    m_temporary.clear();
    return true;
}

void ReplacingFile::close()
{
    discard();
}

bool ReplacingFile::fail(const QString &why)
{
    discard();
    setErrorString(why);
    return false;
}

void ReplacingFile::discard()
{
    QFile::close();
    if (!m_temporary.isEmpty())
        QFile::remove(m_temporary);
    m_temporary.clear();
}

} // namespace Platform
