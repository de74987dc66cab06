// SPDX-License-Identifier: GPL-3.0-or-later
// The model documents a batch is made from: on pages other programs wrote the
// ones the corpus table lists for every reader of pages, on the sample (whose
// look is in its style sheet) the court layout told from the lines; each under
// the anchor the full-text index gives its hits.
#include "casefile/templatedocuments.h"
#include "fulltext/pagetext.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList strings(const QJsonValue &value)
{
    QStringList out;
    for (const QJsonValue &v : value.toArray())
        out.append(v.toString());
    return out;
}

// A page of the sample's markup holding one document after its label.
QByteArray samplePage(const QString &heading, const QString &body)
{
    return (u"<html><head><meta charset=\"utf-8\"><title>t</title></head><body><p>页面说明</p>"
            u"<div class=\"ws\" id=\"ws1\"><div class=\"ws-label\">范本一　"_s
            + heading + u"</div>" + body + u"<p class=\"totop\">返回本页目录</p></div></body></html>")
        .toUtf8();
}

} // namespace

class TemplateDocumentsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void documents_data();
    void documents();
};

void TemplateDocumentsTest::documents_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QStringList>("expected"); // "heading | roles" per document
    const QString judgment = u"<p>××××人民法院</p><p>民事判决书</p><p>（××××）……民初……号</p>"
                             u"<p>原告：×××。</p><p>审判长　×××</p><p>二〇××年××月××日</p><p>（院印）</p>"
                             u"<p>书记员　×××</p>"_s;
    QTest::newRow("judgment") << samplePage(u"民事判决书"_s, judgment)
                              << QStringList{u"范本一　民事判决书 | court doctype caseno body sign date sign sign"_s};
    // A party's own paper: no court above it, the court it goes to at the end,
    // then the notes on writing it, which are not part of it.
    QTest::newRow("complaint")
        << samplePage(u"民事起诉状"_s,
                      u"<p>民事起诉状</p><p>原告：×××</p><p>此致</p><p>××××人民法院</p>"
                      u"<div class=\"sign\"><p>具状人（签名或者盖章）</p><p>××××年××月××日</p></div>"
                      u"<div class=\"note\"><p>说　明</p><ol><li>起诉状副本按被告人数提交。</li></ol></div>"_s)
        << QStringList{u"范本一　民事起诉状 | doctype body plain plain sign date"_s};
    QTest::newRow("record without a court line")
        << samplePage(u"训诫笔录"_s, u"<p>训诫笔录</p><p>（××××）……民初……号</p><p>时间：××××年××月××日</p>"_s)
        << QStringList{u"范本一　训诫笔录 | doctype caseno body"_s};

    // Pages LibreOffice, Word and a court's site wrote, and what the table every
    // reader of pages is checked with says they hold.
    const QJsonObject table = QJsonDocument::fromJson(bytesOf(QStringLiteral(JUANZONG_CORPUS_WRITTEN "/expected.json")))
                                  .object();
    QVERIFY(!table.value(u"pages").toArray().isEmpty());
    for (const QJsonValue &entry : table.value(u"pages").toArray()) {
        const QJsonObject object = entry.toObject();
        QStringList expected;
        for (const QJsonValue &doc : object.value(u"documents").toArray())
            expected.append(doc[u"heading"].toString() + u" | " + strings(doc[u"roles"]).join(u' '));
        const QString folder = object.value(u"made").toString() == u"generated"
            ? QStringLiteral(JUANZONG_CORPUS_GENERATED) : QStringLiteral(JUANZONG_CORPUS_WRITTEN);
        for (const QString &page : strings(object.value(u"pages")))
            QTest::newRow(qPrintable(page)) << bytesOf(folder + u'/' + page) << expected;
    }
}

void TemplateDocumentsTest::documents()
{
    QFETCH(QByteArray, page);
    QFETCH(QStringList, expected);
    QVERIFY(!page.isEmpty());
    const QList<TemplateDocument> found = templateDocuments(page);
    QStringList got;
    QStringList anchors;
    for (const TemplateDocument &t : found) {
        QStringList roles;
        for (const Paragraph &p : t.document.paragraphs)
            roles.append(roleName(p.role));
        got.append(t.document.heading + u" | " + roles.join(u' '));
        anchors.append(t.anchor);
    }
    QCOMPARE(got, expected);
    // A full-text hit names its document by the same anchor.
    QStringList indexed;
    for (const PageDocument &d : extractPageText(page).documents)
        if (!d.anchor.isEmpty())
            indexed.append(d.anchor);
    QCOMPARE(anchors, indexed);
}

QTEST_GUILESS_MAIN(TemplateDocumentsTest)
#include "tst_templatedocuments.moc"
