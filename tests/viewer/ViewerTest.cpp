// The file viewer: local files in its embedded browser, shown as a browser shows them.
#include "support/VellixTest.h"

#include "course/CataloguePage.h"
#include "platform/DosPath.h"
#include "platform/Prefix.h"
#include "viewer/frmView.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>
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
        givenSwitches = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    }

    void SetUp() override
    {
        VellixTest::SetUp();
        writeFile(homePath(u"my pages/lesson 1.htm"_s),
                  "<title>Lesson one</title><script src=script.js></script>");
        writeFile(homePath(u"my pages/script.js"_s), "var lessonScript = 'ran';");
        openViewer();
    }

    // A new viewer window in place of the one before.
    void openViewer()
    {
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

    // The switches for the browser that the tests give, before a viewer started it.
    static inline QByteArray givenSwitches;
    std::unique_ptr<frmView> view;
    QWebEngineView *browser = nullptr;
};

// Pages, text and PDF as a browser shows them; a file that is not there leaves the window usable
// for the next.
TEST_F(ViewerTest, ShowsPagesTextAndPdfAsABrowserDoesAndSaysWhatIsNotThere)
{
    writeFile(homePath(u"my pages/notes.txt"_s), "Week 1: cells\nWeek 2: tissues \xc3\xbc");
    {
        QPdfWriter pdf(homePath(u"my pages/handout.pdf"_s));
        QPainter(&pdf).drawText(100, 100, u"Handout"_s);
    }
    const QString text = u"document.body.innerText"_s;
    // the file, whether it loads (no: the browser's own error page), a script and its answer
    const std::tuple<QString, bool, QString, QString> cases[] = {
        {u"H:\\my pages\\missing.htm"_s, false, {}, {}},
        // Its pictures and style sheets are the hostile page's.
        {Page, true, u"document.title + '|' + lessonScript"_s, u"Lesson one|ran"_s},
        {u"Q:\\lesson 1.htm"_s, true, text, u"The file \"Q:\\lesson 1.htm\" cannot be found."_s},
        {u"H:\\my pages\\notes.txt"_s, true, text, u"Week 1: cells\nWeek 2: tissues \u00fc"_s},
        {u"lesson <1>.htm"_s, true, text, u"The file \"lesson <1>.htm\" cannot be found."_s},
        // The browser's PDF viewer keeps the file; without it the file would be downloaded.
        {u"H:\\my pages\\handout.pdf"_s, true, u"document.contentType"_s, u"application/pdf"_s},
    };
    for (const auto &[dosPath, loads, script, expected] : cases) {
        SCOPED_TRACE(dosPath.toStdString());
        EXPECT_EQ(show(dosPath), loads);
        EXPECT_EQ(view->windowTitle(), u"View File - "_s + dosPath);
        const QString linuxPath = Platform::DosPath::toLinux(dosPath);
        if (QFileInfo::exists(linuxPath)) {
            // Under the viewer's own scheme: the page has no file:// origin.
            EXPECT_EQ(browser->url().scheme(), u"vellix-view"_s);
            EXPECT_EQ(browser->url().path(), linuxPath);
        }
        if (loads) {
            EXPECT_EQ(evaluate(script), expected);
        }
    }
    // On the offscreen screen, 800 wide, the window leaves room for its frame.
    EXPECT_LT(view->frameGeometry().width(), view->screen()->availableGeometry().width());
    // The viewer's switches for the browser go with its start: programs that the host starts
    // later (the desktop's browser among them) find the environment as it was.
    EXPECT_EQ(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), givenSwitches);
}

// A host that made its application before it loaded the library, as a plugin loader does.
// One that had started a browser of its own by then started it without the viewer's scheme
// and switches: the viewer shows no page rather than an unsealed one. The switches that a host
// gives the browser stay beside the viewer's.
TEST_F(ViewerTest, LibraryLoadedAfterTheApplicationShowsPagesSealedOrNotAtAll)
{
    // The page's title tells whether the browser took the host's switch.
    writeFile(homePath(u"my pages/gc.htm"_s), "<script>document.title = typeof gc</script>");
    const QString gcPage = u"H:\\my pages\\gc.htm"_s;
    // the page, the host's options, its QTWEBENGINE_CHROMIUM_FLAGS, the title the page shows
    const std::tuple<QString, QStringList, std::optional<QByteArray>, QByteArray> cases[] = {
        {Page, {}, "--disable-gpu", "Lesson one\n"},
        {Page,
         {u"--browser-first"_s},
         "--disable-gpu",
         "The file \"" + Page.toUtf8() +
             "\" cannot be shown: the program had started a browser of its own before it first "
             "opened the viewer.\n"},
        {gcPage,
         {},
         "--disable-gpu \"--js-flags=--allow-natives-syntax --expose-gc\"",
         "function\n"},
        {gcPage,
         {u"--webEngineArgs"_s, u"--disable-gpu"_s,
          u"--js-flags=--allow-natives-syntax --expose-gc"_s},
         std::nullopt,
         "function\n"},
    };
    for (const auto &[dosPath, options, switches, title] : cases) {
        SCOPED_TRACE((options.join(u' ') + u" | "_s + QString::fromUtf8(switches.value_or("unset")))
                         .toStdString());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (switches)
            environment.insert(u"QTWEBENGINE_CHROMIUM_FLAGS"_s, QString::fromUtf8(*switches));
        else
            environment.remove(u"QTWEBENGINE_CHROMIUM_FLAGS"_s);
        QProcess host;
        host.setProcessEnvironment(environment);
        host.start(QStringLiteral(VELLIX_LATE_HOST),
                   QStringList{QStringLiteral(VELLIX_LATE_PLUGIN), dosPath} + options);
        ASSERT_TRUE(host.waitForFinished(LoadWaitMs));
        EXPECT_EQ(host.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(host.exitCode(), 0) << host.readAllStandardError().toStdString();
        EXPECT_EQ(host.readAllStandardOutput(), title);
    }
}

// The hostile page beside this file: the listener hears nothing, the reads fail but for the
// page's own file, and the page still shows, with its companion files.
TEST_F(ViewerTest, PageReadsNothingBeyondItsFolderAndReachesNoNetwork)
{
    QTcpServer listener;
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost));
    QUdpSocket datagrams; // peer connections and WebTransport speak UDP
    ASSERT_TRUE(datagrams.bind(QHostAddress::LocalHost, listener.serverPort()));
    int heard = 0;
    QObject::connect(&listener, &QTcpServer::newConnection, [&] { ++heard; });
    QObject::connect(&datagrams, &QUdpSocket::readyRead, [&] { ++heard; });

    const QString ini = writeFile(Platform::Prefix::windowsFolder() + u"/Dovrelle.ini"_s,
                                  "[Login]\r\npassword=enciphered\r\n");
    writeFile(homePath(u"my pages/hostile_files/notes.txt"_s), "notes");
    writeFile(homePath(u"my pages/hostile_files/style.css"_s), "body { color: rgb(1, 2, 3) }");
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(Qt::red);
    picture.save(homePath(u"my pages/hostile_files/picture.png"_s));
    writeFile(homePath(u"my pages/hostile.htm"_s),
              readFile(QStringLiteral(VELLIX_HOSTILE_PAGE))
                  .replace("PORT", QByteArray::number(listener.serverPort()))
                  .replace("INI", ini.toUtf8()));

    ASSERT_EQ(show(u"H:\\my pages\\hostile.htm"_s), true);
    // The page marks itself done two seconds after it began.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return evaluate(u"document.body.dataset.done"_s) == u"yes"_s; }, 30000));
    QTest::qWait(500); // for anything still on its way

    EXPECT_EQ(heard, 0);
    EXPECT_EQ(evaluate(u"document.getElementById('reads').textContent"_s),
              u"fetch:refused ini-beside:refused ini:refused own:read passwd:refused "
              "worker:refused"_s);
    // Still the page, with its own picture and style sheet.
    EXPECT_EQ(browser->title(), u"Hostile"_s);
    EXPECT_EQ(evaluate(u"document.images[0].naturalWidth + '|' + "
                       "getComputedStyle(document.body).color"_s),
              u"3|rgb(1, 2, 3)"_s);
}

// Links lead to the files of the page's folder; any other link leaves the page where it is.
TEST_F(ViewerTest, LinksOpenFilesOfThePageFolderOnly)
{
    writeFile(homePath(u"my pages/lesson 1_files/next.htm"_s), "<title>Next</title>");
    writeFile(homePath(u"elsewhere.htm"_s), "<title>Elsewhere</title>");
    writeFile(homePath(u"my pages/links.htm"_s),
              "<title>Links</title><a id=next href='lesson 1_files/next.htm'>next</a>"
              "<a id=out href='../elsewhere.htm'>out</a>");
    // the link, the title shown after it; the page's network links are the hostile page's
    const std::pair<QString, QString> cases[] = {{u"out"_s, u"Links"_s}, {u"next"_s, u"Next"_s}};
    for (const auto &[link, title] : cases) {
        SCOPED_TRACE(link.toStdString());
        // A window of its own for each link: a navigation refused late may still cancel the
        // next load of the window.
        openViewer();
        ASSERT_EQ(show(u"H:\\my pages\\links.htm"_s), true);
        QSignalSpy loaded(browser, &QWebEngineView::loadFinished);
        evaluate(u"document.getElementById('%1').click()"_s.arg(link));
        loaded.wait(title == u"Links"_s ? 1000 : LoadWaitMs);
        EXPECT_EQ(browser->title(), title);
    }
}

// The catalogue's pop-up switch keeps the reader's choice in a cookie: used unticked, the page
// shows it unticked when it is loaded again; used ticked, ticked.
TEST_F(ViewerTest, CataloguePopUpSwitchKeepsTheReadersChoice)
{
    CataloguePage catalogue(
        {u"Spring Archive - Biology"_s, u"School - BIO"_s, u"A. Teacher"_s, u"(c)"_s});
    catalogue.AppendColumn(u"March_2007"_s, nullptr);
    writeFile(homePath(u"my pages/index.htm"_s), catalogue.Finish().toLatin1());
    writeFile(homePath(u"my pages/March_2007/a.htm"_s), "<title>a</title>");
    const QString index = u"H:\\my pages\\index.htm"_s;

    ASSERT_EQ(show(index), true);
    EXPECT_EQ(evaluate(u"document.f1.sp.checked"_s), u"true"_s); // no choice made yet
    for (const bool ticked : {false, true, false}) {
        SCOPED_TRACE(ticked);
        // Unticked, the link opens in the viewer itself: that load ends before the catalogue
        // is shown again, so that the two loads cannot be taken for each other.
        QSignalSpy linkShown(browser, &QWebEngineView::loadFinished);
        evaluate(u"document.f1.sp.checked = %1; doPopup('March_2007/a.htm')"_s.arg(
            ticked ? u"true"_s : u"false"_s));
        if (!ticked) {
            ASSERT_TRUE(linkShown.count() > 0 || linkShown.wait(LoadWaitMs));
            EXPECT_EQ(evaluate(u"document.title"_s), u"a"_s);
        }
        ASSERT_EQ(show(index), true);
        EXPECT_EQ(evaluate(u"document.f1.sp.checked"_s), ticked ? u"true"_s : u"false"_s);
    }
}
