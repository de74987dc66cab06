// SPDX-License-Identifier: GPL-3.0-or-later
// What only the real engine shows of the content folder: no page reaches past
// it by any road, nor sends the desktop's browser anywhere by itself, its own
// parts still load, and a huge file is refused quietly.
#include "webenginerig.h"

#include <QApplication>
#include <QImage>

#include <sys/stat.h>

using namespace Juanzong;
using namespace Juanzong::Testing;
using namespace Qt::StringLiterals;

namespace {

// The folder's parent as a file: URL.
QString outsideUrl(const WebEngineRig &rig)
{
    return QUrl::fromLocalFile(rig.dir.path()).toString() + u'/';
}

// Every file a page may want is here; the files beside the folder each tell
// the page that reads, runs or frames them ("loaded"), a page of the folder
// tells its parent "inside".
void fillFolder(const WebEngineRig &rig)
{
    const QString outside = rig.dir.path() + u'/';
    put(outside + u"secret.html"_s,
        "<html><head><title>SECRET</title></head><body>SECRET"
        "<script>parent.postMessage('loaded', '*')</script></body></html>");
    QImage(4, 4, QImage::Format_RGB32).save(outside + u"secret.png"_s);
    QImage(4, 4, QImage::Format_RGB32).save(rig.page(u"pic.png"_s));
    put(rig.page(u"inside.html"_s),
        "<html><head><title>INSIDE</title></head><body>"
        "<script>if (parent !== window) parent.postMessage('inside', '*')</script></body></html>");
    QFile::link(outside + u"secret.html"_s, rig.page(u"link.html"_s));
    QFile::link(u"/proc/self/environ"_s, rig.page(u"env.html"_s));
    ::mkfifo(QFile::encodeName(rig.page(u"pipe.html"_s)).constData(), 0600);
    // A link to follow, which also tries to follow itself again.
    put(rig.page(u"hostile.html"_s),
        "<html><head><title>HOSTILE</title></head><body><p><a id='web' href='http://127.0.0.1:9/page.html'"
        " onclick=\"setTimeout(() => { location.href = 'http://127.0.0.1:9/again'; }, 100)\">site</a></p>"
        "</body></html>");
    // What an index line may hold as a link target ends up on the result page.
    put(rig.page(u"probe.html"_s),
        "<html><head><title>PROBE</title></head><body>"
        "<a id='indexline' target='_self' href='javascript:location.href=\"" + outsideUrl(rig).toUtf8()
            + "secret.html\"'>x</a>"
              "<script>window.addEventListener('message', e => { window.probe = e.data; });</script>"
              "</body></html>");
}

} // namespace

class ContentSchemeTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void readOutside_data();
    void readOutside();
    void leaveFolder_data();
    void leaveFolder();
    void desktopOnlyOnClick_data();
    void desktopOnlyOnClick();
    void sizes_data();
    void sizes();

private:
    // One folder and one window for every row: each row starts on a fresh load.
    std::unique_ptr<WebEngineRig> m_rig;
};

void ContentSchemeTest::initTestCase()
{
    m_rig = std::make_unique<WebEngineRig>();
    m_rig->addPage(u"wszzgf.html"_s, u"START"_s);
    fillFolder(*m_rig);
    m_rig->start();
    QVERIFY(m_rig->waitForLoad());
}

void ContentSchemeTest::cleanupTestCase()
{
    m_rig.reset();
}

void ContentSchemeTest::readOutside_data()
{
    // Each script sets window.probe to "loaded" once it got at its target, or
    // to "blocked"; OUT stands for the folder's parent as a file: URL. One row
    // for each way out the program guards: a script's read, a part of the page
    // and a frame, by a file: URL, a climb and a link.
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("expected");
    const auto image = [](const QString &src) -> QString {
        return u"var i = new Image(); i.onload = () => probe = 'loaded'; i.onerror = () => probe = 'blocked';"
               u"i.src = '"_s + src + u"';"_s;
    };
    const auto frame = [](const QString &src) -> QString {
        return u"setTimeout(() => { if (!window.probe) probe = 'blocked'; }, 2000);"
               u"var f = document.createElement('iframe'); f.src = '"_s + src
            + u"'; document.body.appendChild(f);"_s;
    };
    const auto readText = [](const QString &fetchOrXhr) -> QString {
        return fetchOrXhr + u".then(t => probe = t.includes('SECRET') ? 'loaded' : 'blocked', () => probe = 'blocked');"_s;
    };
    QTest::newRow("fetch of a file") << readText(u"fetch('OUTsecret.html').then(r => r.text())"_s) << u"blocked"_s;
    QTest::newRow("fetch climbing out of the folder")
        << readText(u"fetch('juanzong://ws/%2e%2e/secret.html').then(r => r.text())"_s) << u"blocked"_s;
    QTest::newRow("fetch through a link in the folder") << readText(u"fetch('link.html').then(r => r.text())"_s)
                                                        << u"blocked"_s;
    // A frame of the folder is the page's own: its text can be read, unless
    // what came in its place is the engine's error page.
    const auto frameText = [](const QString &name) -> QString {
        return u"var f = document.createElement('iframe'); f.src = '"_s + name
            + u"'; f.onload = () => { try { probe = f.contentDocument.body.textContent.length ? 'loaded' : 'blocked'; }"
              u" catch (e) { probe = 'blocked'; } }; document.body.appendChild(f);"_s;
    };
    QTest::newRow("frame through a link to the environment") << frameText(u"env.html"_s) << u"blocked"_s;
    QTest::newRow("frame of a pipe_answered at once") << frameText(u"pipe.html"_s) << u"blocked"_s;
    QTest::newRow("frame text of the folder") << frameText(u"inside.html"_s) << u"loaded"_s;
    QTest::newRow("image of a file") << image(u"OUTsecret.png"_s) << u"blocked"_s;
    QTest::newRow("image of the folder") << image(u"pic.png"_s) << u"loaded"_s;
    QTest::newRow("frame of a file") << frame(u"OUTsecret.html"_s) << u"blocked"_s;
    QTest::newRow("frame of the folder") << frame(u"inside.html"_s) << u"inside"_s;
    QTest::newRow("frame sent on to a file")
        << u"var f = document.createElement('iframe'); f.src = 'inside.html';"
           u"window.addEventListener('message', e => { if (e.data != 'inside') return; window.probe = undefined;"
           u"  setTimeout(() => { if (!window.probe) probe = 'blocked'; }, 2000);"
           u"  f.contentWindow.location.href = 'OUTsecret.html'; });"
           u"document.body.appendChild(f);"_s
        << u"blocked"_s;
}

void ContentSchemeTest::readOutside()
{
    QFETCH(QString, script);
    QFETCH(QString, expected);
    QVERIFY(m_rig->open(u"probe.html"_s));
    m_rig->evaluate(script.replace(u"OUT"_s, outsideUrl(*m_rig)));
    QString probe;
    QVERIFY(QTest::qWaitFor([&] { return !(probe = m_rig->evaluate(u"window.probe || ''"_s)).isEmpty(); }, 15000));
    QCOMPARE(probe, expected);
}

void ContentSchemeTest::leaveFolder_data()
{
    // Each script tries to take the whole view elsewhere.
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("title"); // of the page it arrives at; empty where it must not show the secret
    QTest::newRow("location to a file") << u"location.href = 'OUTsecret.html';"_s << QString();
    QTest::newRow("window.open of a file") << u"window.open('OUTsecret.html');"_s << QString();
    QTest::newRow("script link of an index line") << u"document.getElementById('indexline').click();"_s << QString();
    QTest::newRow("location to a link in the folder") << u"location.href = 'link.html';"_s << QString();
    QTest::newRow("location inside the folder") << u"location.href = 'inside.html#x';"_s << u"INSIDE"_s;
    QTest::newRow("window.open inside the folder") << u"window.open('inside.html');"_s << u"INSIDE"_s;
    QTest::newRow("target _blank inside the folder")
        << u"Object.assign(document.createElement('a'), {href: 'inside.html', target: '_blank'}).click();"_s << u"INSIDE"_s;
}

void ContentSchemeTest::leaveFolder()
{
    QFETCH(QString, script);
    QFETCH(QString, title);
    QVERIFY(m_rig->open(u"probe.html"_s));
    QWebEngineView &view = *m_rig->webView;
    QSignalSpy titles(&view, &QWebEngineView::titleChanged);
    m_rig->evaluate(script.replace(u"OUT"_s, outsideUrl(*m_rig)));
    if (!title.isEmpty()) {
        QTRY_COMPARE(view.title(), title);
        return;
    }
    // Nothing to wait for where nothing may happen: give the engine the time
    // the rows that do move take many times over.
    QTest::qWait(1500);
    for (const QList<QVariant> &change : titles)
        QVERIFY(change.at(0).toString() != u"SECRET");
    QVERIFY(view.url().scheme() != u"file");
    QCOMPARE(m_rig->evaluate(u"String(document.documentElement.outerHTML.includes('SECRET'))"_s), u"false"_s);
}

void ContentSchemeTest::desktopOnlyOnClick_data()
{
    // Each way a page makes the engine report a followed link without the user's touch.
    QTest::addColumn<QString>("script");
    const QString web = u"'http://127.0.0.1:9/x?' + document.title"_s;
    const QString madeUpLink = u"const a = document.createElement('a'); a.href = "_s + web
        + u"; document.body.appendChild(a);"_s;
    QTest::newRow("location") << u"location.href = "_s + web + u';';
    QTest::newRow("script click of a made-up link") << madeUpLink + u"a.click();"_s;
    QTest::newRow("made-up click event on the page's link")
        << u"document.getElementById('web').dispatchEvent(new MouseEvent('click', {bubbles: true, cancelable: true,"
           u" view: window}));"_s;
    QTest::newRow("download link") << madeUpLink + u"a.download = 'x.html'; a.click();"_s;
    QTest::newRow("top.location from a frame")
        << u"const f = document.createElement('iframe');"
           u"f.srcdoc = '<script>top.location = \"http://127.0.0.1:9/framed\";<\\/script>';"
           u"document.body.appendChild(f);"_s;
    QTest::newRow("mail with an attachment") << u"location.href = 'mailto:a@b.cn?attach=/etc/passwd';"_s;
}

void ContentSchemeTest::desktopOnlyOnClick()
{
    QFETCH(QString, script);
    QVERIFY(m_rig->open(u"hostile.html"_s));
    m_rig->log.calls.clear();
    // Ten tries, a tenth of a second apart, as the page that opened the browser 20 times did.
    m_rig->evaluate(u"for (let i = 0; i < 10; ++i) setTimeout(() => { "_s + script + u" }, i * 100);"_s);
    QTest::qWait(2000);
    QCOMPARE(m_rig->log.starting(u"desktop.open"), QStringList());
    // The user's own click on the link goes out, once, though the link tries again.
    m_rig->click(u"document.getElementById('web')"_s);
    QTest::qWait(2000);
    QCOMPARE(m_rig->log.starting(u"desktop.open"), QStringList(u"desktop.open http://127.0.0.1:9/page.html"_s));
}

void ContentSchemeTest::sizes_data()
{
    QTest::addColumn<qint64>("size");
    // Several times what is read ahead for the character set, and the engine's
    // own read size: the page arrives whole, end included.
    QTest::newRow("large file_shown whole") << (qint64(3) << 20);
    // Sparse: six gigabytes that take no room on the disk.
    QTest::newRow("huge file_refused, the window still shows the folder") << (qint64(6) << 30);
}

void ContentSchemeTest::sizes()
{
    QFETCH(qint64, size);
    QFile file(m_rig->page(u"sized.html"_s));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    const QByteArray body(size < (qint64(1) << 30) ? size : 0, 'x');
    QVERIFY(file.write("<html><body><p>" + body + "</p><p id='end'>end</p></body></html>") > 0);
    if (body.isEmpty())
        QVERIFY(file.resize(size));
    file.close();
    if (!body.isEmpty()) {
        QVERIFY(m_rig->open(u"sized.html"_s));
        QCOMPARE(m_rig->evaluate(u"document.getElementById('end') ? document.body.textContent.length : -1"_s),
                 QString::number(body.size() + 3));
        return;
    }
    QVERIFY(!m_rig->open(u"sized.html"_s));
    QVERIFY(m_rig->open(u"inside.html"_s));
    QCOMPARE(m_rig->webView->title(), u"INSIDE"_s);
}

int main(int argc, char *argv[])
{
    prepareWebEngine();
    QApplication app(argc, argv);
    ContentSchemeTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_contentscheme.moc"
