#pragma once

#include "platform/IniFile.h"
#include "platform/PropertyBag.h"

namespace Platform {

// A property bag in one section of an INI file (UTF-8 text values), for hosts. Keys keep the
// order in which they were first written; save() writes the file.
class IniPropertyBag : public PropertyBag
{
public:
    IniPropertyBag(const QString &linuxPath, const QString &section);

    QVariant readProperty(const QString &name, const QVariant &defaultValue) override;
    void writeProperty(const QString &name, const QVariant &value,
                       const QVariant &defaultValue) override;

    bool save() const { return m_file.save(); }

private:
    IniFile m_file;
    QString m_section;
};

} // namespace Platform
