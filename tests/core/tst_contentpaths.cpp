// SPDX-License-Identifier: GPL-3.0-or-later
// Path rules of the content folder: plain concatenation onto the program directory.
#include "core/contentpaths.h"

#include <QDir>
#include <QTest>

using namespace Juanzong;

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
    QTest::addColumn<QString>("programDir");
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("expected");

    const QString s = QDir::separator();
    const QString dir = QStringLiteral("/opt/juanzong");
    QTest::newRow("start page") << dir << u"start"_qs << QString(dir + s + u"ws" + s + u"wszzgf.html");
    QTest::newRow("about page") << dir << u"about"_qs << QString(dir + s + u"ws" + s + u"index.html");
    QTest::newRow("leaf key verbatim")
        << dir << u"leaf:juanzongfanben-102"_qs << QString(dir + s + u"ws" + s + u"juanzongfanben-102.html");
    QTest::newRow("leaf key keeps its case")
        << dir << u"leaf:Wszzgf"_qs << QString(dir + s + u"ws" + s + u"Wszzgf.html");
    QTest::newRow("index") << dir << u"index"_qs << QString(dir + s + u"ws" + s + u"alllist.txt");
    QTest::newRow("template") << dir << u"template"_qs << QString(dir + s + u"ws" + s + u"searchmoban.txt");
    QTest::newRow("intermediate") << dir << u"intermediate"_qs << QString(dir + s + u"ws" + s + u"search.txt");
    QTest::newRow("result") << dir << u"result"_qs << QString(dir + s + u"ws" + s + u"search.html");
    QTest::newRow("skin uses a forward slash") << dir << u"skin"_qs << u"/opt/juanzong/black.she"_qs;
    // At the root the system reports the directory with its separator, so the
    // joined paths carry a doubled one: still the same files.
    QTest::newRow("root doubles the separator")
        << QString(s) << u"start"_qs << QString(s + s + u"ws" + s + u"wszzgf.html");
    QTest::newRow("root skin") << QString(s) << u"skin"_qs << QString(s + u"/black.she");
    QTest::newRow("no normalisation of dots")
        << u"/a/./b/.."_qs << u"about"_qs << QString(u"/a/./b/.." + s + u"ws" + s + u"index.html");
}

void ContentPathsTest::paths()
{
    QFETCH(QString, programDir);
    QFETCH(QString, which);
    QFETCH(QString, expected);

    QString actual;
    if (which == u"start")
        actual = ContentPaths::startPage(programDir);
    else if (which == u"about")
        actual = ContentPaths::aboutPage(programDir);
    else if (which.startsWith(u"leaf:"))
        actual = ContentPaths::leafPage(programDir, which.mid(5));
    else if (which == u"index")
        actual = ContentPaths::searchIndex(programDir);
    else if (which == u"template")
        actual = ContentPaths::searchTemplate(programDir);
    else if (which == u"intermediate")
        actual = ContentPaths::intermediatePage(programDir);
    else if (which == u"result")
        actual = ContentPaths::resultPage(programDir);
    else if (which == u"skin")
        actual = ContentPaths::skinFile(programDir);
    QCOMPARE(actual, expected);
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
