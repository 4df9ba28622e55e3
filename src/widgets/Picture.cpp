#include "widgets/Picture.h"

#include <QFileInfo>
#include <QImageReader>

QPixmap Picture::forScale(const QString &resource, qreal scale)
{
    const QPixmap drawn(resource);
    if (scale <= 1 || drawn.isNull())
        return drawn;
    const QFileInfo picture(resource);
    const QString base = picture.path() + u'/' + picture.completeBaseName();
    for (const QString &twin : {base + QStringLiteral(".svg"), base + QStringLiteral("@2x.png")}) {
        QImageReader reader(twin);
        // A format that cannot draw at a size is scaled smoothly once read.
        reader.setScaledSize((QSizeF(drawn.size()) * scale).toSize());
        const QImage image = reader.read();
        if (image.isNull())
            continue;
        QPixmap sharp = QPixmap::fromImage(image);
        sharp.setDevicePixelRatio(scale);
        return sharp;
    }
    return drawn;
}
