// SPDX-License-Identifier: GPL-3.0-or-later
// A model document as the clipboard carries it: styled HTML that needs no style
// sheet, and plain text.
#include "document/clipboardformat.h"
#include "document/modeldocument.h"

#include <QRegularExpression>
#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;
using Role = Paragraph::Role;

namespace {

// One paragraph of the sample and what the clipboard's HTML must make of it:
// its content, escaped, and what its style says among others.
struct Line { const char *name; Role role; QString text, html; QStringList styles; };

// Markup in the body, to be shown and never followed.
const QList<Line> Lines = {
    {"court_centredBold", Role::Court, u"××××人民法院"_s, u"××××人民法院"_s,
     {u"text-align:center"_s, u"font-weight:bold"_s, u"font-size:22pt"_s}},
    {"case number_right", Role::CaseNo, u"（××××）……民初……号"_s, u"（××××）……民初……号"_s, {u"text-align:right"_s}},
    {"body_indentedTwoCharacters", Role::Body, u"原告<script>x</script>&  撤诉。"_s,
     u"原告&lt;script&gt;x&lt;/script&gt;&amp; 撤诉。"_s, {u"text-indent:32pt"_s, u"font-size:16pt"_s}},
    {"addressee_noIndent", Role::Plain, u"×××："_s, u"×××："_s, {u"text-align:left"_s}},
    {"signature_rightWithFullWidthSpace", Role::Sign, u"审判长　×××"_s, u"审判长　×××"_s, {u"text-align:right"_s}},
};

// The lines above, with markup in the heading and a cell too.
ModelDocument sample()
{
    ModelDocument doc;
    doc.heading = u"民事裁定书 <准许撤诉>"_s;
    for (const Line &line : Lines)
        doc.paragraphs.append({line.role, line.text, {}});
    doc.paragraphs.append({Role::Table, {}, {{u"a"_s, u"<b>"_s}}});
    return doc;
}

} // namespace

class ClipboardFormatTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void html_data();
    void html();
    void html_escapesEverythingAndNeedsNoStyleSheet();
    void text_keepsIndentAndFullWidthSpaces();
};

void ClipboardFormatTest::html_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QStringList>("styles");
    for (int i = 0; i < Lines.size(); ++i)
        QTest::newRow(Lines.at(i).name) << i << Lines.at(i).html << Lines.at(i).styles;
}

void ClipboardFormatTest::html()
{
    QFETCH(int, index);
    QFETCH(QString, content);
    QFETCH(QStringList, styles);
    static const QRegularExpression paragraph(u"<p style=\"([^\"]*)\">([^<]*)</p>"_s);
    QList<QRegularExpressionMatch> found;
    auto it = paragraph.globalMatch(clipboardHtml(sample()));
    while (it.hasNext())
        found.append(it.next());
    QCOMPARE(found.size(), 5);
    QCOMPARE(found.at(index).captured(2), content);
    const QString style = found.at(index).captured(1);
    for (const QString &s : styles)
        QVERIFY2(style.contains(s), qPrintable(style));
    QVERIFY(style.contains(u"FangSong"_s) || style.contains(u"宋体"_s));
    if (index != 2)
        QVERIFY2(!style.contains(u"text-indent"_s), qPrintable(style));
}

void ClipboardFormatTest::html_escapesEverythingAndNeedsNoStyleSheet()
{
    const QString html = clipboardHtml(sample());
    QVERIFY(!html.contains(u"<script"_s));
    QVERIFY(!html.contains(u"<b>"_s));
    QVERIFY(html.contains(u"<title>民事裁定书 &lt;准许撤诉&gt;</title>"_s));
    QVERIFY(html.contains(u"border:1px solid #000"_s));
    QVERIFY(!html.contains(u"class="_s));
    QVERIFY(!html.contains(u"<link"_s));
}

void ClipboardFormatTest::text_keepsIndentAndFullWidthSpaces()
{
    QCOMPARE(clipboardText(sample()),
             u"××××人民法院\n（××××）……民初……号\n　　原告<script>x</script>& 撤诉。\n×××：\n审判长　×××\na\t<b>\n"_s);
}

QTEST_GUILESS_MAIN(ClipboardFormatTest)
#include "tst_clipboardformat.moc"
