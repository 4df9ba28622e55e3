#include "support/ConfigTest.h"

#include "course/ConfigFile.h"
#include "course/ConfigStore.h"
#include "course/LoginCipher.h"
#include "course/LoginStore.h"
#include "course/SharedState.h"
#include "platform/IniFile.h"

using namespace Qt::StringLiterals;

namespace {

QByteArray bytesFrom(int first, int last)
{
    QByteArray bytes;
    for (int c = first; c <= last; ++c)
        bytes.append(char(c));
    return bytes;
}

// The text byte at `position` (from 0) that the stored key turns into `target`.
QLatin1Char byteBecoming(char target, qsizetype position)
{
    const QByteArray key = LoginCipher().Key();
    return QLatin1Char(char(uchar(target) - uchar(key.at((position + 1) % key.size()))));
}

} // namespace

TEST(LoginCipher, KeyPositionsAndWrapAround)
{
    const std::tuple<QByteArray, QByteArray, QByteArray> cases[] = {
        {QByteArray(7, '\0'), "ABC", "BCABCAB"}, // first byte takes the second key byte
        {"\xFE\x01", "\x05", "\x03\x06"},        // one key byte: every byte moves alike, mod 256
        {"any text", "", "any text"},            // no key: unchanged
    };
    for (const auto &[text, key, enciphered] : cases) {
        EXPECT_EQ(LoginCipher().Encipher(text, key), enciphered) << text.toStdString();
        EXPECT_EQ(LoginCipher().Decipher(enciphered, key), text);
    }
}

using LoginData = ConfigTest;

TEST_F(LoginData, ValuesReadBackByteForByte)
{
    QStringList values({u"Grüße aus Köln"_s, u"日本語のパスワード"_s, u"🔑 key"_s,
                        u"  blanks around  "_s, u" "_s, u"\"quoted\""_s, u"'single'"_s,
                        u";x=y #z [s]"_s});
    values.append(QString(253, u'w')); // 254 bytes with "p"
    // Every printable character at every position of the key.
    const QString ascii = QString::fromLatin1(bytesFrom(0x20, 0x7E));
    for (qsizetype shift = 0; shift < LoginCipher().Key().size(); ++shift)
        values.append(ascii.mid(shift) + ascii.left(shift));

    for (const QString &value : values) {
        ASSERT_TRUE(WriteLoginData(u"Course"_s, value, value + u'u', u'p' + value, true))
            << value.toStdString();
        ASSERT_TRUE(ReadCourseConfig(u"Course"_s));
        const SharedState &s = Shared();
        EXPECT_EQ(QStringList({s.SiteName, s.Host, s.UserId, s.Password}),
                  QStringList({value, value, value + u'u', u'p' + value}));
    }
}

TEST_F(LoginData, StoredByEarlierBuildsStillReads)
{
    // Users keep the login data that earlier builds stored: another cipher or another key
    // byte would turn it into garbage.
    writeIni(readFile(QStringLiteral(VELLIX_COURSE_FIXTURES "/Dovrelle.ini")));
    ASSERT_TRUE(ReadCourseConfig(u"Bio 1"_s));
    EXPECT_EQ(QStringList({Shared().SiteName, Shared().UserId, Shared().Password}),
              QStringList({u"ftp.example.org/pub"_s, u"Jürgen Ölm"_s,
                           QString::fromLatin1(bytesFrom(0x20, 0x7E))}));
    EXPECT_EQ(LoginStore().read(ConfigFile(), u"Bio 1"_s, u"secure"_s), u"1"_s);
}

TEST_F(LoginData, WrittenEncipheredInOrder)
{
    writeIni("[Course]\r\nschool=Hill\r\n");
    ASSERT_TRUE(WriteLoginData(u"Course"_s, u"ftp.example.org"_s, u"anna"_s, u"secret"_s, true));
    EXPECT_EQ(Platform::IniFile(iniPath()).keys(u"Course"_s),
              QStringList({u"school"_s, u"ftpSite"_s, u"ftpUsid"_s, u"ftpPwd"_s, u"secure"_s}));
    // A plain login stored as secure would send the control's uploads over the wrong channel:
    // the upload tests store theirs so.
    EXPECT_EQ(LoginStore().read(ConfigFile(), u"Course"_s, u"secure"_s), u"1"_s);
}

TEST_F(LoginData, ValueThatCannotReadBackIsRefusedAndNothingWritten)
{
    using Problem = LoginStore::Problem;
    const std::pair<QString, Problem> cases[] = {
        {QString(255, u'w'), Problem::TooLong},
        {QString(128, QChar(0xE9)), Problem::TooLong}, // 256 bytes of UTF-8
        // Which bytes a file cannot hold is the profile's table; one of them is enough here.
        {u"ab"_s + byteBecoming('\n', 2), Problem::Unstorable},
        {QString(QChar(0xD800)), Problem::Unstorable}, // a lone surrogate
    };
    const QByteArray before = "[Course]\r\nftpSite=old\r\n";
    writeIni(before);
    for (const auto &[value, problem] : cases) {
        EXPECT_EQ(LoginStore().problemWith(value), problem);
        EXPECT_FALSE(WriteLoginData(u"Course"_s, u"site"_s, u"user"_s, value, false));
        EXPECT_EQ(readFile(iniPath()), before);
    }
}
