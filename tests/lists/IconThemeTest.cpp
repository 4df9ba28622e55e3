// The windows' pictures come from the program's own icon theme: each kind of file has a picture
// of its own, every tool button has one, and they look the same on a bare display as under a
// desktop theme that has pictures of the same names.

#include "support/VellixTest.h"

#include "chooser/frmDir.h"
#include "course/FileTypes.h"
#include "lists/FileTypeIcons.h"
#include "lists/frmServer.h"
#include "lists/frmServerUp.h"
#include "operations/FileListModel.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QListWidget>
#include <QToolButton>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// A sample of each kind of file; the kinds differ from each other, the samples of one kind
// share a picture.
const QList<QStringList> Kinds = {
    {u"pdf"_s},
    {u"doc"_s, u"docx"_s, u"odt"_s, u"rtf"_s},
    {u"xls"_s, u"xlsx"_s, u"ods"_s},
    {u"ppt"_s, u"pptx"_s, u"odp"_s},
    {u"htm"_s, u"html"_s},
    {u"jpg"_s, u"jpeg"_s, u"gif"_s, u"png"_s, u"bmp"_s, u"tif"_s},
    {u"wav"_s, u"mp3"_s, u"wma"_s},
    {u"avi"_s, u"mpg"_s, u"wmv"_s, u"mp4"_s},
    {u"zip"_s, u"rar"_s, u"cab"_s, u"ace"_s},
    {u"txt"_s, u"log"_s, u"sql"_s, u"ini"_s},
    {u"xml"_s},
    {u"css"_s},
    {u"exe"_s, u"bat"_s},
    {u"dll"_s},
    {u"jar"_s},
    {u"class"_s},
    {u"mdb"_s},
    {u"php"_s, u"pl"_s, u"cgi"_s, u"asp"_s, u"aspx"_s, u"js"_s},
    {u""_s, u"unknown"_s, u"JPG"_s},
};

QImage rendered(const QIcon &icon, int size = 16, QIcon::Mode mode = QIcon::Normal)
{
    return icon.pixmap(size, mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

// A picture that shows nothing: every pixel alike (transparent, or one plain square).
bool blank(const QImage &image)
{
    QImage plain(image.size(), image.format());
    plain.fill(image.pixel(0, 0));
    return image == plain;
}

QIcon typeIcon(const QString &extension)
{
    return FileTypeIcons::icon(FileTypeIndex(extension), extension);
}

} // namespace

class IconThemeTest : public VellixTest
{
protected:
    void SetUp() override
    {
        VellixTest::SetUp();
        m_searchPaths = QIcon::themeSearchPaths();
        m_themeName = QIcon::themeName();
        m_fallbackThemeName = QIcon::fallbackThemeName();
        writeDesktopTheme();
    }

    void TearDown() override
    {
        QIcon::setThemeSearchPaths(m_searchPaths);
        QIcon::setThemeName(m_themeName);
        QIcon::setFallbackThemeName(m_fallbackThemeName);
        VellixTest::TearDown();
    }

    // A desktop's theme, "desk": a plain red square under every name the windows use.
    void writeDesktopTheme()
    {
        const QString folder = tempPath(u"themes/desk/"_s);
        writeFile(folder + u"index.theme"_s,
                  "[Icon Theme]\nName=desk\nDirectories=any\n\n"
                  "[any]\nSize=16\nType=Scalable\nMinSize=1\nMaxSize=512\n");
        QDir().mkpath(folder + u"any"_s);
        QImage square(16, 16, QImage::Format_ARGB32);
        square.fill(Qt::red);
        QDirIterator names(u":/icons/vellixon"_s, {u"*.svg"_s}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (names.hasNext())
            square.save(folder + u"any/"_s + QFileInfo(names.next()).completeBaseName() +
                        u".png"_s);
    }

    // What a picture looks like under the desktop's theme, and on a display with no theme
    // at all; each must show something, and the two must agree.
    QImage lookOf(const std::function<QIcon()> &picture, int size = 16)
    {
        QIcon::setThemeSearchPaths({tempPath(u"themes"_s)});
        QIcon::setThemeName(u"desk"_s);
        const QImage underDesktop = rendered(picture(), size);
        QIcon::setThemeSearchPaths({});
        QIcon::setThemeName(u"none"_s);
        QIcon::setFallbackThemeName(u"none"_s);
        const QImage bare = rendered(picture(), size);
        EXPECT_FALSE(blank(bare));
        EXPECT_EQ(underDesktop, bare);
        return bare;
    }

private:
    QStringList m_searchPaths;
    QString m_themeName;
    QString m_fallbackThemeName;
};

TEST_F(IconThemeTest, EachKindOfFileAndTransferMarkHasAPictureOfItsOwnOnAnyDesktop)
{
    QList<QImage> kindPictures;
    for (const QStringList &kind : Kinds) {
        const QImage first = lookOf([&] { return typeIcon(kind.first()); });
        for (const QString &extension : kind)
            EXPECT_EQ(rendered(typeIcon(extension)), first) << extension.toStdString();
        // A selected row shows the picture as it is, not sunk into the selection's colour.
        EXPECT_EQ(rendered(typeIcon(kind.first()), 16, QIcon::Selected), first)
            << kind.first().toStdString();
        EXPECT_FALSE(kindPictures.contains(first)) << kind.first().toStdString();
        kindPictures.append(first);
    }
    // Every number of the lists' image table has a picture.
    for (qint16 number = UnknownFileTypeIndex; number <= LastFileTypeIndex; ++number)
        EXPECT_FALSE(blank(rendered(FileTypeIcons::icon(number, FileTypeImageKey(number)))));

    // A transfer marks its row with a picture of its own until the row shows its type again;
    // uploaded and downloaded look alike. A type whose number is that of a mark keeps its own.
    for (const int mark : {FileListModel::TransferringImage, FileListModel::DownloadedImage}) {
        const QImage picture = lookOf([mark] { return FileTypeIcons::icon(mark, u"pdf"_s); });
        EXPECT_FALSE(kindPictures.contains(picture)) << mark;
        kindPictures.append(picture);
    }
    EXPECT_EQ(rendered(FileTypeIcons::icon(FileListModel::UploadedImage, u"pdf"_s)),
              kindPictures.last());
    EXPECT_EQ(rendered(FileTypeIcons::icon(FileListModel::TransferringImage, u"dll"_s)),
              rendered(typeIcon(u"dll"_s)));
}

TEST_F(IconThemeTest, EveryToolButtonOfTheListsAndTheChooserHasAPictureOnAnyDesktop)
{
    for (const auto &makeWindow : std::initializer_list<std::function<FileListWindow *()>>{
             [] { return new frmServer; }, [] { return new frmServerUp; }}) {
        QList<QImage> pictures;
        for (int index = 1; index <= FileListWindow::AboutButton; ++index) {
            const QImage picture = lookOf(
                [&] {
                    const std::unique_ptr<FileListWindow> window(makeWindow());
                    return window->button(index)->icon();
                },
                22);
            EXPECT_FALSE(pictures.contains(picture)) << "button " << index;
            pictures.append(picture);
        }
    }
    for (const char *name : {"imgUp", "imgRen", "imgDel", "imgView"}) {
        lookOf(
            [name] {
                return frmDir(nullptr).findChild<QToolButton *>(QLatin1String(name))->icon();
            },
            22);
    }
    lookOf([] {
        const frmDir chooser(nullptr);
        return chooser.findChild<QListWidget *>(u"Dir1"_s)->item(0)->icon();
    });
}
