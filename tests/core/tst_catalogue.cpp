// SPDX-License-Identifier: GPL-3.0-or-later
// The compiled-in catalogue against the facts it must keep.
#include "core/catalogue.h"
#include "core/contentpaths.h"

#include <QHash>
#include <QSet>
#include <QTest>

using namespace Juanzong;
using Catalogue::StartupAction;

class CatalogueTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shape();
    void parentsComeFirst_andGroupsAreExactlyTheNodesWithChildren();
    void leafKeys_areNumberedPageNames();
    void startupActions();
    void pageOf_data();
    void pageOf();
    void keyOfPage_data();
    void keyOfPage();
};

void CatalogueTest::shape()
{
    const auto rows = Catalogue::rows();
    QCOMPARE(rows.size(), 102u);

    QSet<QStringView> keys;
    int topLevel = 0;
    for (const auto &row : rows) {
        QVERIFY2(!keys.contains(row.key), qPrintable(row.key.toString()));
        keys.insert(row.key);
        QVERIFY(!row.label.isEmpty());
        if (row.parentKey.isEmpty())
            ++topLevel;
    }
    QCOMPARE(topLevel, 3);

    // Labels repeat across sections; keys never do.
    int others = 0;
    for (const auto &row : rows)
        others += row.label == u"其他";
    QCOMPARE(others, 4);
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

void CatalogueTest::leafKeys_areNumberedPageNames()
{
    int numbered = 0;
    for (const auto &row : Catalogue::rows()) {
        if (Catalogue::isCategory(row.key))
            continue;
        if (row.key == u"wszzgf")
            continue;
        QVERIFY2(row.key.startsWith(u"juanzongfanben-"), qPrintable(row.key.toString()));
        bool ok = false;
        QVERIFY(row.key.mid(15).toInt(&ok) > 0);
        QVERIFY(ok);
        ++numbered;
    }
    QCOMPARE(numbered, 90);
}

void CatalogueTest::startupActions()
{
    QStringList visible;
    QStringList expanded;
    for (const auto &row : Catalogue::rows()) {
        if (row.action == StartupAction::MakeVisible)
            visible << row.key.toString();
        else if (row.action == StartupAction::Expand)
            expanded << row.key.toString();
    }
    QCOMPARE(visible, (QStringList{u"wszzgf"_qs, u"X1"_qs, u"C1"_qs, u"juanzongfanben-5"_qs,
                                   u"juanzongfanben-101"_qs}));
    QCOMPARE(expanded, QStringList{u"D10"_qs});
    // The last node is the one the tree is scrolled to.
    QCOMPARE(Catalogue::rows().back().key, u"juanzongfanben-101");
}

void CatalogueTest::pageOf_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("hasPage");

    for (const QStringView key : Catalogue::CategoryKeys)
        QTest::addRow("group %s", qPrintable(key.toString())) << key.toString() << false;
    QTest::newRow("top-level leaf") << u"wszzgf"_qs << true;
    QTest::newRow("leaf") << u"juanzongfanben-70"_qs << true;
    QTest::newRow("case differs from a group") << u"x1"_qs << true;
    QTest::newRow("prefix of a group") << u"D1"_qs << true;
    QTest::newRow("group with a space") << u"D10 "_qs << true;
    QTest::newRow("unknown key still has a page") << u"nosuchpage"_qs << true;
}

void CatalogueTest::pageOf()
{
    QFETCH(QString, key);
    QFETCH(bool, hasPage);

    const QString dir = u"/srv/jz"_qs;
    const auto page = Catalogue::pageOf(dir, key);
    QCOMPARE(page.has_value(), hasPage);
    if (hasPage)
        QCOMPARE(*page, ContentPaths::leafPage(dir, key));
}

void CatalogueTest::keyOfPage_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("key"); // empty: no node

    const QString dir = u"/srv/jz"_qs;
    const QString root = ContentPaths::contentRoot(dir);
    QTest::newRow("leaf page") << QString(root + u"juanzongfanben-70.html") << u"juanzongfanben-70"_qs;
    QTest::newRow("start page") << QString(root + u"wszzgf.html") << u"wszzgf"_qs;
    QTest::newRow("last leaf") << QString(root + u"juanzongfanben-101.html") << u"juanzongfanben-101"_qs;
    QTest::newRow("as pageOf forms it") << *Catalogue::pageOf(dir, u"juanzongfanben-5"_qs) << u"juanzongfanben-5"_qs;
    QTest::newRow("with a dot segment") << u"/srv/jz/./ws/../ws/juanzongfanben-8.html"_qs << u"juanzongfanben-8"_qs;
    QTest::newRow("About page") << QString(root + u"index.html") << QString();
    QTest::newRow("result page") << QString(root + u"search.html") << QString();
    QTest::newRow("group named as a page") << QString(root + u"D17.html") << QString();
    QTest::newRow("number not in the catalogue") << QString(root + u"juanzongfanben-9.html") << QString();
    QTest::newRow("other suffix") << QString(root + u"juanzongfanben-70.htm") << QString();
    QTest::newRow("in a subfolder") << QString(root + u"old/juanzongfanben-70.html") << QString();
    QTest::newRow("another program's folder") << u"/srv/other/ws/juanzongfanben-70.html"_qs << QString();
    QTest::newRow("folder sharing a prefix") << u"/srv/jz/ws2/juanzongfanben-70.html"_qs << QString();
    QTest::newRow("beside the folder") << u"/srv/jz/juanzongfanben-70.html"_qs << QString();
    QTest::newRow("empty") << QString() << QString();
}

void CatalogueTest::keyOfPage()
{
    QFETCH(QString, path);
    QFETCH(QString, key);

    const auto found = Catalogue::keyOfPage(u"/srv/jz"_qs, path);
    QCOMPARE(found.value_or(QString()), key);
}

QTEST_GUILESS_MAIN(CatalogueTest)
#include "tst_catalogue.moc"
