#include "transport/LocalPath.h"

#include "platform/DosPath.h"
#include "platform/TextValue.h"

LocalPath::LocalPath(QString dosPath)
    : m_dosPath(std::move(dosPath))
{}

const QString &LocalPath::linuxPath() const
{
    if (!m_linuxPath)
        m_linuxPath = Platform::DosPath::toLinux(m_dosPath);
    return *m_linuxPath;
}

LocalPath LocalPath::trimmed() const
{
    const QString text = Trim(m_dosPath);
    if (text.size() == m_dosPath.size())
        return *this;
    return LocalPath(text);
}
