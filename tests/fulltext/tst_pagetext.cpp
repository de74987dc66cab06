// SPDX-License-Identifier: GPL-3.0-or-later
// The text of a page as the index reads it: decoded as the view decodes it,
// parsed as HTML, split into model documents.
#include "fulltext/pagetext.h"

#include <QStringEncoder>
#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;

class PageTextTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void documents_data();
    void documents();
    void decoding_data();
    void decoding();
};

namespace {

QByteArray gbk(const QString &text)
{
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}

// "anchor|heading|text" per document, documents joined by "\n--\n".
QString describe(const PageText &page)
{
    QStringList out;
    for (const PageDocument &d : page.documents)
        out.append(d.anchor + u'|' + d.heading + u'|' + d.text);
    return page.title + u"\n--\n" + out.join(u"\n--\n"_s);
}

} // namespace

void PageTextTest::documents_data()
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
    QTest::newRow("broken markup still read")
        << u"<body><h1>A</h1><p>一<div class=ws id=ws1><div class=ws-label>L</div>二"_s
        << u"A\n--\n|A|A\n一\n--\nws1|L|L\n二"_s;
}

void PageTextTest::documents()
{
    QFETCH(QString, html);
    QFETCH(QString, expected);
    QCOMPARE(describe(extractPageText(gbk(html))), expected);
}

void PageTextTest::decoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("no charset_read as GBK") << gbk(u"<p>民事</p>"_s) << u"民事"_s;
    QTest::newRow("meta charset utf-8_read as UTF-8")
        << u"<meta charset=\"utf-8\"><p>民事</p>"_s.toUtf8() << u"民事"_s;
    QTest::newRow("http-equiv charset_read as declared")
        << u"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"><p>民事</p>"_s.toUtf8()
        << u"民事"_s;
    QTest::newRow("byte order mark_read as UTF-8") << "\xEF\xBB\xBF"_ba + u"<p>民事</p>"_s.toUtf8() << u"民事"_s;
    QTest::newRow("meta without charset_still GBK")
        << gbk(u"<meta http-equiv=\"Content-Type\" content=\"text/html\"><p>民事</p>"_s) << u"民事"_s;
}

void PageTextTest::decoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const PageText page = extractPageText(bytes);
    QCOMPARE(page.documents.size(), 1);
    QCOMPARE(page.documents.front().text, text);
}

QTEST_GUILESS_MAIN(PageTextTest)
#include "tst_pagetext.moc"
