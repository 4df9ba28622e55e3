#include "support/VellixTest.h"

#include "course/FileTypes.h"
#include "course/SharedState.h"

#include <QSet>

using namespace Qt::StringLiterals;

TEST(FileTypes, ExtensionOfNameAndItsIconNumberAndPicture)
{
    const std::tuple<QString, QString, qint16> cases[] = {
        {u"notes"_s, {}, 1},
        {u"photo.jpg"_s, u"jpg"_s, 3},
        {u"Photo.GIF"_s, u"gif"_s, 3},
        {u"week.1.html"_s, u"html"_s, 6},
        {u"app.aspx"_s, u"aspx"_s, 23},
        {u".htaccess"_s, u"htaccess"_s, 1},
    };
    for (const auto &[name, extension, index] : cases) {
        EXPECT_EQ(ExtensionOf(name), extension) << name.toStdString();
        EXPECT_EQ(FileTypeIndex(ExtensionOf(name)), index) << name.toStdString();
    }

    // Which extension shows which picture is the table's data; the rules around it are that only
    // the listed extensions in lower case have a type, and every type a picture of its own.
    for (const QString &extension : {u"PDF"_s, u"Jpg"_s, u"HTM"_s, u"htmls"_s, u"p"_s, QString()})
        EXPECT_EQ(FileTypeIndex(extension), UnknownFileTypeIndex) << extension.toStdString();
    EXPECT_EQ(FileTypeImageKey(UnknownFileTypeIndex), u"file"_s);
    QSet<QString> keys;
    for (qint16 index = UnknownFileTypeIndex; index <= LastFileTypeIndex; ++index)
        keys.insert(FileTypeImageKey(index));
    EXPECT_EQ(keys.size(), LastFileTypeIndex - UnknownFileTypeIndex + 1);
    for (qint16 outside : {qint16(-1), qint16(0), qint16(LastFileTypeIndex + 1)})
        EXPECT_EQ(FileTypeImageKey(outside), u"file"_s) << outside;
}

// Rules that read or change the shared state.
using SharedFileRules = VellixTest;

TEST_F(SharedFileRules, UploadFilterLetsThroughWhatTheListAllows)
{
    EXPECT_FALSE(ExtensionAllowed(u"pdf"_s)) << "no list before the login data is loaded";

    const std::tuple<QString, QString, bool> cases[] = {
        {u"*.*;"_s, u"exe"_s, true},
        {u"pdf;doc;"_s, u"pdf"_s, true},
        {u"pdf;doc;"_s, u"doc"_s, true},
        {u"pdf;doc;"_s, u"PDF"_s, false},
        {u"pdf;doc;"_s, u"txt"_s, false},
        {u"pdf;doc;"_s, {}, true}, // the filter's trailing ";" leaves an empty element
        {u"pdf;doc"_s, {}, false},
        {u"pdf;*.*"_s, u"doc"_s, false}, // "*.*" counts only in front
    };
    for (const auto &[filter, extension, allowed] : cases) {
        Shared().UploadFilter = filter;
        Shared().AllowedExtensions = filter.split(u';');
        EXPECT_EQ(ExtensionAllowed(extension), allowed)
            << filter.toStdString() << " / " << extension.toStdString();
    }
}

TEST(FileTypes, ValidNames)
{
    const std::tuple<QString, QString, bool> cases[] = {
        {QString(64, u'a'), {}, true},      {QString(65, u'a'), {}, false},
        {QString(65, u'-'), u"-"_s, false}, {{}, {}, true},
        {u"LESSON_1"_s, {}, true},          {u"lesson 1"_s, {}, false},
        {u"lesson.1"_s, {}, false},         {u"lesson-1"_s, {}, false},
        {u"lesson\u00e9"_s, {}, false},     {u"Lens-less"_s, u"lesn-"_s, true},
        {u"lesson_1"_s, u"lesn"_s, false},
    };
    for (const auto &[name, characterSet, valid] : cases)
        EXPECT_EQ(IsValidName(name, characterSet), valid)
            << name.toStdString() << " in " << characterSet.toStdString();
}

TEST_F(SharedFileRules, TransferTypeWithoutClientCreatesNone)
{
    SetTransferTypeFor(u"page.htm"_s);
    EXPECT_EQ(Shared().FtpClient, nullptr);
}
