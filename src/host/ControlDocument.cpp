#include "host/ControlDocument.h"

#include "control/Vellix.h"
#include "platform/IniFile.h"
#include "platform/IniPropertyBag.h"

ControlDocument::ControlDocument(Vellix *control, const QString &bagPath, QObject *parent)
    : QObject(parent)
    , m_control(control)
    , m_bagPath(bagPath)
{
    connect(control, &Vellix::propertyChanged, this, [this] { setModified(true); });
}

QString ControlDocument::sectionName()
{
    return QStringLiteral("Vellix");
}

bool ControlDocument::hasSavedProperties() const
{
    return !Platform::IniFile(m_bagPath).keys(sectionName()).isEmpty();
}

void ControlDocument::load()
{
    if (hasSavedProperties()) {
        Platform::IniPropertyBag bag(m_bagPath, sectionName());
        m_control->ReadProperties(bag);
    } else {
        m_control->InitProperties();
    }
    setModified(false);
}

ControlDocument::Saved ControlDocument::save()
{
    // A fresh bag over the file as it is now, so other sections and lines stay untouched.
    Platform::IniPropertyBag bag(m_bagPath, sectionName());
    m_control->WriteProperties(bag);
    const bool holdsPassword =
        !bag.readProperty(QStringLiteral("password"), QString()).toString().isEmpty();
    const bool madePrivate = holdsPassword && bag.isOpenToOthers();
    if (!bag.save(holdsPassword ? Platform::IniFile::Access::OwnerOnly
                                : Platform::IniFile::Access::Kept))
        return {};
    setModified(false);
    return {true, madePrivate};
}

ControlDocument::Saved ControlDocument::saveIfModified()
{
    return m_modified ? save() : Saved{true, false};
}

void ControlDocument::setModified(bool modified)
{
    if (modified == m_modified)
        return;
    m_modified = modified;
    Q_EMIT modifiedChanged(modified);
}
