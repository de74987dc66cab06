// SPDX-License-Identifier: GPL-3.0-or-later
// The model documents of pages other programs wrote (LibreOffice's HTML and
// XHTML of python-docx files, Word's filtered markup, a court web site's
// article), as the index reads them, against the table every reader of pages is
// checked with; and the sample's documents, which must stay as they are.
#include "document/placeholders.h"
#include "fulltext/fulltextindex.h"
#include "fulltext/pagetext.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;

class CorpusTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void index_data();
    void index();
    void sample_data();
    void sample();
    void foreignDocuments_foundAndOffered();
};

namespace {

const QString Written = QStringLiteral(JUANZONG_CORPUS_WRITTEN);
const QString Generated = QStringLiteral(JUANZONG_CORPUS_GENERATED);

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// "heading | first | last | roles | blanks" per document.
QString line(const QString &heading, const QString &first, const QString &last, const QStringList &roles,
             const QStringList &blanks)
{
    return QStringList{heading, first, last, roles.join(u' '), blanks.join(u'/')}.join(u" | "_s);
}

QString textOf(const Paragraph &p)
{
    return p.role == Paragraph::Role::Table ? p.rows.value(0).value(0) : p.text;
}

QStringList describe(const QList<FoundDocument> &found)
{
    QStringList out;
    for (const FoundDocument &d : found) {
        const QList<Paragraph> &ps = d.document.paragraphs;
        QStringList roles;
        QStringList blanks;
        for (const Paragraph &p : ps) {
            roles.append(roleName(p.role));
            for (const Placeholder &blank : findPlaceholders(p.text))
                blanks.append(blank.text);
        }
        out.append(line(d.heading, textOf(ps.constFirst()), textOf(ps.constLast()), roles, blanks));
    }
    return out;
}

QStringList strings(const QJsonValue &value)
{
    QStringList out;
    for (const QJsonValue &v : value.toArray())
        out.append(v.toString());
    return out;
}

} // namespace

void CorpusTest::index_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("expected");
    const QJsonObject table = QJsonDocument::fromJson(bytesOf(Written + u"/expected.json"_s)).object();
    QVERIFY(!table.value(u"pages").toArray().isEmpty());
    for (const QJsonValue &entry : table.value(u"pages").toArray()) {
        const QJsonObject object = entry.toObject();
        QStringList expected;
        for (const QJsonValue &doc : object.value(u"documents").toArray()) {
            const QJsonObject d = doc.toObject();
            expected.append(line(d.value(u"heading").toString(), d.value(u"first").toString(),
                                 d.value(u"last").toString(), strings(d.value(u"roles")), strings(d.value(u"blanks"))));
        }
        const QString folder = object.value(u"made").toString() == u"generated" ? Generated : Written;
        for (const QString &page : strings(object.value(u"pages")))
            QTest::newRow(qPrintable(page)) << folder + u'/' + page << expected;
    }
}

void CorpusTest::index()
{
    QFETCH(QString, path);
    QFETCH(QStringList, expected);
    const QByteArray bytes = bytesOf(path);
    QVERIFY2(!bytes.isEmpty(), qPrintable(path));
    QCOMPARE(describe(findModelDocuments(readPageBlocks(bytes).blocks)), expected);
    // The index's units are the same documents, each under an anchor of its own.
    QStringList headings;
    QStringList anchors;
    for (const PageDocument &d : extractPageText(bytes).documents) {
        if (d.anchor.isEmpty())
            continue;
        QVERIFY(!anchors.contains(d.anchor));
        anchors.append(d.anchor);
        headings.append(d.heading);
    }
    QStringList expectedHeadings;
    for (const QString &doc : expected)
        expectedHeadings.append(doc.section(u" | "_s, 0, 0));
    QCOMPARE(headings, expectedHeadings);
}

// Read apart from the index: the sample marks each document with a div of
// class ws and its label with a div of class ws-label.
void CorpusTest::sample_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("expected");
    const QDir dir(QStringLiteral(JUANZONG_CONTENT_DIR));
    const QRegularExpression marks(uR"re(<div class="ws" id="([^"]+)">|<div class="ws-label">([^<]*)</div>)re"_s);
    const QStringList names = dir.entryList({u"*.html"_s}, QDir::Files, QDir::Name);
    QVERIFY(names.size() > 50);
    qsizetype labels = 0;
    for (const QString &name : names) {
        QStringDecoder gbk("GB18030");
        const QString html = gbk.decode(bytesOf(dir.filePath(name)));
        QStringList expected;
        QString id;
        for (auto it = marks.globalMatch(html); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            if (m.hasCaptured(1))
                id = m.captured(1);
            else
                expected.append(id + u'|' + m.captured(2));
        }
        labels += expected.size();
        QTest::newRow(qPrintable(name)) << dir.filePath(name) << expected;
    }
    QVERIFY(labels > 2 * names.size());
}

void CorpusTest::sample()
{
    QFETCH(QString, path);
    QFETCH(QStringList, expected);
    QStringList found;
    for (const PageDocument &d : extractPageText(bytesOf(path)).documents)
        if (!d.anchor.isEmpty())
            found.append(d.anchor + u'|' + d.heading);
    QCOMPARE(found, expected);
}

// A foreign page's documents are rows of their own in the results and offers
// of the type-ahead, and the text after Word's first character beyond GB 2312
// is found.
void CorpusTest::foreignDocuments_foundAndOffered()
{
    FullTextIndex index;
    for (const QString &name : {u"word-filtered.html"_s, u"court-site.html"_s})
        index.addPage(name, name, {}, extractPageText(bytesOf(Written + u'/' + name)));
    index.finish();

    struct Case
    {
        QString query;
        QString file;
        QString heading;
    };
    const Case cases[] = {
        {u"答辩意见"_s, u"court-site.html"_s, u"样式二：民事答辩状"_s},
        {u"第二审人民法院"_s, u"word-filtered.html"_s, u"样式二　民事判决书"_s},
    };
    for (const Case &c : cases) {
        const FullTextResult result = index.search(c.query);
        QCOMPARE(result.hits.size(), 1);
        const FullTextHit &hit = result.hits.front();
        QCOMPARE(hit.fileName, c.file);
        QCOMPARE(hit.heading, c.heading);
        QVERIFY(!hit.anchor.isEmpty());
        QCOMPARE(index.occurrencesBefore(c.file, hit.anchor, c.query), 0);
        bool offered = false;
        for (const Suggestion &s : index.titles().suggest(c.heading))
            offered = offered || (s.fileName == c.file && s.anchor == hit.anchor && s.title == c.heading);
        QVERIFY2(offered, qPrintable(c.heading));
    }
}

QTEST_GUILESS_MAIN(CorpusTest)
#include "tst_corpus.moc"
