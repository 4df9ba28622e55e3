#include "transport/PageNames.h"

#include "platform/Windows1252.h"

#include <QList>

#include <algorithm>

namespace PageNames {

namespace {

const QLatin1String FolderSuffix("_files");
const QLatin1Char Blank(' ');
const QLatin1Char Underscore('_');

// The text after the last "\\" or "/".
QString lastComponent(const QString &path)
{
    const qsizetype separator =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(separator + 1);
}

// Index of the "." that starts the extension; -1 when the last component holds none. Dots
// of folder names are no extension: "C:\v1.2\notes" has none.
qsizetype extensionDot(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype separator =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return dot > separator ? dot : -1;
}

// The forms in which a page may name its companion folder: as UTF-8 or in the Windows code
// page.
QList<QByteArray> namedForms(const QString &name)
{
    QList<QByteArray> forms{name.toUtf8()};
    if (std::all_of(name.begin(), name.end(), Platform::Windows1252::canEncode)) {
        const QByteArray codePage = Platform::Windows1252::encodeWithCharacterReferences(name);
        if (codePage != forms.first())
            forms.append(codePage);
    }
    return forms;
}

} // namespace

QString extension(const QString &path)
{
    const qsizetype dot = extensionDot(path);
    return dot < 0 ? QString() : path.mid(dot + 1).toLower();
}

bool isPage(const QString &path)
{
    return extension(path) == QLatin1String("htm");
}

bool isSecurePage(const QString &path)
{
    return path.right(4).toLower() == QLatin1String(".htm");
}

QString withoutExtension(const QString &path)
{
    const qsizetype dot = extensionDot(path);
    return dot < 0 ? path : path.left(dot);
}

QString localFolder(const QString &localPage)
{
    return withoutExtension(localPage) + FolderSuffix;
}

QString localFolderName(const QString &localPage)
{
    return lastComponent(localFolder(localPage));
}

QString uploadFolderName(const QString &localFolder)
{
    QString name = localFolder.mid(localFolder.lastIndexOf(QLatin1Char('\\')) + 1);
    return name.replace(Blank, Underscore).remove(QLatin1Char('\''));
}

QString serverFolder(const QString &remotePage)
{
    QString folder = withoutExtension(remotePage) + FolderSuffix;
    return folder.replace(Blank, Underscore);
}

QString downloadFolderName(const QString &remotePage)
{
    return lastComponent(serverFolder(remotePage));
}

bool staysBehind(const QString &fileName)
{
    return fileName.contains(QLatin1String(".db"), Qt::CaseInsensitive);
}

QString serverParent(const QString &remotePage)
{
    const qsizetype slash = remotePage.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? remotePage : remotePage.left(slash);
}

void rewriteFolderName(QByteArray &page, const QString &oldName, const QString &newName)
{
    const QList<QByteArray> oldForms = namedForms(oldName);
    const QList<QByteArray> newForms = namedForms(newName);
    for (qsizetype i = 0; i < oldForms.size() && i < newForms.size(); ++i) {
        page.replace(oldForms.at(i), newForms.at(i));
        QByteArray linkForm = oldForms.at(i);
        page.replace(linkForm.replace(' ', "%20"), newForms.at(i));
    }
}

} // namespace PageNames
