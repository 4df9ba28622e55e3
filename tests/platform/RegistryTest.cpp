#include "support/VellixTest.h"

#include "platform/Prefix.h"
#include "platform/Registry.h"

#include <QStringEncoder>

using namespace Platform;

namespace {

const QString AppPaths = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths");

} // namespace

class RegistryTest : public VellixTest
{
protected:
    void writeRegistry(const QByteArray &content) { writeFile(Registry::defaultPath(), content); }

    // A registry editor's export, in UTF-8, with a value in each form it writes.
    const QByteArray exported = readFile(QStringLiteral(VELLIX_PLATFORM_FIXTURES "/export.reg"));
};

TEST_F(RegistryTest, ReadsAnExportInUtf8OrUtf16WithoutRegardToCase)
{
    QByteArray utf16 = "\xff\xfe";
    utf16 += QStringEncoder(QStringEncoder::Utf16LE).encode(QString::fromUtf8(exported));
    for (const QByteArray &file : {exported, utf16}) {
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
    writeRegistry(exported);
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
