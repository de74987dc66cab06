// SPDX-License-Identifier: GPL-3.0-or-later
// The clipboard's two forms of a model document: styled HTML and plain text.
#include "document/clipboardformat.h"
#include "document/modeldocument.h"

#include <QRegularExpression>
#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;
using Role = Paragraph::Role;

namespace {

ModelDocument sample()
{
    ModelDocument doc;
    doc.heading = u"民事裁定书 <准许撤诉>"_s;
    doc.paragraphs = {
        {Role::Court, u"××××人民法院"_s, {}},
        {Role::CaseNo, u"（××××）……民初……号"_s, {}},
        {Role::Body, u"原告<script>x</script>&  撤诉。"_s, {}},
        {Role::Plain, u"×××："_s, {}},
        {Role::Sign, u"审判长　×××"_s, {}},
        {Role::Table, {}, {{u"a"_s, u"<b>"_s}}},
    };
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
    QTest::newRow("court_centredBold") << 0 << u"××××人民法院"_s
                                       << QStringList{u"text-align:center"_s, u"font-weight:bold"_s, u"font-size:22pt"_s};
    QTest::newRow("case number_right") << 1 << u"（××××）……民初……号"_s << QStringList{u"text-align:right"_s};
    QTest::newRow("body_indentedTwoCharacters") << 2 << u"原告&lt;script&gt;x&lt;/script&gt;&amp; 撤诉。"_s
                                                << QStringList{u"text-indent:32pt"_s, u"font-size:16pt"_s};
    QTest::newRow("addressee_noIndent") << 3 << u"×××："_s << QStringList{u"text-align:left"_s};
    QTest::newRow("signature_rightWithFullWidthSpace") << 4 << u"审判长　×××"_s << QStringList{u"text-align:right"_s};
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

QTEST_APPLESS_MAIN(ClipboardFormatTest)
#include "tst_clipboardformat.moc"
