#pragma once

#include <QString>
#include <QVariant>

namespace Platform {

// The host's store for a control's persisted properties. A value equal to its default is not
// stored, and reading a missing key gives the default; the default's type is the type read.
class PropertyBag
{
public:
    virtual ~PropertyBag();
    virtual QVariant readProperty(const QString &name, const QVariant &defaultValue) = 0;
    virtual void writeProperty(const QString &name, const QVariant &value,
                               const QVariant &defaultValue) = 0;
};

} // namespace Platform
