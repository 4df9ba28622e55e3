#include "transport/RawNames.h"

#include "transport/NameCodec.h"

#include <QByteArrayList>
#include <QStringTokenizer>

namespace Ftp {

void RawNames::remember(const QByteArray &name)
{
    if (!NameCodec::isUtf8(name))
        m_bytes.insert(NameCodec::decode(name), name);
}

void RawNames::rememberPath(const QByteArray &path)
{
    for (const QByteArray &name : path.split('/'))
        remember(name);
}

QByteArray RawNames::encode(const QString &path) const
{
    if (m_bytes.isEmpty())
        return NameCodec::encode(path);
    QByteArrayList names;
    for (const QStringView name : QStringTokenizer(path, u'/'))
        names << m_bytes.value(name.toString(), NameCodec::encode(name));
    return names.join('/');
}

} // namespace Ftp
