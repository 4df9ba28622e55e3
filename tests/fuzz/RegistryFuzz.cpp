// The registry reader and writer. A text value set in any registry file reads back, and the
// file the registry wrote then reads and writes again unchanged.
// Input: the key path, the value name and the text, each ended by a NUL, then the file; an
// input with fewer NULs is the file alone, given the App Paths entry of the host product.

#include "FuzzInput.h"

#include "platform/Registry.h"

using Platform::Registry;
using Platform::RootKey;
using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const Fuzz::Fields input = Fuzz::takeFields(Fuzz::bytes(data, size), 3);
    const bool named = !input.fields.isEmpty();
    const QString key = named ? QString::fromUtf8(input.fields.at(0))
                              : u"Software\\Microsoft\\Windows\\CurrentVersion\\App "
                                u"Paths\\Dovrelle.exe"_s;
    const QString name = named ? QString::fromUtf8(input.fields.at(1)) : QString();
    const QString text = named ? QString::fromUtf8(input.fields.at(2))
                               : u"C:\\Program Files\\Dovrelle\\Dovrelle.exe"_s;

    const QString path = Fuzz::scratchFile(input.text);
    if (!Registry(path).setString(RootKey::LocalMachine, key, name, text))
        return 0; // refused, nothing written
    const QByteArray written = Fuzz::readFile(path);

    Registry reread(path);
    const auto value = reread.value(RootKey::LocalMachine, key, name);
    FUZZ_CHECK(value && value->type == Registry::Type::String && value->text == text,
               Fuzz::shown(key) + u' ' + Fuzz::shown(name) + u" reads "_s +
                   Fuzz::shown(value ? value->text : u"nothing"_s));
    FUZZ_CHECK(reread.setString(RootKey::LocalMachine, key, name, text), path);
    FUZZ_CHECK(Fuzz::readFile(path) == written,
               Fuzz::shown(written) + u" became "_s + Fuzz::shown(Fuzz::readFile(path)));
    return 0;
}
