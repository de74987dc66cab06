// SPDX-License-Identifier: GPL-3.0-or-later
// The compiled-in catalogue, a tree the view can build in one pass, and the pages
// its keys stand for.
#include "core/catalogue.h"
#include "core/contentpaths.h"

#include <QSet>
#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;

class CatalogueTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parentsComeFirst_andGroupsAreExactlyTheNodesWithChildren();
    void pageOf_data();
    void pageOf();
    void keyOfPage_data();
    void keyOfPage();
};

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
