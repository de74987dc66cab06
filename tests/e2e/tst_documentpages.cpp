// SPDX-License-Identifier: GPL-3.0-or-later
// The document commands on template pages other programs wrote, in the real
// view: the page script finds the documents the corpus table lists, and one
// copied and saved keeps its layout; on a hostile page, what leaves the program
// is what a reader sees and what the user typed.
#include "webenginerig.h"

#include "document/pageblocks.h"
#include "document/placeholders.h"
#include "documentui/fillpanel.h"
#include "documentui/pagescript.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

using namespace Juanzong;
using namespace Juanzong::Testing;

namespace {

const QString Written = QStringLiteral(JUANZONG_CORPUS_WRITTEN);
const QString Generated = QStringLiteral(JUANZONG_CORPUS_GENERATED);

QStringList strings(const QJsonValue &value)
{
    QStringList out;
    for (const QJsonValue &v : value.toArray())
        out.append(v.toString());
    return out;
}

// "heading | first | last | roles" per document, as the corpus table has them.
QString line(const QString &heading, const QString &first, const QString &last, const QStringList &roles)
{
    return QStringList{heading, first, last, roles.join(u' ')}.join(u" | "_s);
}

QStringList describe(const QList<FoundDocument> &found)
{
    const auto textOf = [](const Paragraph &p) {
        return p.role == Paragraph::Role::Table ? p.rows.value(0).value(0) : p.text;
    };
    QStringList out;
    for (const FoundDocument &d : found) {
        QStringList roles;
        for (const Paragraph &p : d.document.paragraphs)
            roles.append(roleName(p.role));
        out.append(line(d.heading, textOf(d.document.paragraphs.constFirst()),
                        textOf(d.document.paragraphs.constLast()), roles));
    }
    return out;
}

// The name a corpus page is put under in the content folder.
QString leafName(const QString &page)
{
    return QString(page).replace(u'/', u'-');
}

// What the clipboard's HTML says of each paragraph: "align:text" per <p>.
QStringList clipboardAlignments()
{
    static const QRegularExpression paragraph(u"<p style=\"([^\"]*)\">([^<]*)</p>"_s);
    static const QRegularExpression align(u"text-align:(\\w+);"_s);
    QStringList out;
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    for (auto it = paragraph.globalMatch(mime ? mime->html() : QString()); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString side = align.match(m.captured(1)).captured(1);
        out.append((side.isEmpty() ? u"left"_s : side) + u':' + m.captured(2));
    }
    return out;
}

} // namespace

class DocumentPagesTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void pageScript_findsTheDocumentsOfTheTable_data();
    void pageScript_findsTheDocumentsOfTheTable();
    void copyAndSave_keepTheLayout();
    void listing_keptUntilThePageChanges_data();
    void listing_keptUntilThePageChanges();
    void hostilePage_onlyWhatAReaderSeesAndWhatWasTyped();
    void cleanupTestCase() { m_rig.reset(); }

private:
    QVariant isolated(const QString &script);
    std::optional<PageScript::Listing> list(const QString &held = {});
    std::unique_ptr<WebEngineRig> m_rig;
    QJsonArray m_table;
};

void DocumentPagesTest::initTestCase()
{
    m_table = QJsonDocument::fromJson(TestFiles::contentOf(Written + u"/expected.json"_s)).object().value(u"pages").toArray();
    QVERIFY(!m_table.isEmpty());
    m_rig = std::make_unique<WebEngineRig>();
    m_rig->addPage(u"wszzgf.html"_s, u"起始页"_s);
    for (const QJsonValue &entry : std::as_const(m_table)) {
        const QString folder = entry[u"made"].toString() == u"generated" ? Generated : Written;
        for (const QString &page : strings(entry[u"pages"])) {
            const QByteArray bytes = TestFiles::contentOf(folder + u'/' + page);
            QVERIFY2(!bytes.isEmpty(), qPrintable(page));
            TestFiles::put(m_rig->page(leafName(page)), bytes);
        }
    }
    m_rig->startActive();
}

void DocumentPagesTest::pageScript_findsTheDocumentsOfTheTable_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("expected");
    for (const QJsonValue &entry : std::as_const(m_table)) {
        QStringList expected;
        for (const QJsonValue &d : entry[u"documents"].toArray())
            expected.append(line(d[u"heading"].toString(), d[u"first"].toString(), d[u"last"].toString(),
                                 strings(d[u"roles"])));
        for (const QString &page : strings(entry[u"pages"]))
            QTest::newRow(qPrintable(page)) << leafName(page) << expected;
    }
}

QVariant DocumentPagesTest::isolated(const QString &script)
{
    QVariant answer;
    bool answered = false;
    m_rig->html->runIsolatedScript(script, [&](const QVariant &value) {
        answer = value;
        answered = true;
    });
    return QTest::qWaitFor([&] { return answered; }, 10000) ? answer : QVariant();
}

std::optional<PageScript::Listing> DocumentPagesTest::list(const QString &held)
{
    const std::optional<PageScript::Listing> listing = PageScript::readListing(isolated(PageScript::listBlocks(7, std::nullopt, held)));
    return listing && listing->request == 7 ? listing : std::nullopt;
}

void DocumentPagesTest::pageScript_findsTheDocumentsOfTheTable()
{
    QFETCH(QString, page);
    QFETCH(QStringList, expected);
    QVERIFY(m_rig->open(page));
    const std::optional<PageScript::Listing> listing = list();
    QVERIFY(listing);
    QCOMPARE(describe(findModelDocuments(listing->blocks)), expected);
}

// What the page changes is read again; the values of a fill, put in and taken out, are not a change.
void DocumentPagesTest::listing_keptUntilThePageChanges_data()
{
    QTest::addColumn<QString>("pageScript");
    QTest::addColumn<QStringList>("ownScripts"); // run in our world, in turn
    QTest::addColumn<QString>("kept"); // same: no blocks sent; new: another version; none: not kept
    QTest::addColumn<QString>("seen");
    QTest::addColumn<QString>("gone");
    const QString third = u"document.getElementById('c')"_s;
    const QString fill = PageScript::show({{2, 2, 3, u"甲"_s, u"×××"_s}});
    QTest::newRow("unchanged") << QString() << QStringList() << u"same"_s << QString() << QString();
    QTest::newRow("values put in and taken out") << QString() << QStringList{fill, PageScript::restore()} << u"same"_s
                                                 << QString() << QString();
    QTest::newRow("values on show") << QString() << QStringList{fill} << u"none"_s << u"原告甲与"_s << u"原告×××与"_s;
    QTest::newRow("text edited") << u"document.getElementById('b').firstChild.data = '被告乙'"_s << QStringList()
                                 << u"new"_s << u"被告乙"_s << u"原告×××与"_s;
    QTest::newRow("paragraph added") << u"document.body.append(Object.assign(document.createElement('p'), {textContent: '新段'}))"_s
                                     << QStringList() << u"new"_s << u"新段"_s << QString();
    QTest::newRow("hidden by its style") << third + u".style.display = 'none'" << QStringList() << u"new"_s << QString()
                                         << u"第三段"_s;
    QTest::newRow("hidden by a class") << third + u".className = 'gone'" << QStringList() << u"new"_s << QString()
                                       << u"第三段"_s;
    QTest::newRow("hidden attribute") << third + u".hidden = true" << QStringList() << u"new"_s << QString() << u"第三段"_s;
    QTest::newRow("rule added to a style sheet") << u"document.styleSheets[0].insertRule('#c { display: none }')"_s
                                                 << QStringList() << u"new"_s << QString() << u"第三段"_s;
}

void DocumentPagesTest::listing_keptUntilThePageChanges()
{
    QFETCH(QString, pageScript);
    QFETCH(QStringList, ownScripts);
    QFETCH(QString, kept);
    QFETCH(QString, seen);
    QFETCH(QString, gone);
    m_rig->addPage(u"changing.html"_s, u"样式"_s,
                   u"<style>.gone { display: none }</style><p id=a>样式一</p><p id=b>原告×××与被告×××一案。</p>"
                   u"<p id=c>第三段</p>"_s);
    QVERIFY(m_rig->open(u"changing.html"_s));
    const std::optional<PageScript::Listing> before = list();
    QVERIFY(before && !before->same && !before->version.isEmpty());
    if (!pageScript.isEmpty())
        m_rig->evaluate(pageScript);
    for (const QString &script : std::as_const(ownScripts))
        QVERIFY(isolated(script).isValid());
    const std::optional<PageScript::Listing> after = list(before->version);
    QVERIFY(after);
    QCOMPARE(after->same, kept == u"same");
    QCOMPARE(after->version == before->version, kept == u"same");
    QCOMPARE(after->version.isEmpty(), kept == u"none");
    QStringList texts;
    for (const PageBlock &b : after->blocks)
        texts.append(b.text);
    const QString all = texts.join(u'\n');
    QVERIFY2(seen.isEmpty() || all.contains(seen), qPrintable(all));
    QVERIFY2(gone.isEmpty() || !all.contains(gone), qPrintable(all));
}

// The labelled LibreOffice page's first document has every part of the court
// layout and a table: the keys take it, being at the top.
void DocumentPagesTest::copyAndSave_keepTheLayout()
{
    QVERIFY(m_rig->open(u"libreoffice-html-labelled.html"_s));
    QWidget *page = pageWidget(m_rig->webView);
    page->setFocus();
    QGuiApplication::clipboard()->clear();
    press(page, u"Ctrl+Shift+C"_s);
    QTRY_VERIFY(!clipboardAlignments().isEmpty());
    const QStringList aligned = clipboardAlignments();
    QCOMPARE(aligned.value(0), u"center:××××人民法院"_s);
    QVERIFY2(aligned.value(1).startsWith(u"center:"_s) && aligned.value(2).startsWith(u"right:"_s),
             qPrintable(aligned.join(u'\n')));
    QVERIFY(aligned.constLast().startsWith(u"right:书记员"_s));
    const QString html = QGuiApplication::clipboard()->mimeData()->html();
    QVERIFY(html.contains(u"<table border=\"1\""_s));
    // A body paragraph keeps the indent of two characters, never two of its own on top.
    const QStringList lines = QGuiApplication::clipboard()->text().split(u'\n');
    QVERIFY(lines.size() > 4);
    QVERIFY2(lines.at(3).startsWith(u"　　"_s) && !lines.at(3).startsWith(u"　　　"_s), qPrintable(lines.at(3)));

    const QString docx = m_rig->dir.filePath(u"layout.docx"_s);
    m_rig->desktop.docxAnswer = docx;
    press(page, u"Ctrl+Shift+S"_s);
    QTRY_VERIFY(QFileInfo(docx).size() > 0);
    QCOMPARE(m_rig->log.starting(u"desktop.askDocx").constLast(), u"desktop.askDocx 样式一　民事判决书.docx"_s);
    const QJsonObject json = readDocx(docx);
    QStringList alignments;
    for (const QJsonValue &p : json[u"paragraphs"].toArray())
        alignments.append(p[u"alignment"].toString());
    QCOMPARE(alignments.mid(0, 3), (QStringList{u"CENTER"_s, u"CENTER"_s, u"RIGHT"_s}));
    QCOMPARE(json[u"tables"].toArray().size(), 1);
    QCOMPARE(json[u"table_borders"][0].toArray().size(), 6);
}

void DocumentPagesTest::hostilePage_onlyWhatAReaderSeesAndWhatWasTyped()
{
    const QString heading = u"样式一　<img src=\"/etc/juanzong.png\">"_s;
    m_rig->addPage(u"hostile.html"_s, u"样式"_s,
                   u"<p><b>" + heading.toHtmlEscaped() + u"</b></p>"
                   u"<div style='text-align:center;font-size:22pt;font-weight:bold'>××××人民法院</div>"
                   u"<p style='text-align:center;font-size:22pt;font-weight:bold'>民事判决书</p>"
                   u"<p style='text-indent:2em'>原告×××<span style='display:none'>隐藏文字</span>与被告×××……一案。"
                   u"<script>var x = '脚本内容';</script><span style='visibility:hidden'>不可见</span></p>"
                   u"<p style='text-align:right'>审判长　×××<br>审判员　×××</p>"
                   u"<script>new MutationObserver(() => document.querySelectorAll('.jz-filled').forEach((s) => {"
                   u" if (s.textContent !== '篡改') s.textContent = '篡改'; }))"
                   u".observe(document.body, {subtree: true, childList: true, characterData: true});</script>");
    QVERIFY(m_rig->open(u"hostile.html"_s));
    QWidget *page = pageWidget(m_rig->webView);
    page->setFocus();
    press(page, u"Ctrl+E"_s);
    FillPanel *panel = nullptr;
    QTRY_VERIFY((panel = m_rig->window->findChild<FillPanel *>()) && panel->isVisible());
    QCOMPARE(panel->findChild<QLabel *>(u"FillHeading"_s)->text(), heading);
    QVERIFY(groupIndex(panel, u"原告 ×××"_s) >= 0);
    type(groupField(panel, u"原告 ×××"_s), u"张三"_s);
    // The page's observer rewrites what the view shows of the value...
    QTRY_COMPARE(m_rig->evaluate(u"document.querySelector('.jz-filled') ? document.querySelector('.jz-filled').textContent : ''"_s),
                 u"篡改"_s);
    // ...but what leaves the program is what was typed, and only what a reader sees.
    QGuiApplication::clipboard()->clear();
    panel->findChild<QPushButton *>(u"FillCopy"_s)->click();
    QTRY_VERIFY(!QGuiApplication::clipboard()->text().isEmpty());
    QCOMPARE(QGuiApplication::clipboard()->text().split(u'\n'),
             (QStringList{u"××××人民法院"_s, u"民事判决书"_s, u"　　原告张三与被告×××……一案。"_s, u"审判长　×××"_s,
                          u"审判员　×××"_s, QString()}));
    panel->findChild<QPushButton *>(u"FillClose"_s)->click();
}

int main(int argc, char *argv[])
{
    prepareWebEngine();
    QApplication app(argc, argv);
    DocumentPagesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_documentpages.moc"
