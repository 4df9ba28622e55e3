#include "support/VellixTest.h"

#include "platform/Prefix.h"
#include "platform/Registry.h"

#include <QStringEncoder>

using namespace Platform;
using namespace Qt::StringLiterals;

namespace {

const QString AppPaths = u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths"_s;

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
        EXPECT_EQ(program->text, u"C:\\Program Files\\Dovrelle\\Dovrelle.exe"_s);
        EXPECT_EQ(program->dataSize(), program->text.size() + 1);

        const QString msinfo = u"software\\microsoft\\shared tools\\msinfo\\"_s;
        EXPECT_EQ(value(RootKey::LocalMachine, msinfo, u"quote \"D\" NAME"_s)->text,
                  u"say \"hi\""_s);
        EXPECT_EQ(value(RootKey::LocalMachine, msinfo, u"count"_s)->number, 42u);
        EXPECT_EQ(value(RootKey::LocalMachine, msinfo, u"Big"_s)->number, 0xffffffffu);
        const auto expand = value(RootKey::LocalMachine, msinfo, u"Expand"_s);
        ASSERT_TRUE(expand);
        EXPECT_EQ(expand->type, Registry::Type::ExpandString);
        EXPECT_EQ(expand->text, u"%WIN%"_s);
        EXPECT_EQ(value(RootKey::LocalMachine, msinfo, u"Bin"_s)->bytes,
                  QByteArray("\x01\x02\xff"));
        EXPECT_FALSE(value(RootKey::LocalMachine, msinfo, u"Gone"_s));
        EXPECT_FALSE(value(RootKey::LocalMachine, msinfo, u"Missing"_s));
        EXPECT_FALSE(value(RootKey::LocalMachine, msinfo, {})); // no default value written
        EXPECT_EQ(value(RootKey::CurrentUser, u"Software\\Vellixon"_s, u"Path"_s)->text, u"user"_s);
        EXPECT_FALSE(value(RootKey::LocalMachine, u"Software\\Vellixon"_s, u"Path"_s));

        EXPECT_TRUE(registry.keyExists(RootKey::LocalMachine, u"Software\\Microsoft"_s));
        EXPECT_FALSE(registry.keyExists(RootKey::LocalMachine, u"Software\\Micro"_s));
        EXPECT_FALSE(registry.keyExists(RootKey::LocalMachine, u"Software\\Removed"_s));
    }
}

TEST_F(RegistryTest, WrittenValuesReadBackInAFreshRegistry)
{
    // No file yet, or a pipe in its place, which is not waited on: an empty registry.
    EXPECT_FALSE(Registry().keyExists(RootKey::LocalMachine, u"Software"_s));
    ASSERT_TRUE(makePipe(Registry::defaultPath()));
    EXPECT_FALSE(Registry().keyExists(RootKey::LocalMachine, u"Software"_s));
    ASSERT_TRUE(QFile::remove(Registry::defaultPath()));
    writeRegistry(exported);
    const QString key = AppPaths + QLatin1String("\\WORDPAD.EXE");
    const QString tricky = u"C:\\Program Files\\\"Ed\" Ünï\\wordpad.exe"_s;
    {
        Registry registry;
        ASSERT_TRUE(registry.setString(RootKey::LocalMachine, key, {}, tricky));
        ASSERT_TRUE(registry.setDWord(RootKey::LocalMachine, key, u"n"_s, 7));
        ASSERT_TRUE(registry.setString(RootKey::LocalMachine,
                                       AppPaths + QLatin1String("\\dovrelle.exe"), {},
                                       u"D:\\Dovrelle\\Dovrelle.exe"_s));
    }
    const Registry registry;
    EXPECT_EQ(registry.value(RootKey::LocalMachine, key, {})->text, tricky);
    EXPECT_EQ(registry.value(RootKey::LocalMachine, key, u"N"_s)->number, 7u);
    // Replaced in place, not added twice; what was there before survives.
    EXPECT_EQ(
        registry.value(RootKey::LocalMachine, AppPaths + QLatin1String("\\Dovrelle.exe"), {})->text,
        u"D:\\Dovrelle\\Dovrelle.exe"_s);
    const auto expand = registry.value(RootKey::LocalMachine,
                                       u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"_s, u"Expand"_s);
    ASSERT_TRUE(expand);
    EXPECT_EQ(expand->text, u"%WIN%"_s);
    EXPECT_TRUE(
        readFile(Registry::defaultPath()).startsWith("Windows Registry Editor Version 5.00"));
}
