// The file viewer: local files in its embedded browser, shown as a browser shows them.
#include "support/VellixTest.h"

#include "host/ScriptWindow.h"
#include "platform/DosPath.h"
#include "viewer/frmView.h"

#include <QEventLoop>
#include <QImage>
#include <QJSEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QSignalSpy>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// The browser starts a helper process on first use; a busy machine may take long for it.
constexpr int LoadWaitMs = 120000;

const QString Page = u"H:\\my pages\\lesson 1.htm"_s;

} // namespace

class ViewerTest : public VellixTest
{
protected:
    static void SetUpTestSuite()
    {
        // Software compositing whatever the platform: the tests need no graphics card.
        if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
            qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    }

    void SetUp() override
    {
        VellixTest::SetUp();
        writeFile(homePath(u"my pages/lesson 1.htm"_s),
                  "<html><head><title>Lesson one</title><link rel=stylesheet href=style.css>"
                  "<script src=script.js></script></head>"
                  "<body><img src=picture.png></body></html>");
        writeFile(homePath(u"my pages/style.css"_s), "body { color: rgb(1, 2, 3) }");
        writeFile(homePath(u"my pages/script.js"_s), "var lessonScript = 'ran';");
        QImage picture(3, 2, QImage::Format_RGB32);
        picture.fill(Qt::red);
        picture.save(homePath(u"my pages/picture.png"_s));
        view = std::make_unique<frmView>();
        browser = view->findChild<QWebEngineView *>(u"wb1"_s);
        ASSERT_TRUE(browser);
        view->show();
    }

    // Shows the file and waits until the browser has loaded it: whether that went well. The
    // waits run an event loop without pauses: the browser takes many turns of it to load.
    std::optional<bool> show(const QString &dosPath)
    {
        QSignalSpy finished(browser, &QWebEngineView::loadFinished);
        view->setFileToView(dosPath);
        if (!finished.wait(LoadWaitMs))
            return std::nullopt;
        return finished.first().first().toBool();
    }

    // What a script in the shown page gives back, as text.
    QString evaluate(const QString &script)
    {
        auto result = std::make_shared<QString>(u"(no answer)"_s);
        QEventLoop loop;
        QTimer::singleShot(LoadWaitMs, &loop, &QEventLoop::quit);
        browser->page()->runJavaScript(script, [result, &loop](const QVariant &value) {
            *result = value.toString();
            loop.quit();
        });
        loop.exec();
        return *result;
    }

    std::unique_ptr<frmView> view;
    QWebEngineView *browser = nullptr;
};

TEST_F(ViewerTest, ShowsPagesTextAndPdfAsABrowserDoes)
{
    writeFile(homePath(u"my pages/notes.txt"_s), "Week 1: cells\nWeek 2: tissues \xc3\xbc");
    {
        QPdfWriter pdf(homePath(u"my pages/handout.pdf"_s));
        QPainter(&pdf).drawText(100, 100, u"Handout"_s);
    }
    struct Case
    {
        QString dosPath;
        QString script;
        QString expected;
    };
    const Case cases[] = {
        {Page,
         u"[document.title, getComputedStyle(document.body).color, lessonScript,"
         " document.images[0].naturalWidth].join('|')"_s,
         u"Lesson one|rgb(1, 2, 3)|ran|3"_s},
        {u"H:\\my pages\\notes.txt"_s, u"document.body.innerText"_s,
         u"Week 1: cells\nWeek 2: tissues \u00fc"_s},
        // The browser's PDF viewer keeps the file; without it the file would be downloaded.
        {u"H:\\my pages\\handout.pdf"_s, u"document.contentType"_s, u"application/pdf"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.dosPath.toStdString());
        EXPECT_EQ(show(c.dosPath), true);
        EXPECT_EQ(view->windowTitle(), u"View File - "_s + c.dosPath);
        EXPECT_EQ(browser->url(), QUrl::fromLocalFile(Platform::DosPath::toLinux(c.dosPath)));
        EXPECT_EQ(evaluate(c.script), c.expected);
    }
}

TEST_F(ViewerTest, FileThatIsNotThereLeavesTheWindowUsable)
{
    struct Case
    {
        QString dosPath;
        bool loads; // false: the browser's own error page
        QString text;
    };
    const Case cases[] = {
        {u"H:\\my pages\\missing.htm"_s, false, {}},
        {u"Q:\\lesson 1.htm"_s, true, u"The file \"Q:\\lesson 1.htm\" cannot be found."_s},
        {u"lesson <1>.htm"_s, true, u"The file \"lesson <1>.htm\" cannot be found."_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.dosPath.toStdString());
        EXPECT_EQ(show(c.dosPath), c.loads);
        EXPECT_EQ(view->windowTitle(), u"View File - "_s + c.dosPath);
        if (!c.text.isEmpty()) {
            EXPECT_EQ(evaluate(u"document.body.innerText"_s), c.text);
        }
        EXPECT_EQ(show(Page), true);
        EXPECT_EQ(browser->title(), u"Lesson one"_s);
    }
}

// A script of the host meets the window by its name and reads the browser by its own.
TEST_F(ViewerTest, HostScriptReadsTheModalWindow)
{
    view->hide();
    view->setFileToView(Page);
    QJSEngine engine;
    engine.globalObject().setProperty(u"win"_s,
                                      engine.newQObject(new ScriptWindow(view.get(), &engine)));
    QSignalSpy loaded(browser, &QWebEngineView::loadFinished);
    QString seen;
    QTimer::singleShot(0, view.get(), [&] {
        if (loaded.wait(LoadWaitMs))
            seen = engine.evaluate(u"win.name + '|' + win.caption + '|' + win.find('wb1').title"_s)
                       .toString();
        engine.evaluate(u"win.close()"_s);
    });
    view->exec();
    EXPECT_EQ(seen, u"frmView|View File - "_s + Page + u"|Lesson one"_s);
}

// A host that made its application before it loaded the library, as a plugin loader does.
TEST_F(ViewerTest, LibraryLoadedAfterTheApplicationShowsPages)
{
    QProcess host;
    host.start(QStringLiteral(VELLIX_LATE_HOST), {QStringLiteral(VELLIX_LATE_PLUGIN), Page});
    ASSERT_TRUE(host.waitForFinished(LoadWaitMs));
    EXPECT_EQ(host.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(host.exitCode(), 0) << host.readAllStandardError().toStdString();
    EXPECT_EQ(host.readAllStandardOutput(), "Lesson one\n");
}
