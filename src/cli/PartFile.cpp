#include "cli/PartFile.h"

#include <QFile>
#include <QRandomGenerator>

#include <cstdio>

using namespace Qt::StringLiterals;

PartFile::PartFile(const QFileInfo &target)
    : m_target(target)
{
    // Made exclusively, with the permissions a new file gets.
    for (int attempt = 0; attempt < 8 && m_path.isEmpty(); ++attempt) {
        const QString path = u"%1/.vellix-%2.part"_s.arg(
            target.absolutePath(), QString::number(QRandomGenerator::global()->generate(), 16));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            m_path = path;
    }
}

PartFile::~PartFile()
{
    if (!m_path.isEmpty())
        QFile::remove(m_path);
}

bool PartFile::commit()
{
    if (m_target.exists())
        QFile::setPermissions(m_path, m_target.permissions());
    // rename(2) replaces the target in one step; QFile::rename does not replace.
    if (std::rename(QFile::encodeName(m_path).constData(),
                    QFile::encodeName(m_target.absoluteFilePath()).constData()) != 0)
        return false;
    m_path.clear();
    return true;
}
