// SPDX-License-Identifier: GPL-3.0-or-later
// Replays the fuzzer's seeds and kept crashes, and runs the same checks on seeded random inputs.
#include "searchproperties.h"

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
    const QByteArrayList pieces = {"a", "\">", "\r\n", "\n", "\r", "html", "\xD6\xD0", "\xCE\xC4", "\x81\x40", "\x81",
                                   "\x80", "\xFF", "'", "&", "<", ">", "\xB0\x41", "A", "@", " "};
    for (int round = 0; round < 3000; ++round) {
        QByteArray data;
        const int keywordPieces = random.bounded(1, 4);
        QByteArray keyword;
        for (int i = 0; i < keywordPieces; ++i)
            keyword += pieces[random.bounded(int(pieces.size()))];
        data.append(char(qMin(keyword.size(), qsizetype(31)))).append(keyword.left(31));
        for (int i = random.bounded(0, 60); i > 0; --i)
            data += pieces[random.bounded(int(pieces.size()))];
        const QString problem = SearchProperties::check(data);
        QVERIFY2(problem.isEmpty(), qPrintable(problem + u" for input "_s + QString::fromLatin1(data.toHex())));
    }
}

QTEST_GUILESS_MAIN(SearchPropertiesTest)
#include "tst_searchproperties.moc"
