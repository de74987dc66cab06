// SPDX-License-Identifier: GPL-3.0-or-later
// Where the content lives: the files' paths, plain concatenation onto the program
// directory.
#include "core/contentpaths.h"

#include <QDir>
#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;

class ContentPathsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void paths_data();
    void paths();
    void programDirectory_isTheExecutablesFolder();
};

void ContentPathsTest::paths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    const QString s = QDir::separator();
    const QString dir = u"/opt/juanzong"_s;
    const QString ws = dir + s + u"ws" + s;
    QTest::newRow("start page") << ContentPaths::startPage(dir) << QString(ws + u"wszzgf.html");
    QTest::newRow("about page") << ContentPaths::aboutPage(dir) << QString(ws + u"index.html");
    QTest::newRow("leaf key verbatim") << ContentPaths::leafPage(dir, u"juanzongfanben-102"_s)
                                       << QString(ws + u"juanzongfanben-102.html");
    QTest::newRow("leaf key keeps its case") << ContentPaths::leafPage(dir, u"Wszzgf"_s) << QString(ws + u"Wszzgf.html");
    QTest::newRow("index") << ContentPaths::searchIndex(dir) << QString(ws + u"alllist.txt");
    QTest::newRow("template") << ContentPaths::searchTemplate(dir) << QString(ws + u"searchmoban.txt");
    QTest::newRow("intermediate") << ContentPaths::intermediatePage(dir) << QString(ws + u"search.txt");
    QTest::newRow("result") << ContentPaths::resultPage(dir) << QString(ws + u"search.html");
    QTest::newRow("skin uses a forward slash") << ContentPaths::skinFile(dir) << u"/opt/juanzong/black.she"_s;
    // At the root the system reports the directory with its separator, so the
    // joined paths carry a doubled one: still the same files.
    QTest::newRow("root doubles the separator") << ContentPaths::startPage(s) << QString(s + s + u"ws" + s + u"wszzgf.html");
    QTest::newRow("root skin") << ContentPaths::skinFile(s) << QString(s + u"/black.she");
    QTest::newRow("no normalisation of dots")
        << ContentPaths::aboutPage(u"/a/./b/.."_s) << QString(u"/a/./b/.." + s + u"ws" + s + u"index.html");
}

void ContentPathsTest::paths()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(path, expected);
}

void ContentPathsTest::programDirectory_isTheExecutablesFolder()
{
    const QString dir = ContentPaths::programDirectory();
    QCOMPARE(QDir::fromNativeSeparators(dir), QCoreApplication::applicationDirPath());
    QVERIFY(!dir.endsWith(QDir::separator()) || QDir(dir).isRoot());
    QCOMPARE(ContentPaths::contentRoot(dir), QString(dir + QDir::separator() + u"ws" + QDir::separator()));
}

QTEST_GUILESS_MAIN(ContentPathsTest)
#include "tst_contentpaths.moc"
