// The registry reader and writer. A text value set in any registry file reads back, and the
// file the registry wrote then reads and writes again unchanged.
// Input: the key path, the value name and the text, each ended by a NUL, then the file; an
// input with fewer NULs is the file alone, given the App Paths entry of the host product.

#include "FuzzInput.h"

#include "platform/Registry.h"

using Platform::Registry;
using Platform::RootKey;
using namespace Qt::StringLiterals;

FUZZ_TARGET(bytes)
{
    const Fuzz::Fields input = Fuzz::takeFields(
        bytes, {"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Dovrelle.exe", "",
                "C:\\Program Files\\Dovrelle\\Dovrelle.exe"});
    const QString key = QString::fromUtf8(input.fields.at(0));
    const QString name = QString::fromUtf8(input.fields.at(1));
    const QString text = QString::fromUtf8(input.fields.at(2));

    const QString path = Fuzz::scratchFile(input.text);
    if (!Registry(path).setString(RootKey::LocalMachine, key, name, text))
        return; // refused, nothing written
    const QByteArray written = Fuzz::readFile(path);

    Registry reread(path);
    const auto value = reread.value(RootKey::LocalMachine, key, name);
    FUZZ_CHECK(value && value->type == Registry::Type::String && value->text == text, key, " ",
               name, " reads ", value ? value->text : u"nothing"_s);
    FUZZ_CHECK(reread.setString(RootKey::LocalMachine, key, name, text), path);
    FUZZ_CHECK(Fuzz::readFile(path) == written, written, " became ", Fuzz::readFile(path));
}
