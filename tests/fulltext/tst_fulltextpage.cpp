// SPDX-License-Identifier: GPL-3.0-or-later
// The full-text result page, whose every text is escaped.
#include "fulltext/fulltextindex.h"
#include "fulltext/fulltextpage.h"
#include "samplepages.h"

#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;
using SamplePages::indexOf;
using SamplePages::page;

class FullTextPageTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void resultPage_escapesEverything_data();
    void resultPage_escapesEverything();
    void resultPage_nothingFound_saysSoWithAHint();
};

void FullTextPageTest::resultPage_escapesEverything_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("markedSnippet");
    QTest::newRow("page text with a tag, query a tag")
        << u"<p>写明&lt;b&gt;加粗&lt;/b&gt;</p>"_s << u"<b>"_s << u"写明<mark>&lt;b&gt;</mark>加粗&lt;/b&gt;"_s;
    QTest::newRow("ampersand and quote")
        << u"<p>甲&amp;乙\"丙\"</p>"_s << u"&乙\""_s << u"甲<mark>&amp;乙&quot;</mark>丙&quot;"_s;
}

void FullTextPageTest::resultPage_escapesEverything()
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

void FullTextPageTest::resultPage_nothingFound_saysSoWithAHint()
{
    const auto index = indexOf({u"<p>本院认为</p>"_s});
    const QString html = FullTextPage::build(index->search(u"<反诉>"_s));
    QVERIFY(html.contains(u"没有找到包含“&lt;反诉&gt;”的范本。"_s));
    QVERIFY(html.contains(u"提示："_s));
    QVERIFY(!html.contains(u"class=\"ft-hit\""_s));
}

QTEST_GUILESS_MAIN(FullTextPageTest)
#include "tst_fulltextpage.moc"
