// The file viewer: local files in its embedded browser, shown as a browser shows them.
#include "support/VellixTest.h"
#include "support/WindowWatch.h"

#include "course/CataloguePage.h"
#include "host/ScriptWindow.h"
#include "platform/DosPath.h"
#include "platform/Prefix.h"
#include "viewer/frmView.h"

#include <QEventLoop>
#include <QImage>
#include <QJSEngine>
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

// A page that tries every way out: reading files near and far, and reaching a listener on
// loopback (PORT) by every kind of request, socket, form, navigation, worker and peer
// connection, the last from frames of every kind too. It writes what its reads gave into #reads,
// and marks the body done at the end, after its attempts to leave.
const char HostilePage[] = R"(<html><head><title>Hostile</title>
<link rel=stylesheet href="hostile_files/style.css">
<link rel=stylesheet href="http://127.0.0.1:PORT/style">
<link rel=prefetch href="http://127.0.0.1:PORT/prefetch">
<link rel=preconnect href="http://127.0.0.1:PORT/">
<meta http-equiv=refresh content="1;url=http://127.0.0.1:PORT/refresh">
</head><body>
<img src="hostile_files/picture.png"><img src="http://127.0.0.1:PORT/picture">
<iframe src="ftp://127.0.0.1:PORT/frame"></iframe>
<form name=out method=post action="http://127.0.0.1:PORT/form"><input name=a value=b></form>
<div id=reads></div>
<script>
var reads = [];
function note(text) {
    reads.push(text);
    document.getElementById('reads').textContent = reads.sort().join(' ');
}
function read(name, url) {
    try {
        var request = new XMLHttpRequest();
        request.open('GET', url, false);
        request.send();
        note(name + (request.status === 200 || request.responseText ? ':read' : ':refused'));
    } catch (e) {
        note(name + ':refused');
    }
}
function attempt(route) {
    try { route(); } catch (e) {}
}
read('passwd', 'file:///etc/passwd');
read('ini', 'file://INI');
read('ini-beside', '../../prefix/drive_c/windows/Dovrelle.ini');
read('own', 'hostile_files/notes.txt');
fetch('file:///etc/passwd').then(function () { note('fetch:read'); },
                                 function () { note('fetch:refused'); });
attempt(function () {
    var worker = new SharedWorker(URL.createObjectURL(new Blob([
        "onconnect = function (e) { var port = e.ports[0];"
        + "fetch('file:///etc/passwd').then(function () { port.postMessage('worker:read'); },"
        + " function () { port.postMessage('worker:refused'); });"
        + "fetch('http://127.0.0.1:PORT/worker', {mode: 'no-cors'}); };"])));
    worker.port.onmessage = function (e) { note(e.data); };
});
attempt(function () { new WebSocket('ws://127.0.0.1:PORT/socket'); });
attempt(function () { fetch('http://127.0.0.1:PORT/fetch', {mode: 'no-cors'}).catch(function () {}); });
attempt(function () { navigator.sendBeacon('http://127.0.0.1:PORT/beacon', 'secret'); });
attempt(function () { new EventSource('http://127.0.0.1:PORT/events'); });
attempt(function () { window.open('http://127.0.0.1:PORT/window'); });
attempt(function () { new WebTransport('https://127.0.0.1:PORT/transport').ready.catch(function () {}); });
// A peer connection asks a relay server (TURN over TCP and UDP, STUN); a pair of them offer
// each other the listener's address as a candidate, over UDP and TCP.
function peer(w) {
    var relay = new w.RTCPeerConnection({iceServers: [
        {urls: ['turn:127.0.0.1:PORT?transport=tcp', 'turn:127.0.0.1:PORT?transport=udp'],
         username: 'secret', credential: 'x'},
        {urls: 'stun:127.0.0.1:PORT'}]});
    relay.createDataChannel('out');
    relay.createOffer().then(function (offer) { relay.setLocalDescription(offer); });
    var caller = new w.RTCPeerConnection();
    var callee = new w.RTCPeerConnection();
    caller.createDataChannel('out');
    caller.createOffer().then(function (offer) {
        caller.setLocalDescription(offer);
        return callee.setRemoteDescription(offer);
    }).then(function () { return callee.createAnswer(); })
      .then(function (answer) { return callee.setLocalDescription(answer); })
      .then(function () {
        ['udp 2122260223 127.0.0.1 PORT typ host',
         'tcp 1518280447 127.0.0.1 PORT typ host tcptype passive'].forEach(function (c, i) {
            callee.addIceCandidate({candidate: 'candidate:' + i + ' 1 ' + c, sdpMid: '0'});
        });
    }).catch(function () {});
}
function frameIn(doc) {
    var frame = doc.createElement('iframe');
    doc.body.appendChild(frame);
    return frame;
}
// From the page, and from frames of every kind: empty, found by index, made by markup,
// nested, written into, from srcdoc, an object's about:blank.
attempt(function () { peer(window); });
attempt(function () { peer(frameIn(document).contentWindow); });
attempt(function () { frameIn(document); peer(window[window.length - 1]); });
attempt(function () {
    var holder = document.createElement('div');
    holder.innerHTML = '<iframe></iframe>';
    document.body.appendChild(holder);
    peer(holder.firstChild.contentWindow);
});
attempt(function () { peer(frameIn(frameIn(document).contentDocument).contentWindow); });
attempt(function () {
    var child = frameIn(document).contentDocument;
    child.open();
    child.write('<script>parent.peer(window)<\/script>');
    child.close();
});
attempt(function () {
    var frame = document.createElement('iframe');
    frame.srcdoc = '<script>parent.peer(window)<\/script>';
    frame.onload = function () { attempt(function () { peer(frame.contentWindow); }); };
    document.body.appendChild(frame);
});
attempt(function () {
    var object = document.createElement('object');
    object.type = 'text/html';
    object.data = 'about:blank';
    object.onload = function () { attempt(function () { peer(object.contentWindow); }); };
    document.body.appendChild(object);
});
setTimeout(function () { document.forms.out.submit(); }, 300);
setTimeout(function () { location.href = 'http://127.0.0.1:PORT/location'; }, 600);
setTimeout(function () { document.body.dataset.done = 'yes'; }, 2000);
</script></body></html>)";

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
                  "<html><head><title>Lesson one</title><link rel=stylesheet href=style.css>"
                  "<script src=script.js></script></head>"
                  "<body><img src=picture.png></body></html>");
        writeFile(homePath(u"my pages/style.css"_s), "body { color: rgb(1, 2, 3) }");
        writeFile(homePath(u"my pages/script.js"_s), "var lessonScript = 'ran';");
        QImage picture(3, 2, QImage::Format_RGB32);
        picture.fill(Qt::red);
        picture.save(homePath(u"my pages/picture.png"_s));
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
        // Under the viewer's own scheme: the page has no file:// origin.
        EXPECT_EQ(browser->url().scheme(), u"vellix-view"_s);
        EXPECT_EQ(browser->url().path(), Platform::DosPath::toLinux(c.dosPath));
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
    const auto watch = whenWindowShows(u"frmView"_s, [&](QWidget &) {
        if (loaded.wait(LoadWaitMs))
            seen = engine.evaluate(u"win.name + '|' + win.caption + '|' + win.find('wb1').title"_s)
                       .toString();
        engine.evaluate(u"win.close()"_s);
    });
    view->exec();
    EXPECT_EQ(seen, u"frmView|View File - "_s + Page + u"|Lesson one"_s);
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
    struct Case
    {
        QString dosPath;
        QStringList options;
        std::optional<QByteArray> switches; // the host's QTWEBENGINE_CHROMIUM_FLAGS
        QByteArray title;
    };
    const Case cases[] = {
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
    for (const Case &c : cases) {
        SCOPED_TRACE(
            (c.options.join(u' ') + u" | "_s + QString::fromUtf8(c.switches.value_or("unset")))
                .toStdString());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (c.switches)
            environment.insert(u"QTWEBENGINE_CHROMIUM_FLAGS"_s, QString::fromUtf8(*c.switches));
        else
            environment.remove(u"QTWEBENGINE_CHROMIUM_FLAGS"_s);
        QProcess host;
        host.setProcessEnvironment(environment);
        host.start(QStringLiteral(VELLIX_LATE_HOST),
                   QStringList{QStringLiteral(VELLIX_LATE_PLUGIN), c.dosPath} + c.options);
        ASSERT_TRUE(host.waitForFinished(LoadWaitMs));
        EXPECT_EQ(host.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(host.exitCode(), 0) << host.readAllStandardError().toStdString();
        EXPECT_EQ(host.readAllStandardOutput(), c.title);
    }
}

// The viewer's switches for the browser go with its start: programs that the host starts
// later (the desktop's browser among them) find the environment as it was.
TEST_F(ViewerTest, ProgramsStartedLaterFindTheEnvironmentAsItWas)
{
    EXPECT_EQ(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), givenSwitches);
}

// The hostile page: the listener hears nothing, the reads fail but for the page's own file,
// and the page still shows, with its companion files.
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
    QFile::copy(homePath(u"my pages/picture.png"_s),
                homePath(u"my pages/hostile_files/picture.png"_s));
    writeFile(homePath(u"my pages/hostile.htm"_s),
              QByteArray(HostilePage)
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
              "<a id=out href='../elsewhere.htm'>out</a>"
              "<a id=web href='http://127.0.0.1:9/'>web</a>");
    struct Case
    {
        QString link;
        QString title;
    };
    const Case cases[] = {
        {u"out"_s, u"Links"_s},
        {u"web"_s, u"Links"_s},
        {u"next"_s, u"Next"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.link.toStdString());
        // A window of its own for each link: a navigation refused late may still cancel the
        // next load of the window.
        openViewer();
        ASSERT_EQ(show(u"H:\\my pages\\links.htm"_s), true);
        QSignalSpy loaded(browser, &QWebEngineView::loadFinished);
        evaluate(u"document.getElementById('%1').click()"_s.arg(c.link));
        loaded.wait(c.title == u"Links"_s ? 1000 : LoadWaitMs);
        EXPECT_EQ(browser->title(), c.title);
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
