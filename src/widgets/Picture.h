#pragma once

#include <QPixmap>
#include <QString>

// The library's own pictures (":/vellixon/lock.png") are drawn for a scale of 1. Enlarged pixel
// by pixel on a screen of a higher scale they look blurred, so there a picture is drawn from its
// vector twin (the same name ending in ".svg") at the screen's scale, or shrunk from its larger
// twin ("@2x.png"), where it has one.
class Picture
{
public:
    // The picture for a screen of that scale (a device pixel ratio), at the picture's own size
    // in device-independent pixels.
    static QPixmap forScale(const QString &resource, qreal scale);
};
