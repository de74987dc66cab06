// SPDX-License-Identifier: GPL-3.0-or-later
// Replays the fuzzer's seeds and kept crashes, and runs the same checks on seeded random inputs.
#include "searchproperties.h"
#include "search/indexscan.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;

class SearchPropertiesTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void replay_data();
    void replay();
    void randomInputs();
};

void SearchPropertiesTest::replay_data()
{
    QTest::addColumn<QString>("path");
    for (const char *folder : {JUANZONG_FUZZ_CORPUS, JUANZONG_FUZZ_REGRESSIONS}) {
        const QDir dir(QString::fromLocal8Bit(folder));
        for (const QFileInfo &file : dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name)) {
            if (file.fileName() != u".gitkeep")
                QTest::newRow(qPrintable(dir.dirName() + u'/' + file.fileName())) << file.filePath();
        }
    }
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
