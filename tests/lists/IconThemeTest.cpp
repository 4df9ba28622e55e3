// The windows' pictures come from the program's own icon theme: each kind of file has a picture
// of its own, every tool button has one, and they look the same on a bare display as under a
// desktop theme that has pictures of the same names.

#include "support/DarkPalette.h"
#include "support/VellixTest.h"

#include "chooser/frmDir.h"
#include "course/FileTypes.h"
#include "lists/FileTypeIcons.h"
#include "lists/frmServer.h"
#include "lists/frmServerUp.h"
#include "operations/FileListModel.h"
#include "widgets/Picture.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QToolButton>

#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

// One extension of each kind of file (which extensions a kind holds is the icons' table), the
// last of no kind.
const QStringList KindSamples = {u"pdf"_s,   u"doc"_s, u"xls"_s, u"ppt"_s,    u"htm"_s,
                                 u"jpg"_s,   u"wav"_s, u"avi"_s, u"zip"_s,    u"txt"_s,
                                 u"xml"_s,   u"css"_s, u"exe"_s, u"dll"_s,    u"jar"_s,
                                 u"class"_s, u"mdb"_s, u"php"_s, u"unknown"_s};

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
    for (const QString &extension : KindSamples) {
        const QImage picture = lookOf([&] { return typeIcon(extension); });
        // A selected row shows the picture as it is, not sunk into the selection's colour.
        EXPECT_EQ(rendered(typeIcon(extension), 16, QIcon::Selected), picture)
            << extension.toStdString();
        EXPECT_FALSE(kindPictures.contains(picture)) << extension.toStdString();
        kindPictures.append(picture);
    }
    // Extensions are told apart in lower case only, as the types are.
    for (const QString &extension : {QString(), u"JPG"_s})
        EXPECT_EQ(rendered(typeIcon(extension)), kindPictures.last()) << extension.toStdString();
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

// On a dark desktop every tool button's picture stands out from the window, as Breeze's red
// pictures do on Breeze Dark: its one-colour drawings take the desktop's text colour.
TEST_F(IconThemeTest, ToolButtonPicturesStandOutOnADarkDesktop)
{
    const DarkPalette dark;
    const QColor window = QApplication::palette().color(QPalette::Window);
    const frmServer lists;
    for (int index = 1; index <= FileListWindow::AboutButton; ++index) {
        QImage picture(22, 22, QImage::Format_RGB32);
        picture.fill(window);
        QPainter(&picture).drawImage(0, 0, rendered(lists.button(index)->icon(), 22));
        double best = 1;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x)
                best = std::max(best, DarkPalette::contrast(picture.pixelColor(x, y), window));
        }
        EXPECT_GE(best, 2.5) << "button " << index;
    }
}

// On a screen of scale 2 the control's own pictures are drawn at twice their pixels, with edges
// as sharp as at scale 1 (the menu's white bar meets the blue without a blended row), not
// enlarged from their pixels; at scale 1 they are the pictures as drawn.
TEST(PictureTest, PicturesAreDrawnSharpAtTheScreensScale)
{
    const struct
    {
        const char *resource;
        qreal scale;
        QSize pixels;
    } cases[] = {{":/vellixon/menu.png", 1, {24, 24}},
                 {":/vellixon/menu.png", 2, {48, 48}},
                 {":/vellixon/lock.png", 1.5, {24, 24}},
                 {":/vellixon/vellixon.png", 2, {96, 96}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.resource);
        const QPixmap picture = Picture::forScale(QString::fromLatin1(c.resource), c.scale);
        EXPECT_EQ(picture.size(), c.pixels);
        EXPECT_EQ(picture.devicePixelRatio(), c.scale);
    }
    const QImage menu = Picture::forScale(u":/vellixon/menu.png"_s, 2).toImage();
    EXPECT_EQ(QColor(menu.pixel(24, 13)), QColor(0x2b, 0x5f, 0xa8));
    EXPECT_EQ(QColor(menu.pixel(24, 14)), QColor(Qt::white));
}
