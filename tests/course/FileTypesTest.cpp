#include "support/VellixTest.h"

#include "course/FileTypes.h"
#include "course/SharedState.h"

#include <QSet>

using namespace Qt::StringLiterals;

TEST(FileTypes, ExtensionOfNameAndItsIconNumber)
{
    const struct
    {
        QString name;
        QString extension;
        qint16 index;
    } cases[] = {
        {u"notes"_s, {}, 1},
        {u"notes."_s, {}, 1},
        {u"photo.JPEG"_s, u"jpeg"_s, 1},
        {u"photo.jpg"_s, u"jpg"_s, 3},
        {u"Photo.GIF"_s, u"gif"_s, 3},
        {u"week.1.html"_s, u"html"_s, 6},
        {u"app.aspx"_s, u"aspx"_s, 23},
        {u".htaccess"_s, u"htaccess"_s, 1},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ExtensionOf(c.name), c.extension) << c.name.toStdString();
        EXPECT_EQ(FileTypeIndex(ExtensionOf(c.name)), c.index) << c.name.toStdString();
    }
}

TEST(FileTypes, EveryExtensionHasItsNumberAndImageKey)
{
    const struct
    {
        QString extensions;
        qint16 index;
        QString imageKey;
    } rows[] = {
        // clang-format off
        {u"pdf"_s, 2, u"pdf"_s},                    {u"jpg gif png cpt tif"_s, 3, u"gif"_s},
        {u"swf"_s, 4, u"swf"_s},                    {u"wav avi mpg mp3"_s, 5, u"avi"_s},
        {u"html htm"_s, 6, u"htm"_s},               {u"sql txt log ini js"_s, 7, u"txt"_s},
        {u"rtf doc"_s, 8, u"doc"_s},                {u"xls"_s, 9, u"xls"_s},
        {u"mdb"_s, 10, u"mdb"_s},                   {u"ppt"_s, 11, u"ppt"_s},
        {u"ace zip rar cab"_s, 12, u"zip"_s},       {u"jar"_s, 13, u"jar"_s},
        {u"bat"_s, 14, u"bat"_s},                   {u"bmp"_s, 15, u"bmp"_s},
        {u"cdr"_s, 16, u"cdr"_s},                   {u"wma asf wmv"_s, 17, u"asf"_s},
        {u"xml"_s, 18, u"xml"_s},                   {u"css"_s, 19, u"css"_s},
        {u"exe"_s, 20, u"exe"_s},                   {u"dll"_s, 21, u"dll"_s},
        {u"asp"_s, 22, u"asp"_s},                   {u"aspx"_s, 23, u"aspx"_s},
        {u"php"_s, 24, u"php"_s},                   {u"pl"_s, 25, u"pl"_s},
        {u"class"_s, 26, u"class"_s},               {u"cgi"_s, 27, u"cgi"_s},
        // clang-format on
        // Unknown, empty, or not in lower case.
        {u"PDF Jpg HTM jpeg htmls p  "_s, 1, u"file"_s},
    };
    for (const auto &row : rows) {
        for (const QString &extension : row.extensions.split(u' '))
            EXPECT_EQ(FileTypeIndex(extension), row.index) << extension.toStdString();
        EXPECT_EQ(FileTypeImageKey(row.index), row.imageKey) << row.index;
    }
    QSet<QString> keys;
    for (qint16 index = UnknownFileTypeIndex; index <= LastFileTypeIndex; ++index)
        keys.insert(FileTypeImageKey(index));
    EXPECT_EQ(keys.size(), LastFileTypeIndex - UnknownFileTypeIndex + 1);
    for (qint16 outside : {qint16(-1), qint16(0), qint16(LastFileTypeIndex + 1)})
        EXPECT_EQ(FileTypeImageKey(outside), u"file"_s) << outside;
}

// Rules that read or change the shared state.
class SharedFileRules : public VellixTest
{
};

TEST_F(SharedFileRules, UploadFilterLetsThroughWhatTheListAllows)
{
    EXPECT_FALSE(ExtensionAllowed(u"pdf"_s)) << "no list before the login data is loaded";

    const struct
    {
        QString filter;
        QString extension;
        bool allowed;
    } cases[] = {
        {u"*.*;"_s, u"exe"_s, true},
        {u"*.*;"_s, {}, true},
        {u"pdf;doc;"_s, u"pdf"_s, true},
        {u"pdf;doc;"_s, u"doc"_s, true},
        {u"pdf;doc;"_s, u"PDF"_s, false},
        {u"pdf;doc;"_s, u"txt"_s, false},
        {u"pdf;doc;"_s, {}, true}, // the filter's trailing ";" leaves an empty element
        {u"pdf;doc"_s, {}, false},
        {u"pdf;*.*"_s, u"doc"_s, false}, // "*.*" counts only in front
    };
    for (const auto &c : cases) {
        Shared().UploadFilter = c.filter;
        Shared().AllowedExtensions = c.filter.split(u';');
        EXPECT_EQ(ExtensionAllowed(c.extension), c.allowed)
            << c.filter.toStdString() << " / " << c.extension.toStdString();
    }
}

TEST(FileTypes, ValidNames)
{
    const struct
    {
        QString name;
        QString characterSet;
        bool valid;
    } cases[] = {
        {QString(64, u'a'), {}, true},      {QString(65, u'a'), {}, false},
        {QString(65, u'-'), u"-"_s, false}, {{}, {}, true},
        {u"LESSON_1"_s, {}, true},          {u"lesson 1"_s, {}, false},
        {u"lesson.1"_s, {}, false},         {u"lesson-1"_s, {}, false},
        {u"lesson\u00e9"_s, {}, false},     {u"Lens-less"_s, u"lesn-"_s, true},
        {u"lesson_1"_s, u"lesn"_s, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsValidName(c.name, c.characterSet), c.valid)
            << c.name.toStdString() << " in " << c.characterSet.toStdString();
}

TEST_F(SharedFileRules, TransferTypeWithoutClientCreatesNone)
{
    SetTransferTypeFor(u"page.htm"_s);
    EXPECT_EQ(Shared().FtpClient, nullptr);
}
