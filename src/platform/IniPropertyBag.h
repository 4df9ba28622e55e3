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

    // Writes the file; a new file is its owner's only (see IniFile::save). False, with the
    // file left as it was, when a value written could not be held by the file (a line break):
    // saving the others would leave the value before it in its place, as if it had been saved.
    bool save(IniFile::Access access = IniFile::Access::Kept) const
    {
        return !m_refusedValue && m_file.save(access);
    }
    // True when the file on disk lets other users than its owner read or change it.
    bool isOpenToOthers() const { return m_file.isOpenToOthers(); }

private:
    IniFile m_file;
    QString m_section;
    bool m_refusedValue = false;
};

} // namespace Platform
