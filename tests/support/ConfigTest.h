#pragma once

#include "platform/Profile.h"
#include "platform/Registry.h"
#include "support/VellixTest.h"

#include <QFile>

// A test with its own Dovrelle.ini in the Windows folder of its prefix.
class ConfigTest : public VellixTest
{
protected:
    static QString iniPath() { return Platform::Profile::resolve(QStringLiteral("Dovrelle.ini")); }
    // Readable by its owner only, as the control leaves the file once it stored login data.
    void writeIni(const QByteArray &content) const
    {
        writeFile(iniPath(), content);
        QFile::setPermissions(iniPath(), QFile::ReadOwner | QFile::WriteOwner);
    }
    // Registers the host product at C:\Dovrelle, as its installer does.
    static void registerHostProduct()
    {
        Platform::Registry().setString(
            Platform::RootKey::LocalMachine,
            QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Dovrelle.exe"),
            QString(), QStringLiteral("C:\\Dovrelle\\Dovrelle.exe"));
    }
};
