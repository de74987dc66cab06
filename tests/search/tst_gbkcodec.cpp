// SPDX-License-Identifier: GPL-3.0-or-later
// GBK as the index and the result page use it: byte grouping, malformed bytes, references
// for what GBK lacks.
#include "gbkhtml.h"

#include "search/gbkcodec.h"

#include <QRandomGenerator>
#include <QStringDecoder>
#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;

class GbkCodecTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void decode_data();
    void decode();
    void decode_agreesWithTheSystemConverter();
    void appendHtml_data();
    void appendHtml();
    void everyMappedCharacter_roundTrips();

private:
    static QByteArray gbk(const QString &text) { return Testing::gbkHtml(text); }
    const GbkCodec *m_codec = nullptr;
};

void GbkCodecTest::initTestCase()
{
    m_codec = GbkCodec::system();
    QVERIFY2(m_codec, "the system has no GBK converter");
}

void GbkCodecTest::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << "a.html\">T"_ba << u"a.html\">T"_s;
    QTest::newRow("chinese") << "\xD6\xD0\xCE\xC4"_ba << u"中文"_s;
    QTest::newRow("0x80 is the euro sign") << "\x80"_ba << u"€"_s;
    QTest::newRow("trail byte that looks like ASCII") << "\x81\x40"_ba << u"丂"_s;
    QTest::newRow("lead byte before a quote keeps the quote") << "\x81\">"_ba << u"\uFFFD\">"_s;
    QTest::newRow("lead byte at the end") << "a\xB0"_ba << u"a\uFFFD"_s;
    QTest::newRow("lead byte before DEL") << "\xB0\x7F"_ba << u"\uFFFD\x7F"_s;
    QTest::newRow("NUL stays") << QByteArray("a\0b", 3) << QString(u"a\0b"_s);
}

void GbkCodecTest::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(m_codec->decode(bytes), text);
}

void GbkCodecTest::decode_agreesWithTheSystemConverter()
{
    // The grouping of malformed bytes is ours to define; it should still be the
    // one the system converter uses, so pages read as they would elsewhere.
    QRandomGenerator random(936);
    const char pool[] = {'a', '"', '>', '\r', 'A', '@', '\x7F', '\x80', '\x81', '\xA1', '\xB0', '\xD6', '\xFE', '\xFF'};
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes;
        const int length = random.bounded(1, 12);
        for (int i = 0; i < length; ++i)
            bytes.append(random.bounded(3) == 0 ? char(random.bounded(256)) : pool[random.bounded(int(sizeof pool))]);
        // Qt's converter keeps a final lead byte back for input yet to come;
        // a closing byte makes it say what it does with it.
        bytes.append('.');
        QStringDecoder system("GBK");
        const QString expected = system.decode(bytes);
        QCOMPARE(m_codec->decode(bytes), expected);
    }
}

void GbkCodecTest::appendHtml_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << u"<b> & 'x'"_s << "<b> & 'x'"_ba;
    QTest::newRow("chinese") << u"中文"_s << "\xD6\xD0\xCE\xC4"_ba;
    QTest::newRow("euro sign") << u"€"_s << "\x80"_ba;
    QTest::newRow("control character U+0080 is no euro sign") << QString(QChar(0x80)) << "&#128;"_ba;
    QTest::newRow("latin letter GBK lacks") << u"ÿ"_s << "&#255;"_ba;
    QTest::newRow("outside the basic plane, one reference") << u"a😀b"_s << "a&#128512;b"_ba;
    QTest::newRow("replacement character") << u"\uFFFD"_s << "&#65533;"_ba;
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << "&#65533;"_ba;
}

void GbkCodecTest::appendHtml()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QByteArray out = "x";
    m_codec->appendHtml(out, text);
    QCOMPARE(out, "x" + bytes);
}

void GbkCodecTest::everyMappedCharacter_roundTrips()
{
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const char pair[] = {char(lead), char(trail)};
            const QString text = m_codec->decode(QByteArrayView(pair, 2));
            if (text.size() != 1)
                continue; // malformed: no character to round-trip
            QByteArray encoded;
            m_codec->appendHtml(encoded, text);
            QVERIFY2(!encoded.startsWith("&#"), qPrintable(QString::number(lead << 8 | trail, 16)));
            QCOMPARE(m_codec->decode(encoded), text);
            // Only the pair the encoder writes may be copied through unchanged.
            const auto *bytes = reinterpret_cast<const uint8_t *>(pair);
            QCOMPARE(m_codec->startsCanonicalPair(bytes, bytes + 2), encoded == QByteArrayView(pair, 2));
        }
    }
}

QTEST_GUILESS_MAIN(GbkCodecTest)
#include "tst_gbkcodec.moc"
