// SPDX-License-Identifier: GPL-3.0-or-later
// Where model documents start and end on a page, what they are called and what
// part each line plays, from blocks as any source would hand them over.
#include "document/pageblocks.h"

#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;

class PageBlocksTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void documents_data();
    void documents();
    void sources_mapBackToTheBlocks();
};

namespace {

// "flags|text": c centred, r right-aligned, b bold, L large, i indented,
// I far right of the margin, l a label, x chrome; "T|a,b;c,d" is a table.
PageBlock block(const QString &line)
{
    const qsizetype bar = line.indexOf(u'|');
    const QStringView flags = QStringView(line).first(bar);
    PageBlock b;
    b.text = line.mid(bar + 1);
    b.fontSize = flags.contains(u'L') ? 26 : 16;
    b.align = flags.contains(u'c') ? PageBlock::Align::Center
        : flags.contains(u'r')     ? PageBlock::Align::End
                                   : PageBlock::Align::Justify;
    b.bold = flags.contains(u'b');
    b.indent = flags.contains(u'I') ? 400 : flags.contains(u'i') ? 32 : 0;
    b.label = flags.contains(u'l');
    b.chrome = flags.contains(u'x');
    if (flags.contains(u'T')) {
        for (const QString &row : b.text.split(u';'))
            b.rows.append(row.split(u','));
        b.text = b.text.replace(u',', u'\n').replace(u';', u'\n');
    }
    return b;
}

// "heading{role:text|role+indent:text}" per document, one per line.
QString describe(const QList<FoundDocument> &found)
{
    QStringList out;
    for (const FoundDocument &d : found) {
        QStringList paragraphs;
        for (const Paragraph &p : d.document.paragraphs) {
            QString text = p.role == Paragraph::Role::Table ? QString::number(p.rows.size()) + u" rows" : p.text;
            paragraphs.append(roleName(p.role) + (p.indent ? u'+' + QString::number(p.indent) : QString()) + u':'
                              + text);
        }
        out.append(d.heading + u'{' + paragraphs.join(u'|') + u'}');
    }
    return out.join(u'\n');
}

} // namespace

void PageBlocksTest::documents_data()
{
    QTest::addColumn<QStringList>("blocks");
    QTest::addColumn<QString>("expected");

    QTest::newRow("labelled, as the sample writes it: label and notes left out")
        << QStringList{u"b|调解"_s, u"|范本一　民事调解书"_s, u"l|范本一　民事调解书"_s, u"cbL|××××人民法院"_s,
                       u"cbL|民事调解书"_s, u"r|（××××）……民初……号"_s, u"i|原告×××与被告×××……一案。"_s,
                       u"I|审判长　×××"_s, u"I|二〇××年××月××日"_s, u"b|说　明"_s, u"|调解书应当写明诉讼请求。"_s,
                       u"r|返回本页目录"_s, u"l|范本二　调解笔录"_s, u"cbL|调解笔录"_s, u"i|时间：……"_s}
        << u"范本一　民事调解书{court:××××人民法院|doctype:民事调解书|caseno:（××××）……民初……号|"
           u"body:原告×××与被告×××……一案。|sign:审判长　×××|date:二〇××年××月××日}\n"
           u"范本二　调解笔录{doctype:调解笔录|body:时间：……}"_s;
    QTest::newRow("label by its words alone, the official way")
        << QStringList{u"|样式一"_s, u"cb|××××人民法院"_s, u"cb|民事判决书"_s, u"i|本院认为。"_s,
                       u"|【说明】"_s, u"|1．本样式供……"_s, u"|样式二"_s, u"cb|通知书"_s, u"i|特此通知。"_s}
        << u"样式一　民事判决书{court:××××人民法院|doctype:民事判决书|body:本院认为。}\n样式二　通知书{doctype:通知书|body:特此通知。}"_s;
    QTest::newRow("no label: court line and type start it, use in brackets under the type")
        << QStringList{u"cbL|撤诉文书样式"_s, u"c|××××人民法院"_s, u"cbL|民　事　裁　定　书"_s,
                       u"c|（准许撤诉用）"_s, u"r|（××××）……民初……号"_s, u"i|原告×××撤回起诉。"_s,
                       u"c|××××人民法院"_s, u"cbL|民事裁定书（驳回起诉用）"_s, u"i|驳回原告×××的起诉。"_s}
        << u"民事裁定书（准许撤诉用）{court:××××人民法院|doctype:民　事　裁　定　书|caseno:（××××）……民初……号|"
           u"body:原告×××撤回起诉。}\n民事裁定书（驳回起诉用）{court:××××人民法院|doctype:民事裁定书（驳回起诉用）|"
           u"body:驳回原告×××的起诉。}"_s;
    QTest::newRow("use in a bracket line before the court line")
        << QStringList{u"b|（准许撤诉用）"_s, u"cb|××××人民法院"_s, u"cb|民事裁定书"_s, u"i|准许撤诉。"_s}
        << u"民事裁定书（准许撤诉用）{court:××××人民法院|doctype:民事裁定书|body:准许撤诉。}"_s;
    QTest::newRow("court line without a type after it starts nothing")
        << QStringList{u"cb|××××人民法院"_s, u"i|本院认为。"_s, u"|××××人民法院"_s} << QString();
    QTest::newRow("br lines are paragraphs, full-width spaces their indent, right by spaces")
        << QStringList{u"c|××××人民法院"_s, u"cb|民事判决书"_s,
                       u"|　　原告×××诉称……。\n\u00A0\n　　此致\n××××人民法院\n"
                       u"　　　　　　　　审判员　×××\n　　　　　　　　二〇××年××月××日"_s}
        << u"民事判决书{court:××××人民法院|doctype:民事判决书|body+2:原告×××诉称……。|body+2:此致|"
           u"plain:××××人民法院|sign+8:审判员　×××|date+8:二〇××年××月××日}"_s;
    QTest::newRow("signatures by their words where the page does not align them; a record's speaker is text")
        << QStringList{u"l|样式一"_s, u"cb|庭审笔录"_s, u"i|审判长：现在开庭。"_s, u"|审判员　×××"_s,
                       u"|二〇××年××月××日"_s}
        << u"样式一　庭审笔录{doctype:庭审笔录|body:审判长：现在开庭。|sign:审判员　×××|date:二〇××年××月××日}"_s;
    QTest::newRow("web site chrome: marked, or by its words, left out; the footer ends nothing")
        << QStringList{u"x|法院门户"_s, u"|首页 > 文书样式"_s, u"cb|××××人民法院"_s, u"cb|民事判决书"_s,
                       u"|【字体：大 中 小】【打印】"_s, u"i|本院认为。"_s, u"|版权所有：××人民法院　京ICP备000号"_s,
                       u"x|联系电话"_s}
        << u"民事判决书{court:××××人民法院|doctype:民事判决书|body:本院认为。}"_s;
    QTest::newRow("（一） is a label before a title, a section number inside a text")
        << QStringList{u"|（一）民事起诉状"_s, u"cbL|民事起诉状"_s, u"b|（一）诉讼请求"_s, u"i|（二）事实和理由"_s,
                       u"i|……"_s, u"|（二）"_s, u"cbL|民事答辩状"_s, u"i|答辩人：×××"_s}
        << u"（一）民事起诉状{doctype:民事起诉状|heading:（一）诉讼请求|body:（二）事实和理由|body:……}\n"
           u"（二）　民事答辩状{doctype:民事答辩状|body:答辩人：×××}"_s;
    QTest::newRow("every kind of notes ends the document; what follows is in none")
        << QStringList{u"l|范本一"_s, u"i|甲。"_s, u"|说明：1．本样式根据……制定。"_s, u"i|乙。"_s,
                       u"l|范本二"_s, u"i|丙。"_s, u"b|样式的制作依据与使用说明"_s, u"i|丁。"_s,
                       u"l|范本三"_s, u"i|戊。"_s, u"|附注："_s, u"i|己。"_s,
                       u"l|范本四"_s, u"i|注意到被告的答辩。"_s, u"i|说明理由。"_s}
        << u"范本一{body:甲。}\n范本二{body:丙。}\n范本三{body:戊。}\n"
           u"范本四{body:注意到被告的答辩。|body:说明理由。}"_s;
    QTest::newRow("tables, headings and the addressee")
        << QStringList{u"l|样式三"_s, u"cbL|民事起诉状"_s, u"|××××人民法院："_s, u"b|诉讼请求"_s,
                       u"T|当事人,□自然人 □法人;诉讼请求,……"_s, u"i|起诉人：×××"_s}
        << u"样式三　民事起诉状{doctype:民事起诉状|plain:××××人民法院：|heading:诉讼请求|table:2 rows|body:起诉人：×××}"_s;
    QTest::newRow("labels with nothing under them, as in a list of contents, name nothing")
        << QStringList{u"|样式一　起诉状"_s, u"|样式二　答辩状"_s, u"|样式一　起诉状"_s, u"cb|民事起诉状"_s}
        << u"样式一　起诉状{doctype:民事起诉状}"_s;
    QTest::newRow("page without model documents") << QStringList{u"cbL|使用说明"_s, u"i|本程序供法官使用。"_s}
                                                  << QString();
}

void PageBlocksTest::documents()
{
    QFETCH(QStringList, blocks);
    QFETCH(QString, expected);
    QList<PageBlock> page;
    for (const QString &line : blocks)
        page.append(block(line));
    QCOMPARE(describe(findModelDocuments(page)), expected);
}

// A fill-in maps back to the page through the spans: each one must cover
// exactly its paragraph's text in the block, without the indent.
void PageBlocksTest::sources_mapBackToTheBlocks()
{
    QList<PageBlock> page{block(u"c|××××人民法院"_s), block(u"cb|民事判决书"_s),
                          block(u"|　　原告×××。\n\n\u3000\u3000被告×××。  "_s), block(u"l|范本二"_s),
                          block(u"i|丙。"_s)};
    page[0].anchor = u"ws1"_s;
    const QList<FoundDocument> found = findModelDocuments(page);
    QCOMPARE(found.size(), 2);
    const QList<BlockSpan> expected{{0, 0, 8}, {1, 0, 5}, {2, 2, 6}, {2, 12, 6}};
    QCOMPARE(found[0].sources, expected);
    for (qsizetype i = 0; i < found[0].sources.size(); ++i) {
        const BlockSpan &s = found[0].sources[i];
        QCOMPARE(page[s.block].text.mid(s.start, s.length), found[0].document.paragraphs[i].text);
    }
    QCOMPARE(found[0].anchor, u"ws1"_s);
    QCOMPARE(found[0].endBlock, 3);
    QCOMPARE(found[1].firstBlock, 3);
    QCOMPARE(found[1].endBlock, 5);
}

QTEST_GUILESS_MAIN(PageBlocksTest)
#include "tst_pageblocks.moc"
