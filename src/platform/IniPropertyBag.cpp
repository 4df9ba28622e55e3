#include "platform/IniPropertyBag.h"

namespace Platform {

IniPropertyBag::IniPropertyBag(const QString &linuxPath, const QString &section)
    : m_file(linuxPath)
    , m_section(section)
{}

QVariant IniPropertyBag::readProperty(const QString &name, const QVariant &defaultValue)
{
    const auto stored = m_file.value(m_section, name);
    if (!stored)
        return defaultValue;
    // The default's type is the type read; a value that does not convert reads as the default.
    QVariant value(QString::fromUtf8(*stored));
    if (defaultValue.isValid() && !value.convert(defaultValue.metaType()))
        return defaultValue;
    return value;
}

void IniPropertyBag::writeProperty(const QString &name, const QVariant &value,
                                   const QVariant &defaultValue)
{
    if (value == defaultValue)
        m_file.removeKey(m_section, name);
    else if (!m_file.setValue(m_section, name, value.toString().toUtf8()))
        m_refusedValue = true;
}

} // namespace Platform
