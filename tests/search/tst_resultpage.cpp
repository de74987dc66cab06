// SPDX-License-Identifier: GPL-3.0-or-later
// Entries of the result page: the fields of a line, escaped, and passed through as GBK.
#include "search/gbkcodec.h"
#include "search/resultpage.h"

#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;

class ResultPageTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void escaped_data();
    void escaped();
    void entry_data();
    void entry();
    void keyword_isEscapedAfterTheDash_data();
    void keyword_isEscapedAfterTheDash();
    void pageTakenInPieces_isThePageWhole();

private:
    QByteArray gbk(const QString &text) const
    {
        QByteArray bytes;
        m_codec->appendHtml(bytes, text);
        return bytes;
    }
    const GbkCodec *m_codec = nullptr;
};

void ResultPageTest::initTestCase()
{
    m_codec = GbkCodec::system();
    QVERIFY(m_codec);
}

void ResultPageTest::escaped_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QByteArray>("html");
    QTest::newRow("plain") << "a.html#ws1"_ba << "a.html#ws1"_ba;
    QTest::newRow("all five") << "&<>\"'"_ba << "&amp;&lt;&gt;&quot;&#39;"_ba;
    QTest::newRow("attribute breakout") << "' onmouseover='x"_ba << "&#39; onmouseover=&#39;x"_ba;
    QTest::newRow("existing entity escaped again") << "&amp;"_ba << "&amp;amp;"_ba;
    QTest::newRow("chinese passes through") << "\xD6\xD0\xCE\xC4"_ba << "\xD6\xD0\xCE\xC4"_ba;
    QTest::newRow("trail byte like ASCII passes through") << "\x81\x40"_ba << "\x81\x40"_ba;
    QTest::newRow("euro sign") << "\x80"_ba << "\x80"_ba;
    QTest::newRow("malformed lead byte becomes a reference") << "\x81<"_ba << "&#65533;&lt;"_ba;
    QTest::newRow("lead byte at the end") << "a\xD6"_ba << "a&#65533;"_ba;
}

void ResultPageTest::escaped()
{
    QFETCH(QByteArray, field);
    QFETCH(QByteArray, html);
    QByteArray out = "x";
    ResultPage::appendEscaped(*m_codec, out, field);
    QCOMPARE(out, "x" + html);
}

void ResultPageTest::entry_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("entry"); // empty: no entry, not counted
    QTest::newRow("two fields") << u"a.html\">民事裁定书"_s
                                << u"<li><a title='民事裁定书' target='_self' href='a.html'>民事裁定书</a></li>"_s;
    QTest::newRow("three fields drop the rest")
        << u"a.html\">T\">rest"_s << u"<li><a title='T' target='_self' href='a.html'>T</a></li>"_s;
    QTest::newRow("empty title") << u"a.html\">"_s << u"<li><a title='' target='_self' href='a.html'></a></li>"_s;
    QTest::newRow("empty target") << u"\">T"_s << u"<li><a title='T' target='_self' href=''>T</a></li>"_s;
    QTest::newRow("markup in title and target")
        << u"x'><script>\">A&B <b>"_s
        << u"<li><a title='A&amp;B &lt;b&gt;' target='_self' href='x&#39;&gt;&lt;script&gt;'>A&amp;B &lt;b&gt;</a></li>"_s;
    QTest::newRow("no delimiter") << u"a.html T"_s << QString();
    QTest::newRow("quote without >") << u"a.html\" T"_s << QString();
}

void ResultPageTest::entry()
{
    QFETCH(QString, line);
    QFETCH(QString, entry);
    ResultPage page(*m_codec, u"k");
    const QByteArray head = page.pending().toByteArray();
    QCOMPARE(page.addLine(gbk(line)), !entry.isEmpty());
    QCOMPARE(page.hits(), entry.isEmpty() ? 0 : 1);
    QCOMPARE(page.pending().toByteArray(), head + gbk(entry));
}

void ResultPageTest::keyword_isEscapedAfterTheDash_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QByteArray>("shown");
    QTest::newRow("tag") << u"<b>"_s << "&lt;b&gt;"_ba;
    QTest::newRow("attribute breakout") << u"' onmouseover='"_s << "&#39; onmouseover=&#39;"_ba;
    QTest::newRow("spaces kept") << u"  "_s << "  "_ba;
    QTest::newRow("character GBK lacks") << u"😀"_s << "&#128512;"_ba;
    QTest::newRow("chinese") << u"裁定"_s << gbk(u"裁定"_s);
}

void ResultPageTest::keyword_isEscapedAfterTheDash()
{
    QFETCH(QString, keyword);
    QFETCH(QByteArray, shown);
    ResultPage page(*m_codec, keyword);
    const QByteArray tail = gbk(u"关键词—"_s) + shown + "</div></div><div class='sec_list'> <ul>";
    QVERIFY(page.pending().endsWith(tail));
}

void ResultPageTest::pageTakenInPieces_isThePageWhole()
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

QTEST_GUILESS_MAIN(ResultPageTest)
#include "tst_resultpage.moc"
