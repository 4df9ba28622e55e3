#include "managers/FileTypeIcons.h"

#include "course/FileTypes.h"
#include "operations/FileListModel.h"

#include <QApplication>
#include <QHash>
#include <QStyle>

namespace FileTypeIcons {

namespace {

// The theme's name for each image key's kind of file.
QString themeName(const QString &key)
{
    static const QHash<QString, QString> names{
        {QStringLiteral("pdf"), QStringLiteral("application-pdf")},
        {QStringLiteral("gif"), QStringLiteral("image-x-generic")},
        {QStringLiteral("bmp"), QStringLiteral("image-x-generic")},
        {QStringLiteral("cdr"), QStringLiteral("image-x-generic")},
        {QStringLiteral("swf"), QStringLiteral("video-x-generic")},
        {QStringLiteral("avi"), QStringLiteral("video-x-generic")},
        {QStringLiteral("asf"), QStringLiteral("video-x-generic")},
        {QStringLiteral("wav"), QStringLiteral("audio-x-generic")},
        {QStringLiteral("htm"), QStringLiteral("text-html")},
        {QStringLiteral("asp"), QStringLiteral("text-html")},
        {QStringLiteral("aspx"), QStringLiteral("text-html")},
        {QStringLiteral("php"), QStringLiteral("text-html")},
        {QStringLiteral("txt"), QStringLiteral("text-x-generic")},
        {QStringLiteral("doc"), QStringLiteral("x-office-document")},
        {QStringLiteral("xls"), QStringLiteral("x-office-spreadsheet")},
        {QStringLiteral("mdb"), QStringLiteral("x-office-spreadsheet")},
        {QStringLiteral("ppt"), QStringLiteral("x-office-presentation")},
        {QStringLiteral("zip"), QStringLiteral("package-x-generic")},
        {QStringLiteral("jar"), QStringLiteral("package-x-generic")},
        {QStringLiteral("bat"), QStringLiteral("application-x-executable")},
        {QStringLiteral("exe"), QStringLiteral("application-x-executable")},
        {QStringLiteral("dll"), QStringLiteral("application-x-executable")},
        {QStringLiteral("xml"), QStringLiteral("text-x-script")},
        {QStringLiteral("css"), QStringLiteral("text-x-script")},
        {QStringLiteral("pl"), QStringLiteral("text-x-script")},
        {QStringLiteral("class"), QStringLiteral("text-x-script")},
        {QStringLiteral("cgi"), QStringLiteral("text-x-script")},
    };
    return names.value(key);
}

QIcon standard(QStyle::StandardPixmap pixmap)
{
    return QApplication::style()->standardIcon(pixmap);
}

} // namespace

QIcon icon(int imageNumber)
{
    static QHash<int, QIcon> made;
    if (const auto found = made.constFind(imageNumber); found != made.cend())
        return *found;
    QIcon picture;
    if (imageNumber == FileListModel::TransferringImage)
        picture = QIcon::fromTheme(QStringLiteral("emblem-synchronizing"),
                                   standard(QStyle::SP_BrowserReload));
    else if (imageNumber == FileListModel::DownloadedImage ||
             imageNumber == FileListModel::UploadedImage)
        picture = QIcon::fromTheme(QStringLiteral("emblem-default"),
                                   standard(QStyle::SP_DialogApplyButton));
    else
        picture = QIcon::fromTheme(themeName(FileTypeImageKey(qint16(imageNumber))),
                                   standard(QStyle::SP_FileIcon));
    made.insert(imageNumber, picture);
    return picture;
}

} // namespace FileTypeIcons
