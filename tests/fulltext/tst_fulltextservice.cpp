// SPDX-License-Identifier: GPL-3.0-or-later
// The index built on a worker thread: a query before it is ready waits for it,
// and the bundled sample content is searchable.
#include "files.h"
#include "fulltext/fulltextservice.h"
#include "fulltext/indexbuilder.h"

#include "fulltext/fulltextpage.h"

#include <QDir>
#include <QFile>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Juanzong;
using namespace Qt::StringLiterals;

class FullTextServiceTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void query_data();
    void query();
    void sampleContent_isIndexedWithHeadingsAndPlaces();
    void hostileFolder_onlyWhatTheViewShows_data();
    void hostileFolder_onlyWhatTheViewShows();
    void destroyedWhileBuilding_stopsTheBuild();
};

namespace {

std::unique_ptr<FullTextIndex> oneDocument()
{
    auto index = std::make_unique<FullTextIndex>();
    index->addPage(u"a.html"_s, u"甲"_s, {}, extractPageText("<p>\xC3\xF1\xCA\xC2</p>")); // 民事
    index->finish();
    return index;
}

} // namespace

void FullTextServiceTest::query_data()
{
    QTest::addColumn<bool>("readyFirst");
    QTest::addColumn<QStringList>("queries");
    QTest::addColumn<QString>("searched");
    QTest::newRow("ready_answers at once") << true << QStringList{u"民事"_s} << u"民事"_s;
    QTest::newRow("not ready_waits, then answers") << false << QStringList{u"民事"_s} << u"民事"_s;
    QTest::newRow("not ready_only the latest query answered") << false << QStringList{u"民"_s, u"民事"_s} << u"民事"_s;
}

void FullTextServiceTest::query()
{
    QFETCH(bool, readyFirst);
    QFETCH(QStringList, queries);
    QFETCH(QString, searched);

    QSemaphore release;
    FullTextService service([&release](const std::atomic_bool &) {
        release.acquire();
        return oneDocument();
    });
    QSignalSpy waiting(&service, &FullTextService::waiting);
    QSignalSpy ready(&service, &FullTextService::ready);
    QSignalSpy results(&service, &FullTextService::searched);

    if (readyFirst) {
        service.start();
        release.release();
        QVERIFY(ready.wait());
    }
    for (const QString &q : queries)
        service.search(q);
    if (readyFirst) {
        QCOMPARE(waiting.size(), 0);
    } else {
        // Nothing blocks while the builder is held: the queries wait, visibly.
        QCOMPARE(waiting.size(), queries.size());
        QCOMPARE(waiting.last().at(0).toString(), queries.last());
        QVERIFY(!service.isReady());
        QCOMPARE(results.size(), 0);
        release.release();
        QVERIFY(results.wait());
    }
    QCOMPARE(results.size(), 1);
    const auto result = results.front().at(0).value<FullTextResult>();
    QCOMPARE(result.query, searched);
    QCOMPARE(result.documents, 1);
    QVERIFY(service.isReady());
}

void FullTextServiceTest::sampleContent_isIndexedWithHeadingsAndPlaces()
{
    // Ranking is the index's own test; here the real folder is read whole.
    std::atomic_bool never = false;
    const auto index = buildIndex(QStringLiteral(JUANZONG_CONTENT_DIR), never);
    QVERIFY(index->documentCount() > 91);
    const FullTextResult result = index->search(u"调解笔录"_s);
    QVERIFY(!result.hits.isEmpty());
    QCOMPARE(result.hits.front().fileName, u"juanzongfanben-10.html"_s);
    QCOMPARE(result.hits.front().heading, u"范本二　调解笔录"_s);
    QVERIFY(result.hits.front().titleHit);
    // The catalogue names the template and its place.
    QVERIFY(!result.hits.front().place.isEmpty());
}

void FullTextServiceTest::hostileFolder_onlyWhatTheViewShows_data()
{
    // Each row puts one more entry into a folder that also holds a plain page,
    // then searches for a word only that entry's target holds. Which links and
    // files are refused is the rule's own test (tst_contenturl).
    QTest::addColumn<QString>("entry"); // "link TARGET", "fifo" or "long"
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("found");
    QTest::addColumn<bool>("cutNoted");
    QTest::newRow("link to a file beside the folder") << u"link ../secret.html"_s << u"zqsecretword"_s << false
                                                      << false;
    QTest::newRow("pipe_skipped, the build ends") << u"fifo"_s << u"zqplainword"_s << true << false;
    QTest::newRow("long page_its start") << u"long"_s << u"zqstartword"_s << true << true;
    QTest::newRow("long page_nothing past the cut") << u"long"_s << u"zqendword"_s << false << false;
}

void FullTextServiceTest::hostileFolder_onlyWhatTheViewShows()
{
    QFETCH(QString, entry);
    QFETCH(QString, word);
    QFETCH(bool, found);
    QFETCH(bool, cutNoted);
    QTemporaryDir dir;
    const QString ws = dir.filePath(u"ws"_s);
    QVERIFY(QDir().mkpath(ws));
    TestFiles::put(dir.filePath(u"secret.html"_s), "<p>zqsecretword</p>");
    TestFiles::put(ws + u"/plain.html"_s, "<p>zqplainword</p>");
    const QString path = ws + u"/x.html"_s;
    if (entry.startsWith(u"link "))
        QVERIFY(QFile::link(entry.sliced(5), path));
    else if (entry == u"fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else
        TestFiles::put(path, "<p>zqstartword</p><p>" + QByteArray(PageBytes, 'x') + "</p><p>zqendword</p>");

    std::atomic_bool never = false;
    const auto index = buildIndex(ws, never);
    const FullTextResult result = index->search(word);
    QCOMPARE(result.documents, found ? 1 : 0);
    const QString note = u"此页过长"_s;
    QCOMPARE(FullTextPage::build(result).contains(note), cutNoted);
}

void FullTextServiceTest::destroyedWhileBuilding_stopsTheBuild()
{
    std::atomic_bool sawCancel = false;
    QSemaphore started;
    {
        FullTextService service([&](const std::atomic_bool &cancelled) {
            started.release();
            while (!cancelled)
                QThread::msleep(1);
            sawCancel = true;
            return std::make_unique<FullTextIndex>();
        });
        service.start();
        started.acquire();
    }
    QVERIFY(sawCancel);
}

QTEST_GUILESS_MAIN(FullTextServiceTest)
#include "tst_fulltextservice.moc"
