#pragma once

#include "platform/Profile.h"
#include "support/VellixTest.h"

// A test with its own Dovrelle.ini in the Windows folder of its prefix.
class ConfigTest : public VellixTest
{
protected:
    static QString iniPath() { return Platform::Profile::resolve(QStringLiteral("Dovrelle.ini")); }
    void writeIni(const QByteArray &content) const { writeFile(iniPath(), content); }
};
