// The viewer inside a plugin: shows the file and prints the title of what it shows.
#include "viewer/frmView.h"

#include <QEventLoop>
#include <QWebEngineView>

#include <cstdio>

extern "C" Q_DECL_EXPORT int showTitle(const char *dosPath)
{
    frmView view;
    auto *browser = view.findChild<QWebEngineView *>(QStringLiteral("wb1"));
    QEventLoop loop;
    QObject::connect(browser, &QWebEngineView::loadFinished, &loop, &QEventLoop::exit);
    view.setFileToView(QString::fromUtf8(dosPath));
    view.show();
    if (loop.exec() != 1)
        return 1;
    std::printf("%s\n", qPrintable(browser->title()));
    return 0;
}
