// SPDX-License-Identifier: GPL-3.0-or-later
// Where the content lives: the files' paths, plain concatenation onto the program
// directory, and the compiled-in catalogue, a tree the view can build in one pass.
#include "core/catalogue.h"
#include "core/contentpaths.h"

#include <QDir>
#include <QSet>
#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;

class CatalogueTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void paths_data();
    void paths();
    void programDirectory_isTheExecutablesFolder();
    void parentsComeFirst_andGroupsAreExactlyTheNodesWithChildren();
    void pageOf_data();
    void pageOf();
    void keyOfPage_data();
    void keyOfPage();
};

void CatalogueTest::paths_data()
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

void CatalogueTest::paths()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(path, expected);
}

void CatalogueTest::programDirectory_isTheExecutablesFolder()
{
    const QString dir = ContentPaths::programDirectory();
    QCOMPARE(QDir::fromNativeSeparators(dir), QCoreApplication::applicationDirPath());
    QVERIFY(!dir.endsWith(QDir::separator()) || QDir(dir).isRoot());
    QCOMPARE(ContentPaths::contentRoot(dir), QString(dir + QDir::separator() + u"ws" + QDir::separator()));
}

void CatalogueTest::parentsComeFirst_andGroupsAreExactlyTheNodesWithChildren()
{
    QSet<QStringView> seen;
    QSet<QStringView> parents;
    for (const auto &row : Catalogue::rows()) {
        if (!row.parentKey.isEmpty()) {
            QVERIFY2(seen.contains(row.parentKey), qPrintable(row.key.toString()));
            parents.insert(row.parentKey);
        }
        seen.insert(row.key);
    }
    const QSet<QStringView> groups(Catalogue::CategoryKeys.begin(), Catalogue::CategoryKeys.end());
    QCOMPARE(groups.size(), 11);
    QCOMPARE(parents, groups);
}

void CatalogueTest::pageOf_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("hasPage");

    for (const QStringView key : Catalogue::CategoryKeys)
        QTest::addRow("group %s", qPrintable(key.toString())) << key.toString() << false;
    QTest::newRow("top-level leaf") << u"wszzgf"_s << true;
    QTest::newRow("leaf") << u"juanzongfanben-70"_s << true;
    QTest::newRow("case differs from a group") << u"x1"_s << true;
    QTest::newRow("prefix of a group") << u"D1"_s << true;
    QTest::newRow("group with a space") << u"D10 "_s << true;
    QTest::newRow("unknown key still has a page") << u"nosuchpage"_s << true;
}

void CatalogueTest::pageOf()
{
    QFETCH(QString, key);
    QFETCH(bool, hasPage);

    const QString dir = u"/srv/jz"_s;
    const auto page = Catalogue::pageOf(dir, key);
    QCOMPARE(page.has_value(), hasPage);
    if (hasPage)
        QCOMPARE(*page, ContentPaths::leafPage(dir, key));
}

void CatalogueTest::keyOfPage_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("key"); // empty: no node

    const QString dir = u"/srv/jz"_s;
    const QString root = ContentPaths::contentRoot(dir);
    QTest::newRow("leaf page") << QString(root + u"juanzongfanben-70.html") << u"juanzongfanben-70"_s;
    QTest::newRow("start page") << QString(root + u"wszzgf.html") << u"wszzgf"_s;
    QTest::newRow("last leaf") << QString(root + u"juanzongfanben-101.html") << u"juanzongfanben-101"_s;
    QTest::newRow("as pageOf forms it") << *Catalogue::pageOf(dir, u"juanzongfanben-5"_s) << u"juanzongfanben-5"_s;
    QTest::newRow("with a dot segment") << u"/srv/jz/./ws/../ws/juanzongfanben-8.html"_s << u"juanzongfanben-8"_s;
    QTest::newRow("About page") << QString(root + u"index.html") << QString();
    QTest::newRow("result page") << QString(root + u"search.html") << QString();
    QTest::newRow("group named as a page") << QString(root + u"D17.html") << QString();
    QTest::newRow("number not in the catalogue") << QString(root + u"juanzongfanben-9.html") << QString();
    QTest::newRow("other suffix") << QString(root + u"juanzongfanben-70.htm") << QString();
    QTest::newRow("in a subfolder") << QString(root + u"old/juanzongfanben-70.html") << QString();
    QTest::newRow("another program's folder") << u"/srv/other/ws/juanzongfanben-70.html"_s << QString();
    QTest::newRow("folder sharing a prefix") << u"/srv/jz/ws2/juanzongfanben-70.html"_s << QString();
    QTest::newRow("beside the folder") << u"/srv/jz/juanzongfanben-70.html"_s << QString();
    QTest::newRow("empty") << QString() << QString();
}

void CatalogueTest::keyOfPage()
{
    QFETCH(QString, path);
    QFETCH(QString, key);

    const auto found = Catalogue::keyOfPage(u"/srv/jz"_s, path);
    QCOMPARE(found.value_or(QString()), key);
}

QTEST_GUILESS_MAIN(CatalogueTest)
#include "tst_catalogue.moc"
