#include "widgets/IconSet.h"

#include <QApplication>
#include <QBuffer>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QPalette>
#include <QPixmap>
#include <QRegularExpression>

namespace {

const QString ThemeFolder = QStringLiteral(":/icons/vellixon");

// The files of each icon, by name: "16/mimetypes/application-pdf.svg" and its other sizes.
QHash<QString, QStringList> findFiles()
{
    QHash<QString, QStringList> files;
    QDirIterator found(ThemeFolder, {QStringLiteral("*.svg")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (found.hasNext()) {
        const QString path = found.next();
        files[QFileInfo(path).completeBaseName()].append(path);
    }
    return files;
}

// Registered once: the desktop's own theme stays the first place Qt looks for the icons it
// needs, ours the place it falls back to, unless the host chose a fallback of its own (ours
// inherits Qt's default one, hicolor).
void registerTheme()
{
    QStringList paths = QIcon::themeSearchPaths();
    const QString root = QStringLiteral(":/icons");
    if (!paths.contains(root)) {
        paths.append(root);
        QIcon::setThemeSearchPaths(paths);
    }
    const QString fallback = QIcon::fallbackThemeName();
    if (fallback.isEmpty() || fallback == QLatin1String("hicolor"))
        QIcon::setFallbackThemeName(IconSet::themeName());
}

// The drawing, its one-colour parts in the desktop's text colour. Breeze draws them in the class
// "ColorScheme-Text", whose colour its style sheet names; KDE paints them in the colour scheme's
// text colour, and so do we, or they would vanish on a dark desktop.
QByteArray drawing(const QString &path, const QColor &text)
{
    static const QRegularExpression textColour(
        QStringLiteral(R"((\.ColorScheme-Text\s*\{\s*color\s*:\s*)#[0-9A-Fa-f]{6})"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll())
        .replace(textColour, QStringLiteral("\\1") + text.name())
        .toUtf8();
}

// The drawing at its own size, and twice as large for screens of two device pixels to one. A
// selected row shows the drawing as it is: the style's tint for selected icons would sink the
// grey drawings into the selection's colour.
void addRenderings(QIcon &icon, const QString &path, const QColor &text)
{
    QByteArray svg = drawing(path, text);
    for (const int scale : {1, 2}) {
        QBuffer source(&svg);
        QImageReader reader(&source, "svg");
        const QSize size = reader.size();
        reader.setScaledSize(size * scale);
        QPixmap pixmap = QPixmap::fromImage(reader.read());
        if (pixmap.isNull())
            continue;
        pixmap.setDevicePixelRatio(scale);
        icon.addPixmap(pixmap);
        icon.addPixmap(pixmap, QIcon::Selected);
    }
}

} // namespace

QString IconSet::themeName()
{
    return QStringLiteral("vellixon");
}

QIcon IconSet::icon(const QString &name)
{
    static const QHash<QString, QStringList> files = [] {
        registerTheme();
        return findFiles();
    }();
    // Made once for each name and text colour: a desktop may change its colours while we run.
    static QHash<QString, QIcon> made;
    const QColor text = QApplication::palette().color(QPalette::WindowText);
    const QString key = name + text.name();
    if (const auto found = made.constFind(key); found != made.cend())
        return *found;
    QIcon picture;
    for (const QString &path : files.value(name))
        addRenderings(picture, path, text);
    made.insert(key, picture);
    return picture;
}
