// SPDX-License-Identifier: GPL-3.0-or-later
// Searching the text of pages: Chinese text found by any part of it, by the index
// and by the scan alike, ranking, snippets, and the places before a document.
#include "files.h"
#include "fulltext/fulltextindex.h"
#include "fulltext/pagetext.h"
#include "fulltext/textscan.h"
#include "samplepages.h"

#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;
using TestFiles::gbk;
using SamplePages::indexOf;

class FullTextIndexTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void found_data();
    void found();
    void ranking_data();
    void ranking();
    void snippet_data();
    void snippet();
    void occurrencesBefore_data();
    void occurrencesBefore();
};

void FullTextIndexTest::initTestCase()
{
    FullTextIndex index;
    QVERIFY(index.isValid());
}

void FullTextIndexTest::found_data()
{
    QTest::addColumn<QStringList>("bodies");
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("documents");
    QTest::addColumn<int>("occurrences");

    const QStringList clause = {u"<p>本院认为，被告应当承担民事责任，原告的诉讼请求成立。</p>"_s};
    QTest::newRow("two-character word inside a long clause") << clause << u"民事"_s << 1 << 1;
    QTest::newRow("one character") << clause << u"告"_s << 1 << 2;
    QTest::newRow("phrase through the index") << clause << u"承担民事责任"_s << 1 << 1;
    QTest::newRow("half-width comma finds the full-width one") << clause << u"认为,被告"_s << 1 << 1;
    QTest::newRow("absent phrase") << clause << u"反诉请求"_s << 0 << 0;
    QTest::newRow("white space around trimmed") << clause << u"  民事责任 "_s << 1 << 1;
    // Places overlap nowhere, as the find bar in the page counts them.
    QTest::newRow("overlapping places counted once") << QStringList{u"<p>哈哈哈哈哈</p>"_s} << u"哈哈哈"_s << 1 << 1;
    const QStringList wide = {u"<p>"_s + QString(37, u'甲') + u"关键乙乙乙乙" + QString(21, u'乙') + u"关键甲关键</p>"};
    QTest::newRow("places past several vectors") << wide << u"关键"_s << 1 << 3;
    QTest::newRow("phrase longer than a vector") << wide << u"甲甲甲关键乙乙乙乙"_s << 1 << 1;

    const QStringList digits = {u"<p>依照第１４４条规定</p>"_s, u"<p>依照第144条规定</p>"_s};
    QTest::newRow("full-width digits find both") << digits << u"１４４条"_s << 2 << 2;

    const QStringList blocks = {u"<p>民事</p><p>责任</p>"_s};
    QTest::newRow("no match across block elements") << blocks << u"民事责任"_s << 0 << 0;
    QTest::newRow("quote in the query is no syntax") << QStringList{u"<p>称\"甲方\"</p>"_s} << u"\"甲方\""_s << 1 << 1;
    QTest::newRow("operator words are text") << QStringList{u"<p>A AND B</p>"_s} << u"and b"_s << 1 << 1;
}

void FullTextIndexTest::found()
{
    QFETCH(QStringList, bodies);
    QFETCH(QString, query);
    QFETCH(int, documents);
    QFETCH(int, occurrences);
    const auto index = indexOf(bodies);
    // The index and the scan, with vectors or without, answer alike; rows
    // beyond those listed are counted all the same.
    for (const bool vectors : {true, false})
        for (const auto plan : {FullTextIndex::Plan::Auto, FullTextIndex::Plan::Index, FullTextIndex::Plan::Scan})
            for (const qsizetype listed : {FullTextIndex::MaxHits, qsizetype(1)}) {
                TextScan::setVectors(vectors);
                const FullTextResult result = index->search(query, listed, plan);
                TextScan::setVectors(true);
                QCOMPARE(result.documents, documents);
                QCOMPARE(result.occurrences, occurrences);
                QCOMPARE(result.hits.size(), std::min<qsizetype>(documents, listed));
            }
}

void FullTextIndexTest::ranking_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("order"); // headings, best first
    // "反诉请" stands in the heading of the third template and thrice in the body of the first.
    QTest::newRow("title hit above body hits") << u"反诉请"_s << QStringList{u"反诉请求书"_s, u"起诉状"_s};
    QTest::newRow("more occurrences above fewer") << u"被告人"_s << QStringList{u"起诉状"_s, u"反诉状"_s};
}

void FullTextIndexTest::ranking()
{
    QFETCH(QString, query);
    QFETCH(QStringList, order);
    FullTextIndex index;
    auto one = [](const QString &heading, const QString &body) {
        return extractPageText(gbk(u"<div class=\"ws\" id=\"ws1\"><div class=\"ws-label\">" + heading + u"</div><p>"
                                   + body + u"</p></div>"));
    };
    index.addPage(u"a.html"_s, u"甲"_s, {}, one(u"起诉状"_s, u"被告被告人被告人被告人提出反诉请求，反诉请求，反诉请求。"_s));
    index.addPage(u"b.html"_s, u"乙"_s, {}, one(u"反诉状"_s, u"被告人提起诉讼。其他文字其他文字其他文字其他文字。"_s));
    index.addPage(u"c.html"_s, u"丙"_s, {}, one(u"反诉请求书"_s, u"本诉与反诉请。"_s));
    index.finish();
    for (const auto plan : {FullTextIndex::Plan::Index, FullTextIndex::Plan::Scan}) {
        const FullTextResult result = index.search(query, FullTextIndex::MaxHits, plan);
        QStringList headings;
        for (const FullTextHit &hit : result.hits)
            headings.append(hit.heading);
        headings.removeIf([&](const QString &h) { return !order.contains(h); });
        QCOMPARE(headings, order);
    }
}

void FullTextIndexTest::snippet_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("snippets"); // marks in [], pieces joined by " | "
    QTest::newRow("whole short line, every occurrence marked")
        << u"<p>前言</p><p>反诉与反诉</p><p>后记</p>"_s << u"反诉"_s << u"[反诉]与[反诉]"_s;
    QTest::newRow("original text shown for a folded match")
        << u"<p>另存为ＰＤＦ</p>"_s << u"pdf"_s << u"另存为[ＰＤＦ]"_s;
    QTest::newRow("long line cut with ellipses")
        << u"<p>"_s + QString(30, u'甲') + u"关键" + QString(50, u'乙') + u"</p>"_s << u"关键"_s
        << u"…"_s + QString(24, u'甲') + u"[关键]" + QString(40, u'乙') + u"…"_s;
    QTest::newRow("two places, two snippets")
        << u"<p>一处关键</p><p>中间</p><p>二处关键</p><p>三处关键</p>"_s << u"关键"_s << u"一处[关键] | 二处[关键]"_s;
}

void FullTextIndexTest::snippet()
{
    QFETCH(QString, body);
    QFETCH(QString, query);
    QFETCH(QString, snippets);
    const auto index = indexOf({body});
    const FullTextResult result = index->search(query);
    QCOMPARE(result.hits.size(), 1);
    QStringList pieces;
    for (const Snippet &s : result.hits.front().snippets) {
        QString text = s.text;
        for (auto it = s.marks.crbegin(); it != s.marks.crend(); ++it)
            text.insert(it->start + it->length, u']').insert(it->start, u'[');
        pieces.append((s.cutBefore ? u"…"_s : QString()) + text + (s.cutAfter ? u"…"_s : QString()));
    }
    QCOMPARE(pieces.join(u" | "_s), snippets);
}

void FullTextIndexTest::occurrencesBefore_data()
{
    QTest::addColumn<QString>("anchor");
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("before");
    // The page's own text before, between and after its documents counts only where it stands.
    QTest::newRow("first document_the page's heading and contents before it") << u"ws1"_s << u"调解"_s << 2;
    QTest::newRow("second document_also the first one's") << u"ws2"_s << u"调解"_s << 4;
    QTest::newRow("text between documents counted") << u"ws2"_s << u"附注"_s << 1;
    QTest::newRow("text after the documents not counted") << u"ws2"_s << u"结尾"_s << 0;
    QTest::newRow("case and width folded") << u"ws2"_s << u"ＰＤＦ"_s << 1;
    QTest::newRow("unknown anchor") << u"ws9"_s << u"调解"_s << -1;
}

void FullTextIndexTest::occurrencesBefore()
{
    QFETCH(QString, anchor);
    QFETCH(QString, query);
    QFETCH(int, before);
    FullTextIndex index;
    const PageText text = extractPageText(gbk(
        u"<h1>调解</h1><ol><li>调解书</li></ol><div class=\"ws\" id=\"ws1\"><div class=\"ws-label\">调解笔录</div>"
        u"<p>调解不成 pdf</p></div><p>附注</p><div class=\"ws\" id=\"ws2\"><div class=\"ws-label\">范本二</div><p>附注调解</p></div><p>结尾</p>"_s));
    index.addPage(u"p.html"_s, u"调解"_s, {}, text);
    index.finish();
    QCOMPARE(index.occurrencesBefore(u"p.html"_s, anchor, query), before);
}

QTEST_GUILESS_MAIN(FullTextIndexTest)
#include "tst_fulltextindex.moc"
