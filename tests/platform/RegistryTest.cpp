#include "support/VellixTest.h"

#include "platform/Prefix.h"
#include "platform/Registry.h"

#include <QStringEncoder>

using namespace Platform;

namespace {

const QString AppPaths = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths");

const char Export[] = "Windows Registry Editor Version 5.00\r\n"
                      "\r\n"
                      "; exported by hand\r\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App "
                      "Paths\\Dovrelle.exe]\r\n"
                      "@=\"C:\\\\Program Files\\\\Dovrelle\\\\Dovrelle.exe\"\r\n"
                      "\"Path\"=\"C:\\\\Program Files\\\\Dovrelle\"\r\n"
                      "\r\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\r\n"
                      "\"Quote \\\"d\\\" name\"=\"say \\\"hi\\\"\"\r\n"
                      "\"Count\"=dword:0000002a\r\n"
                      "\"Big\"=dword:ffffffff\r\n"
                      "\"Expand\"=hex(2):25,00,57,00,49,00,4e,00,25,00,\\\r\n"
                      "  00,00\r\n"
                      "\"Bin\"=hex:01,02,ff\r\n"
                      "\"Gone\"=-\r\n"
                      "\r\n"
                      "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Removed]\r\n"
                      "\r\n"
                      "[HKEY_CURRENT_USER\\Software\\Vellixon]\r\n"
                      "\"Path\"=\"user\"\r\n";

} // namespace

class RegistryTest : public VellixTest
{
protected:
    void writeRegistry(const QByteArray &content) { writeFile(Registry::defaultPath(), content); }
};

TEST_F(RegistryTest, ReadsAnExportInUtf8OrUtf16WithoutRegardToCase)
{
    QByteArray utf16 = "\xff\xfe";
    utf16 += QStringEncoder(QStringEncoder::Utf16LE).encode(QString::fromUtf8(Export));
    for (const QByteArray &file : {QByteArray(Export), utf16}) {
        SCOPED_TRACE(file.startsWith("\xff\xfe") ? "UTF-16" : "UTF-8");
        writeRegistry(file);
        const Registry registry;
        const auto value = [&](RootKey root, const QString &key, const QString &name) {
            return registry.value(root, key, name);
        };

        const auto program =
            value(RootKey::LocalMachine, AppPaths + QLatin1String("\\DOVRELLE.EXE"), {});
        ASSERT_TRUE(program);
        EXPECT_EQ(program->type, Registry::Type::String);
        EXPECT_EQ(program->text, QStringLiteral("C:\\Program Files\\Dovrelle\\Dovrelle.exe"));
        EXPECT_EQ(program->dataSize(), program->text.size() + 1);

        const QString msinfo = QStringLiteral("software\\microsoft\\shared tools\\msinfo\\");
        EXPECT_EQ(value(RootKey::LocalMachine, msinfo, QStringLiteral("quote \"D\" NAME"))->text,
                  QStringLiteral("say \"hi\""));
        EXPECT_EQ(value(RootKey::LocalMachine, msinfo, QStringLiteral("count"))->number, 42u);
        EXPECT_EQ(value(RootKey::LocalMachine, msinfo, QStringLiteral("Big"))->number, 0xffffffffu);
        const auto expand = value(RootKey::LocalMachine, msinfo, QStringLiteral("Expand"));
        ASSERT_TRUE(expand);
        EXPECT_EQ(expand->type, Registry::Type::ExpandString);
        EXPECT_EQ(expand->text, QStringLiteral("%WIN%"));
        EXPECT_EQ(value(RootKey::LocalMachine, msinfo, QStringLiteral("Bin"))->bytes,
                  QByteArray("\x01\x02\xff"));
        EXPECT_FALSE(value(RootKey::LocalMachine, msinfo, QStringLiteral("Gone")));
        EXPECT_FALSE(value(RootKey::LocalMachine, msinfo, QStringLiteral("Missing")));
        EXPECT_FALSE(value(RootKey::LocalMachine, msinfo, {})); // no default value written
        EXPECT_EQ(value(RootKey::CurrentUser, QStringLiteral("Software\\Vellixon"),
                        QStringLiteral("Path"))
                      ->text,
                  QStringLiteral("user"));
        EXPECT_FALSE(value(RootKey::LocalMachine, QStringLiteral("Software\\Vellixon"),
                           QStringLiteral("Path")));

        EXPECT_TRUE(
            registry.keyExists(RootKey::LocalMachine, QStringLiteral("Software\\Microsoft")));
        EXPECT_FALSE(registry.keyExists(RootKey::LocalMachine, QStringLiteral("Software\\Micro")));
        EXPECT_FALSE(
            registry.keyExists(RootKey::LocalMachine, QStringLiteral("Software\\Removed")));
    }
}

TEST_F(RegistryTest, WrittenValuesReadBackInAFreshRegistry)
{
    writeRegistry(Export);
    const QString key = AppPaths + QLatin1String("\\WORDPAD.EXE");
    const QString tricky = QStringLiteral("C:\\Program Files\\\"Ed\" Ünï\\wordpad.exe");
    {
        Registry registry;
        ASSERT_TRUE(registry.setString(RootKey::LocalMachine, key, {}, tricky));
        ASSERT_TRUE(registry.setDWord(RootKey::LocalMachine, key, QStringLiteral("n"), 7));
        ASSERT_TRUE(registry.setString(RootKey::LocalMachine,
                                       AppPaths + QLatin1String("\\dovrelle.exe"), {},
                                       QStringLiteral("D:\\Dovrelle\\Dovrelle.exe")));
    }
    const Registry registry;
    EXPECT_EQ(registry.value(RootKey::LocalMachine, key, {})->text, tricky);
    EXPECT_EQ(registry.value(RootKey::LocalMachine, key, QStringLiteral("N"))->number, 7u);
    // Replaced in place, not added twice; what was there before survives.
    EXPECT_EQ(
        registry.value(RootKey::LocalMachine, AppPaths + QLatin1String("\\Dovrelle.exe"), {})->text,
        QStringLiteral("D:\\Dovrelle\\Dovrelle.exe"));
    const auto expand = registry.value(RootKey::LocalMachine,
                                       QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                                       QStringLiteral("Expand"));
    ASSERT_TRUE(expand);
    EXPECT_EQ(expand->text, QStringLiteral("%WIN%"));
    EXPECT_TRUE(
        readFile(Registry::defaultPath()).startsWith("Windows Registry Editor Version 5.00"));
}

TEST_F(RegistryTest, MissingFileHasNoKeys)
{
    const Registry registry;
    EXPECT_FALSE(registry.keyExists(RootKey::LocalMachine, QStringLiteral("Software")));
    EXPECT_FALSE(registry.value(RootKey::LocalMachine, QStringLiteral("Software"), {}));
}
