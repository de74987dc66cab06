// SPDX-License-Identifier: GPL-3.0-or-later
// The text of a page as the index reads it (decoded as the view decodes it, parsed
// as HTML, split into model documents), and searching it: Chinese text found by any
// part of it, ranking, snippets and the result page, whose every text is escaped.
#include "files.h"
#include "fulltext/fulltextindex.h"
#include "fulltext/pagetext.h"
#include "fulltext/resultpage.h"
#include "fulltext/textfold.h"
#include "fulltext/textscan.h"

#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;
using TestFiles::gbk;

class FullTextIndexTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void documents_data();
    void documents();
    void decoding_data();
    void decoding();
    void fold_data();
    void fold();
    void found_data();
    void found();
    void ranking_data();
    void ranking();
    void snippet_data();
    void snippet();
    void occurrencesBefore_data();
    void occurrencesBefore();
    void resultPage_escapesEverything_data();
    void resultPage_escapesEverything();
    void resultPage_nothingFound_saysSoWithAHint();
};

namespace {

// "anchor|heading|text" per document, documents joined by "\n--\n".
QString describe(const PageText &page)
{
    QStringList out;
    for (const PageDocument &d : page.documents)
        out.append(d.anchor + u'|' + d.heading + u'|' + d.text);
    return page.title + u"\n--\n" + out.join(u"\n--\n"_s);
}

// A page with one model document per body given, the first titled title.
PageText page(const QString &title, const QStringList &bodies)
{
    QString html = u"<html><head><title>" + title + u"</title></head><body>";
    for (qsizetype i = 0; i < bodies.size(); ++i)
        html += u"<div class=\"ws\" id=\"ws" + QString::number(i + 1) + u"\"><div class=\"ws-label\">范本"
            + QString::number(i + 1) + u"</div>" + bodies[i] + u"</div>";
    return extractPageText(gbk(html + u"</body></html>"));
}

std::unique_ptr<FullTextIndex> indexOf(const QStringList &bodies)
{
    auto index = std::make_unique<FullTextIndex>();
    index->addPage(u"a.html"_s, u"甲"_s, QString(), page(u"甲"_s, bodies));
    index->finish();
    return index;
}

} // namespace

void FullTextIndexTest::initTestCase()
{
    FullTextIndex index;
    QVERIFY2(index.isValid(), qPrintable(index.error()));
}

void FullTextIndexTest::documents_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("expected");

    QTest::newRow("page without model documents_one document titled by its h1")
        << u"<html><head><title>T - 卷宗</title></head><body><h1>调解</h1><p>甲</p><p>乙</p></body></html>"_s
        << u"调解\n--\n|调解|调解\n甲\n乙"_s;
    QTest::newRow("no h1_titled by title")
        << u"<html><head><title>关于</title></head><body>正文</body></html>"_s << u"关于\n--\n|关于|正文"_s;
    QTest::newRow("model documents_each with anchor and label, page text apart")
        << u"<body><h1>管辖</h1><div class=\"ws\" id=\"ws1\"><a name=\"ws1\"></a><div class=\"ws-label\">范本一　"
           u"民事裁定书</div><p>本院认为</p></div><div class=\"ws\" id=\"ws2\"><div class=\"ws-label\">范本二　通知书"
           u"</div><p>特此通知</p></div></body>"_s
        << u"管辖\n--\n|管辖|管辖\n--\nws1|范本一　民事裁定书|范本一　民事裁定书\n本院认为\n--\n"
           u"ws2|范本二　通知书|范本二　通知书\n特此通知"_s;
    QTest::newRow("anchor from a name when the div has no id")
        << u"<body><h1>A</h1><div class=\"x ws\"><a name=\"wsX\"></a><div class=\"ws-label\">L</div>t</div></body>"_s
        << u"A\n--\n|A|A\n--\nwsX|L|L\nt"_s;
    QTest::newRow("entities resolved, script and style skipped")
        << u"<body><h1>A</h1><style>p{}</style><p>&lt;b&gt; &amp; &#x6C11;&nbsp;x</p><script>var a='民';</script></body>"_s
        << u"A\n--\n|A|A\n<b> & 民\u00A0x"_s;
    QTest::newRow("white space collapsed, inline elements joined")
        << u"<body><h1>A</h1><p>  民 \n  <b>事</b><i>判决</i>  书 </p></body>"_s << u"A\n--\n|A|A\n民 事判决 书"_s;
    // Pages nobody here wrote: documents found by what their markup shows.
    QTest::newRow("Word's markup_centred titles start a document, its type names it")
        << u"<p class=MsoNormal align=center style='text-align:center'><b><span style='font-size:22.0pt'>"
           u"××××人民法院<o:p></o:p></span></b></p><p class=MsoNormal align=center><b>民事判决书</b></p>"
           u"<p class=MsoNormal style='text-indent:2em'>本院认为。<o:p>&nbsp;</o:p></p>"_s
        << u"\n--\njuanzong-document-1|民事判决书|××××人民法院\n民事判决书\n本院认为。\n\u00A0"_s;
    QTest::newRow("style sheet classes, as LibreOffice's XHTML sets the look")
        << u"<style>.P1 { text-align:center ! important; } .T1 { font-weight:bold; }</style>"
           u"<p class=\"P1\"><span class=\"T1\">××××人民法院</span></p><p class=\"P1\"><span class=\"T1\">"
           u"民事判决书</span></p><p>本院认为。</p>"_s
        << u"\n--\njuanzong-document-1|民事判决书|××××人民法院\n民事判决书\n本院认为。"_s;
    QTest::newRow("web site_br lines, furniture the page's own, the document between")
        << u"<div id=\"nav\">首页</div><p style=\"text-align:center\"><strong>××××人民法院</strong><br>"
           u"<strong>民事裁定书</strong></p><p>　　本院认为。<br>　　　　　　　审判员　×××</p>"
           u"<div class=\"footer\">版权所有</div>"_s
        << u"\n--\n||首页\n版权所有\n--\njuanzong-document-1|民事裁定书|××××人民法院\n民事裁定书\n"
           u"　　本院认为。\n　　　　　　　审判员　×××"_s;
    QTest::newRow("two documents in one block of br lines")
        << u"<p>样式一<br>甲<br>样式二<br>乙</p>"_s
        << u"\n--\njuanzong-document-1|样式一|样式一\n甲\n--\njuanzong-document-2|样式二|样式二\n乙"_s;
    QTest::newRow("broken markup still read")
        << u"<body><h1>A</h1><p>一<div class=ws id=ws1><div class=ws-label>L</div>二"_s
        << u"A\n--\n|A|A\n一\n--\nws1|L|L\n二"_s;
}

void FullTextIndexTest::documents()
{
    QFETCH(QString, html);
    QFETCH(QString, expected);
    QCOMPARE(describe(extractPageText(gbk(html))), expected);
}

void FullTextIndexTest::decoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    // Which pages declare their own character set is the view's rule, tested with
    // it; here only that the index follows it both ways.
    QTest::newRow("no charset_read as GBK") << gbk(u"<p>民事</p>"_s) << u"民事"_s;
    QTest::newRow("meta charset utf-8_read as UTF-8")
        << u"<meta charset=\"utf-8\"><p>民事</p>"_s.toUtf8() << u"民事"_s;
    QTest::newRow("the word charset in another meta_still GBK")
        << gbk(u"<meta name=\"keywords\" content=\"charset\"><p>民事</p>"_s) << u"民事"_s;
    QTest::newRow("gb2312 declared, as Word writes it_read as GB 18030, beyond GB 2312")
        << gbk(u"<meta http-equiv=Content-Type content=\"text/html; charset=gb2312\"><p>二〇××年</p><p>后文</p>"_s)
        << u"二〇××年\n后文"_s;
    QTest::newRow("a byte no character stands for_replaced, the text after it kept")
        << gbk(u"<p>民事"_s) + "\xFF" + gbk(u"判决</p>"_s) << u"民事\uFFFD判决"_s;
    QTest::newRow("iso-8859-1_read as windows-1252") << "<meta charset=iso-8859-1><p>\x93x\x94</p>"_ba
                                                     << u"\u201Cx\u201D"_s;
    QTest::newRow("text after 100,000 nested elements")
        << "<div>"_ba.repeated(100000) + gbk(u"深"_s) + "</div>"_ba.repeated(100000) + gbk(u"<p>后</p>"_s)
        << u"深\n后"_s;
}

void FullTextIndexTest::decoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const PageText page = extractPageText(bytes);
    QCOMPARE(page.documents.size(), 1);
    QCOMPARE(page.documents.front().text, text);
}

void FullTextIndexTest::fold_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("folded");
    QTest::newRow("latin case") << u"PDF Word"_s << u"pdf word"_s;
    QTest::newRow("full-width digits and letters") << u"１２ＡＢｃ"_s << u"12abc"_s;
    QTest::newRow("full-width punctuation and space") << u"（一）：，审判长\u3000张"_s << u"(一):,审判长 张"_s;
    QTest::newRow("circled digit") << u"①"_s << u"1"_s;
    QTest::newRow("longer compatibility form keeps its length") << u"㈠…"_s << u"㈠…"_s;
}

void FullTextIndexTest::fold()
{
    QFETCH(QString, text);
    QFETCH(QString, folded);
    QCOMPARE(TextFold::fold(text), folded);
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

void FullTextIndexTest::resultPage_escapesEverything_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("markedSnippet");
    QTest::newRow("page text with a tag, query a tag")
        << u"<p>写明&lt;b&gt;加粗&lt;/b&gt;</p>"_s << u"<b>"_s << u"写明<mark>&lt;b&gt;</mark>加粗&lt;/b&gt;"_s;
    QTest::newRow("ampersand and quote")
        << u"<p>甲&amp;乙\"丙\"</p>"_s << u"&乙\""_s << u"甲<mark>&amp;乙&quot;</mark>丙&quot;"_s;
}

void FullTextIndexTest::resultPage_escapesEverything()
{
    QFETCH(QString, body);
    QFETCH(QString, query);
    QFETCH(QString, markedSnippet);
    FullTextIndex index;
    index.addPage(u"a b&c.html"_s, u"<i>标题</i>"_s, u"<u>目录</u>"_s, page(u"t"_s, {body}));
    index.finish();
    const QString html = FullTextPage::build(index.search(query));
    QVERIFY2(html.contains(markedSnippet), qPrintable(html));
    QVERIFY(html.contains(u"全文搜索 <span class=\"ft-query\">" + query.toHtmlEscaped() + u"</span>"));
    QVERIFY(html.contains(u"&lt;i&gt;标题&lt;/i&gt;"_s));
    QVERIFY(html.contains(u"&lt;u&gt;目录&lt;/u&gt;"_s));
    QVERIFY(html.contains(u"href=\"a%20b%26c.html#ws1\""_s));
    for (const QString &raw : {query, u"<i>"_s, u"<u>"_s})
        QVERIFY2(!html.contains(raw), qPrintable(raw));
}

void FullTextIndexTest::resultPage_nothingFound_saysSoWithAHint()
{
    const auto index = indexOf({u"<p>本院认为</p>"_s});
    const QString html = FullTextPage::build(index->search(u"<反诉>"_s));
    QVERIFY(html.contains(u"没有找到包含“&lt;反诉&gt;”的范本。"_s));
    QVERIFY(html.contains(u"提示："_s));
    QVERIFY(!html.contains(u"class=\"ft-hit\""_s));
}

QTEST_GUILESS_MAIN(FullTextIndexTest)
#include "tst_fulltextindex.moc"
