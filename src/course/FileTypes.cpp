#include "course/FileTypes.h"

#include "course/SharedState.h"
#include "transport/cFTP.h"

#include <QStringList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// One row of the list windows' file types: the extensions that share a picture.
struct FileType
{
    QStringList extensions;
    qint16 index;
    QString imageKey;
};

constexpr qsizetype LongestName = 64;

// Searched in this order; the first row that holds the extension wins.
const QList<FileType> &fileTypes()
{
    static const QList<FileType> types = {
        {{u"pdf"_s}, 2, u"pdf"_s},
        {{u"jpg"_s, u"gif"_s, u"png"_s, u"cpt"_s, u"tif"_s}, 3, u"gif"_s},
        {{u"swf"_s}, 4, u"swf"_s},
        {{u"wav"_s, u"avi"_s, u"mpg"_s, u"mp3"_s}, 5, u"avi"_s},
        {{u"html"_s, u"htm"_s}, 6, u"htm"_s},
        {{u"sql"_s, u"txt"_s, u"log"_s, u"ini"_s, u"js"_s}, 7, u"txt"_s},
        {{u"rtf"_s, u"doc"_s}, 8, u"doc"_s},
        {{u"xls"_s}, 9, u"xls"_s},
        {{u"mdb"_s}, 10, u"mdb"_s},
        {{u"ppt"_s}, 11, u"ppt"_s},
        {{u"ace"_s, u"zip"_s, u"rar"_s, u"cab"_s}, 12, u"zip"_s},
        {{u"jar"_s}, 13, u"jar"_s},
        {{u"bat"_s}, 14, u"bat"_s},
        {{u"bmp"_s}, 15, u"bmp"_s},
        {{u"cdr"_s}, 16, u"cdr"_s},
        {{u"wma"_s, u"asf"_s, u"wmv"_s}, 17, u"asf"_s},
        {{u"xml"_s}, 18, u"xml"_s},
        {{u"css"_s}, 19, u"css"_s},
        {{u"exe"_s}, 20, u"exe"_s},
        {{u"dll"_s}, 21, u"dll"_s},
        {{u"asp"_s}, 22, u"asp"_s},
        {{u"aspx"_s}, 23, u"aspx"_s},
        {{u"php"_s}, 24, u"php"_s},
        {{u"pl"_s}, 25, u"pl"_s},
        {{u"class"_s}, 26, u"class"_s},
        {{u"cgi"_s}, 27, u"cgi"_s},
    };
    return types;
}

const QString &defaultCharacterSet()
{
    static const QString set = u"abcdefghijklmnopqrstuvwxyz_0123456789"_s;
    return set;
}

} // namespace

QString ExtensionOf(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? QString() : fileName.mid(dot + 1).toLower();
}

qint16 FileTypeIndex(const QString &extension)
{
    for (const FileType &type : fileTypes()) {
        if (type.extensions.contains(extension))
            return type.index;
    }
    return UnknownFileTypeIndex;
}

QString FileTypeImageKey(qint16 index)
{
    for (const FileType &type : fileTypes()) {
        if (type.index == index)
            return type.imageKey;
    }
    return u"file"_s;
}

bool ExtensionAllowed(const QString &extension)
{
    const QStringList &allowed = Shared().AllowedExtensions;
    if (allowed.isEmpty())
        return false;
    return allowed.constFirst() == QLatin1String("*.*") || allowed.contains(extension);
}

bool IsValidName(const QString &name, const QString &characterSet)
{
    const QString lowerName = name.toLower();
    if (lowerName.size() > LongestName)
        return false;
    const QString &set = characterSet.isEmpty() ? defaultCharacterSet() : characterSet;
    return std::all_of(lowerName.cbegin(), lowerName.cend(),
                       [&set](QChar character) { return set.contains(character); });
}

bool IsFolderReference(const QString &name)
{
    return name == QLatin1String(".") || name == QLatin1String("..");
}

void SetTransferTypeFor(const QString & /*fileName*/)
{
    if (cFTP *client = Shared().FtpClient.get())
        client->SetTransferBinary();
}
