#include "support/FullDisk.h"

#include <QDir>
#include <QFile>
#include <QProcess>

FullDisk::FullDisk(QString folder)
    : m_folder(std::move(folder))
{
    m_mounted =
        QDir().mkpath(m_folder) &&
        QProcess::execute(QStringLiteral("mount"),
                          {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                           QStringLiteral("size=64k"), QStringLiteral("tmpfs"), m_folder}) == 0;
}

FullDisk::~FullDisk()
{
    if (m_mounted)
        QProcess::execute(QStringLiteral("umount"), {m_folder});
}

void FullDisk::fill(qint64 spare) const
{
    QFile filler(m_folder + QStringLiteral("/filler"));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return;
    const QByteArray block(512, 'x');
    while (filler.write(block) == block.size()) {
    }
    if (spare > 0)
        filler.resize(qMax<qint64>(0, filler.size() - spare));
}
