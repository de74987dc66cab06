// SPDX-License-Identifier: GPL-3.0-or-later
// The title search's result page: its entries built from the index's lines in
// GBK, and a large page taken to disk piece by piece.
#include "gbkhtml.h"

#include "search/gbkcodec.h"
#include "search/titleresultpage.h"

#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;

class TitleResultPageTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void entry_data();
    void entry();
    void pageTakenInPieces_isThePageWhole();

private:
    static QByteArray gbk(const QString &text) { return Testing::gbkHtml(text); }
    const GbkCodec *m_codec = nullptr;
};

void TitleResultPageTest::initTestCase()
{
    m_codec = GbkCodec::system();
    QVERIFY2(m_codec, "the system has no GBK converter");
}

void TitleResultPageTest::entry_data()
{
    // Lines in GBK bytes: raw pairs go through as they are, malformed bytes become references.
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("entry"); // empty: no entry, not counted
    QTest::newRow("two fields") << gbk(u"a.html#ws1\">民事裁定书"_s)
                                << u"<li><a title='民事裁定书' target='_self' href='a.html#ws1'>民事裁定书</a></li>"_s;
    QTest::newRow("three fields_restDropped")
        << "a.html\">T\">rest"_ba << u"<li><a title='T' target='_self' href='a.html'>T</a></li>"_s;
    QTest::newRow("empty title") << "a.html\">"_ba << u"<li><a title='' target='_self' href='a.html'></a></li>"_s;
    QTest::newRow("empty target") << "\">T"_ba << u"<li><a title='T' target='_self' href=''>T</a></li>"_s;
    QTest::newRow("markup in title and target_escaped")
        << "x'><script>\">&amp; <b> \"'"_ba
        << u"<li><a title='&amp;amp; &lt;b&gt; &quot;&#39;' target='_self' href='x&#39;&gt;&lt;script&gt;'>"
           u"&amp;amp; &lt;b&gt; &quot;&#39;</a></li>"_s;
    QTest::newRow("trail byte like ASCII_onePair") << "a\">\x81\x40<"_ba
                                                 << u"<li><a title='丂&lt;' target='_self' href='a'>丂&lt;</a></li>"_s;
    QTest::newRow("euro sign_itsSingleByte") << "a\">\x80"_ba << u"<li><a title='€' target='_self' href='a'>€</a></li>"_s;
    QTest::newRow("malformed lead byte_replacementReference")
        << "\x81<\">a\xD6"_ba
        << u"<li><a title='a&#65533;' target='_self' href='&#65533;&lt;'>a&#65533;</a></li>"_s;
    QTest::newRow("no delimiter") << "a.html T"_ba << QString();
    QTest::newRow("quote without >") << "a.html\" T"_ba << QString();
}

void TitleResultPageTest::entry()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, entry);
    ResultPage page(*m_codec, u"k");
    const QByteArray head = page.pending().toByteArray();
    page.addLine(line);
    QCOMPARE(page.hits(), entry.isEmpty() ? 0 : 1);
    QCOMPARE(page.pending().toByteArray(), head + gbk(entry));
}

void TitleResultPageTest::pageTakenInPieces_isThePageWhole()
{
    // A large page goes to disk piece by piece: the pieces must add up to the page.
    const QStringList lines = {u"a.html\">甲"_s, u"b.html\">乙"_s, u"no delimiter"_s, u"c.html\">丙"_s};
    ResultPage whole(*m_codec, u"k");
    ResultPage pieces(*m_codec, u"k");
    QByteArray taken;
    for (const QString &line : lines) {
        whole.addLine(gbk(line));
        pieces.addLine(gbk(line));
        taken += pieces.pending();
        pieces.clearPending();
    }
    whole.finish();
    pieces.finish();
    taken += pieces.pending();
    QCOMPARE(taken, whole.pending().toByteArray());
    QCOMPARE(pieces.hits(), 3);
    const QByteArray foot = "<span class='num'>3</span>" + gbk(u"篇"_s)
        + "</div><div class='fr page'></div></div></div></div></div></div></div></body></html>";
    QVERIFY(taken.endsWith(foot));
}

QTEST_GUILESS_MAIN(TitleResultPageTest)
#include "tst_titleresultpage.moc"
