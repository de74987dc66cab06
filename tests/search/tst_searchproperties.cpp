// SPDX-License-Identifier: GPL-3.0-or-later
// The fast line matcher: on the cases that trip a byte search, and held to the plain
// rule "decode the line, then QString::contains" on the fuzzer's inputs and random lines.
#include "files.h"
#include "searchproperties.h"
#include "search/gbkcodec.h"
#include "search/indexscan.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;

class SearchPropertiesTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void matches_data();
    void matches();
    void scanIndex_data();
    void scanIndex();
    void replay_data();
    void replay();
    void randomInputs();

private:
    QByteArrayList matchedLines(const QString &keyword, QByteArrayView index) const;
    const GbkCodec *m_codec = nullptr;
};

void SearchPropertiesTest::initTestCase()
{
    m_codec = GbkCodec::system();
    QVERIFY(m_codec);
}

QByteArrayList SearchPropertiesTest::matchedLines(const QString &keyword, QByteArrayView index) const
{
    const KeywordMatcher matcher(*m_codec, keyword);
    QByteArrayList lines;
    qsizetype from = 0;
    QByteArrayView line;
    while (matcher.nextMatch(index, &from, &line))
        lines.append(line.toByteArray());
    return lines;
}

void SearchPropertiesTest::matches_data()
{
    QTest::addColumn<QByteArray>("index");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QByteArrayList>("lines");
    // 0x81 0x40 is 丂: its trail byte is '@'. 0xB0 0x41 is one character too.
    QTest::newRow("trail byte is not an ASCII character") << "\x81\x40\r\nx@\r\n"_ba << u"@"_s << QByteArrayList{"x@"};
    QTest::newRow("trail byte 'A' is not 'A'") << "\xB0\x41\n"_ba << u"A"_s << QByteArrayList{};
    QTest::newRow("pair straddling characters is no hit")
        << "\xD6\xD0\xCE\xC4\n"_ba << m_codec->decode("\xD0\xCE") << QByteArrayList{};
    QTest::newRow("lone lead byte leaves the quote") << "\x81\">t\n"_ba << u"\">"_s << QByteArrayList{"\x81\">t"};
    QTest::newRow("keyword in the target only") << "a.html\">T\nb.txt\">U\n"_ba << u"html"_s
                                                << QByteArrayList{"a.html\">T"};
    QTest::newRow("letter case counts") << "a.html\">T\n"_ba << u"HTML"_s << QByteArrayList{};
    QTest::newRow("line counted once") << "aa aa\n"_ba << u"aa"_s << QByteArrayList{"aa aa"};
    QTest::newRow("CR LF is not part of the line") << "ab\r\nc\r\n"_ba << u"b\r"_s << QByteArrayList{};
    QTest::newRow("lone CR inside a line is") << "a\rb\n"_ba << u"\rb"_s << QByteArrayList{"a\rb"};
    QTest::newRow("last line without a line end") << "x\nyz"_ba << u"z"_s << QByteArrayList{"yz"};
    QTest::newRow("CR at the very end is a line end") << "yz\r"_ba << u"z"_s << QByteArrayList{"yz"};
    QTest::newRow("never across lines") << "ab\ncd\n"_ba << u"b\nc"_s << QByteArrayList{};
    QTest::newRow("replacement character finds malformed bytes")
        << "ok\n\xFE\"x\n"_ba << u"\uFFFD\""_s << QByteArrayList{"\xFE\"x"};
    QTest::newRow("euro sign by its single byte") << "\x80\n"_ba << u"€"_s << QByteArrayList{"\x80"};
    QTest::newRow("character GBK lacks matches nothing") << "a\n"_ba << u"a😀"_s << QByteArrayList{};
    QTest::newRow("spaces") << "a b\na  b\n"_ba << u"  "_s << QByteArrayList{"a  b"};
    const QByteArray falseHits = "x\">"_ba + QByteArray("\x81\x41").repeated(200);
    QTest::newRow("only false hits in a long line") << falseHits + "\n"_ba << u"A"_s << QByteArrayList{};
    QTest::newRow("real hit after false hits") << falseHits + "A\n"_ba << u"A"_s << QByteArrayList{falseHits + "A"};
    QTest::newRow("real hit in the line after false hits")
        << falseHits + "\nyA\n"_ba + falseHits << u"A"_s << QByteArrayList{"yA"};
    // Far enough from both ends of the buffer that the vector loops, not their tails, find it.
    QTest::newRow("hit inside a long line") << "x"_ba.repeated(70) + "ABC" + "y"_ba.repeated(70) << u"ABC"_s
                                            << QByteArrayList{"x"_ba.repeated(70) + "ABC" + "y"_ba.repeated(70)};
    QTest::newRow("the keyword's ends further apart are no hit")
        << "x"_ba.repeated(70) + "ABxxC" + "y"_ba.repeated(70) << u"ABC"_s << QByteArrayList{};
    QTest::newRow("two-byte keyword after false hits")
        << "\xB0\x41\x42"_ba.repeated(40) + "\nAB\n"_ba << u"AB"_s << QByteArrayList{"AB"};
}

void SearchPropertiesTest::matches()
{
    QFETCH(QByteArray, index);
    QFETCH(QString, keyword);
    QFETCH(QByteArrayList, lines);
    QCOMPARE(matchedLines(keyword, index), lines);
}

void SearchPropertiesTest::scanIndex_data()
{
    QTest::addColumn<qsizetype>("chunkSize");
    QTest::newRow("whole file in one read") << qsizetype(1 << 20);
    QTest::newRow("lines cut by every read") << qsizetype(7);
    QTest::newRow("one byte a read") << qsizetype(1);
}

void SearchPropertiesTest::scanIndex()
{
    QFETCH(qsizetype, chunkSize);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"alllist.txt"_s);
    // Every third line holds the keyword, so hits fall on both sides of reads.
    QByteArray index;
    QByteArrayList marked;
    for (int i = 0; i < 200; ++i) {
        QByteArray line = "p" + QByteArray::number(i) + ".html\">\xD6\xD0" + QByteArray(i % 23, 'x');
        if (i % 3 == 0) {
            line += "\xCE\xC4";
            marked.append(line);
        }
        index += line + "\r\n";
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(index);
    file.close();

    QByteArrayList found;
    const KeywordMatcher matcher(*m_codec, u"文"_s);
    const QString reason = Juanzong::scanIndex(
        path, matcher, [&found](QByteArrayView line) { found.append(line.toByteArray()); }, chunkSize);
    QCOMPARE(reason, QString());
    QCOMPARE(found, marked);
}

void SearchPropertiesTest::replay_data()
{
    TestFiles::fuzzInputRows({JUANZONG_FUZZ_CORPUS, JUANZONG_FUZZ_REGRESSIONS});
    QVERIFY2(QDir(QString::fromLocal8Bit(JUANZONG_FUZZ_CORPUS)).count() > 2, "the fuzz seeds are missing");
}

void SearchPropertiesTest::replay()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(SearchProperties::check(file.readAll()), QString());
}

void SearchPropertiesTest::randomInputs()
{
    QRandomGenerator random(42);
    // The pieces that trip a byte search: pairs whose trail byte looks like
    // ASCII, malformed bytes, stray CRs, delimiters; and now and then any byte.
    const QByteArrayList pieces = {"a", "\">", "\r\n", "\n", "\r", "html", "\xD6\xD0", "\xCE\xC4", "\x81\x40", "\x81",
                                   "\x80", "\xFF", "\xFE", "\x7F", "'", "&", "<", ">", "\xB0\x41", "A", "@", " ", "\"", "?"};
    for (int round = 0; round < 3000; ++round) {
        QByteArray data;
        const int keywordPieces = random.bounded(1, 4);
        QByteArray keyword;
        for (int i = 0; i < keywordPieces; ++i)
            keyword += pieces[random.bounded(int(pieces.size()))];
        data.append(char(qMin(keyword.size(), qsizetype(31)))).append(keyword.left(31));
        for (int i = random.bounded(0, 120); i > 0; --i) {
            const QByteArray &piece = pieces[random.bounded(int(pieces.size()))];
            data += piece == "?" ? QByteArray(1, char(random.bounded(256))) : piece;
        }
        const QString problem = SearchProperties::check(data);
        QVERIFY2(problem.isEmpty(), qPrintable(problem + u" for input "_s + QString::fromLatin1(data.toHex())));
    }
}

// Once with the widest vectors the processor has, once more with SSE2 alone,
// so that both byte searches run wherever the tests do.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    SearchPropertiesTest test;
    const int widest = QTest::qExec(&test, argc, argv);
    setScanVectors(ScanVectors::Sse2);
    return widest | QTest::qExec(&test, argc, argv);
}
#include "tst_searchproperties.moc"
