// SPDX-License-Identifier: GPL-3.0-or-later
// The part each line of a template page plays, told from the line itself, so
// that a batch's Word files are laid out as the single export lays them out.
#include "casefile/templatedocuments.h"

#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;

using Role = Paragraph::Role;

class TemplateDocumentsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void roles_data();
    void roles();
};

void TemplateDocumentsTest::roles_data()
{
    QTest::addColumn<QString>("body"); // inside one <div class="ws">, after its label
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QList<int>>("roles");
    const QString judgment = u"<p>××××人民法院</p><p>民事判决书</p><p>（××××）……民初……号</p>"
                             u"<p>原告：×××。</p><p>审判长　×××</p><p>二〇××年××月××日</p><p>（院印）</p>"
                             u"<p>书记员　×××</p>"_s;
    QTest::newRow("judgment") << judgment << u"民事判决书"_s
                              << QList<int>{int(Role::Court), int(Role::DocType), int(Role::CaseNo), int(Role::Body),
                                            int(Role::Sign), int(Role::Date), int(Role::Sign), int(Role::Sign)};
    // A party's own paper: no court above it, the court it goes to at the end,
    // then the notes on writing it, which are not part of it.
    QTest::newRow("complaint") << u"<p>民事起诉状</p><p>原告：×××</p><p>此致</p><p>××××人民法院</p>"
                                  u"<div class=\"sign\"><p>具状人（签名或者盖章）</p><p>××××年××月××日</p></div>"
                                  u"<div class=\"note\"><p>说　明</p><ol><li>起诉状副本按被告人数提交。</li></ol></div>"_s
                               << u"民事起诉状"_s
                               << QList<int>{int(Role::DocType), int(Role::Body), int(Role::Plain), int(Role::Plain),
                                             int(Role::Sign), int(Role::Date)};
    QTest::newRow("record without a court line")
        << u"<p>训诫笔录</p><p>（××××）……民初……号</p><p>时间：××××年××月××日</p>"_s << u"训诫笔录"_s
        << QList<int>{int(Role::DocType), int(Role::CaseNo), int(Role::Body)};
}

void TemplateDocumentsTest::roles()
{
    QFETCH(QString, body);
    QFETCH(QString, heading);
    QFETCH(QList<int>, roles);
    const QString page = u"<html><head><meta charset=\"utf-8\"><title>t</title></head><body><p>页面说明</p>"
                         u"<div class=\"ws\" id=\"ws1\"><div class=\"ws-label\">范本一　"_s
                         + heading + u"</div>" + body + u"<p class=\"totop\">返回本页目录</p></div></body></html>";
    const QList<TemplateDocument> found = templateDocuments(page.toUtf8());
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.constFirst().anchor, u"ws1"_s);
    QCOMPARE(found.constFirst().document.heading, heading);
    QList<int> got;
    for (const Paragraph &p : found.constFirst().document.paragraphs)
        got.append(int(p.role));
    QCOMPARE(got, roles);
}

QTEST_GUILESS_MAIN(TemplateDocumentsTest)
#include "tst_templatedocuments.moc"
