#include "lists/FileTypeIcons.h"

#include "course/FileTypes.h"
#include "operations/FileListModel.h"
#include "widgets/IconSet.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace FileTypeIcons {

namespace {

struct Kind
{
    QString iconName;
    QStringList extensions;
};

// The kinds of file that look alike, with the extensions of each.
const QHash<QString, QString> &iconNames()
{
    static const QHash<QString, QString> names = [] {
        const Kind kinds[] = {
            {u"application-pdf"_s, {u"pdf"_s}},
            {u"x-office-document"_s, {u"doc"_s, u"docx"_s, u"odt"_s, u"rtf"_s}},
            {u"x-office-spreadsheet"_s, {u"xls"_s, u"xlsx"_s, u"ods"_s, u"csv"_s}},
            {u"x-office-presentation"_s, {u"ppt"_s, u"pptx"_s, u"odp"_s, u"pps"_s}},
            {u"text-html"_s, {u"htm"_s, u"html"_s}},
            {u"image-x-generic"_s,
             {u"jpg"_s, u"jpeg"_s, u"gif"_s, u"png"_s, u"cpt"_s, u"tif"_s, u"tiff"_s, u"bmp"_s,
              u"cdr"_s, u"svg"_s, u"webp"_s}},
            {u"audio-x-generic"_s,
             {u"wav"_s, u"mp3"_s, u"wma"_s, u"mid"_s, u"ogg"_s, u"oga"_s, u"flac"_s, u"m4a"_s}},
            {u"video-x-generic"_s,
             {u"avi"_s, u"mpg"_s, u"mpeg"_s, u"mp4"_s, u"mov"_s, u"wmv"_s, u"asf"_s, u"swf"_s,
              u"mkv"_s, u"webm"_s, u"ogv"_s}},
            {u"package-x-generic"_s,
             {u"zip"_s, u"ace"_s, u"rar"_s, u"cab"_s, u"7z"_s, u"tar"_s, u"gz"_s, u"tgz"_s,
              u"bz2"_s, u"xz"_s}},
            {u"text-x-generic"_s, {u"txt"_s, u"sql"_s, u"log"_s, u"ini"_s}},
            {u"text-x-script"_s,
             {u"js"_s, u"pl"_s, u"cgi"_s, u"php"_s, u"asp"_s, u"aspx"_s, u"py"_s, u"sh"_s}},
            {u"text-xml"_s, {u"xml"_s, u"xsl"_s}},
            {u"text-css"_s, {u"css"_s}},
            {u"application-x-executable"_s, {u"exe"_s, u"bat"_s}},
            {u"application-x-sharedlib"_s, {u"dll"_s}},
            {u"application-x-java-archive"_s, {u"jar"_s}},
            {u"application-x-java"_s, {u"class"_s}},
            {u"application-vnd.oasis.opendocument.database"_s, {u"mdb"_s, u"odb"_s}},
        };
        QHash<QString, QString> byExtension;
        for (const Kind &kind : kinds) {
            for (const QString &extension : kind.extensions)
                byExtension.insert(extension, kind.iconName);
        }
        return byExtension;
    }();
    return names;
}

} // namespace

QIcon icon(int imageNumber, const QString &extension)
{
    // A mark differs from the type's own number; a type whose number is that of a mark
    // (dll, aspx, pl) shows its own picture, also while it is transferred.
    if (imageNumber != FileTypeIndex(extension)) {
        if (imageNumber == FileListModel::TransferringImage)
            return IconSet::icon(u"state-sync"_s);
        if (imageNumber == FileListModel::DownloadedImage ||
            imageNumber == FileListModel::UploadedImage)
            return IconSet::icon(u"state-ok"_s);
    }
    return IconSet::icon(iconNames().value(extension, u"application-octet-stream"_s));
}

} // namespace FileTypeIcons
