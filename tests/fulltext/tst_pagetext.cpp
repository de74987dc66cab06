// SPDX-License-Identifier: GPL-3.0-or-later
// The text of a page as the index reads it: decoded as the view decodes it, parsed
// as HTML, split into model documents.
#include "files.h"
#include "fulltext/pagetext.h"

#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;
using TestFiles::gbk;

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
