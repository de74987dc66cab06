// SPDX-License-Identifier: GPL-3.0-or-later
// A whole search on its four files: the page on disk byte for byte, the messages, and what survives failures.
#include "files.h"
#include "search/gbkcodec.h"
#include "search/keywordsearch.h"

#include <QDateTime>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

using namespace Juanzong;
using namespace Qt::StringLiterals;
using namespace TestFiles;
using Kind = SearchOutcome::Kind;

namespace {
QString entry(const QString &target, const QString &title)
{
    return u"<li><a title='"_s + title + u"' target='_self' href='"_s + target + u"'>"_s + title + u"</a></li>"_s;
}

// The page as the design gives it, part by part.
QString expectedPage(const QString &keyword, const QString &entries, qsizetype hits)
{
    return u"<html><head><meta http-equiv='Content-Type' content='text/html' />"_s
        + u"<meta name='viewport' content='width=1040, initial-scale=0.94' />"_s
        + u"<link rel='stylesheet' type='text/css' href='css.css' />"_s
        + u"<title>卷宗范本 - 中华人民共和国最高人民法院</title></head><body>   <div class='fr right'> "_s
        + u"<div class='content'><div class='clearfix title'><div class='fl tit'>搜索结果：关键词\u2014"_s + keyword
        + u"</div></div><div class='sec_list'> <ul>"_s + entries
        + u" </ul><div class='clearfix btm_row'><div class='fl count'>共<span class='num'>"_s + QString::number(hits)
        + u"</span>篇</div><div class='fr page'></div></div></div></div></div></div></div></body></html>"_s;
}

QByteArray indexOf(const QStringList &lines)
{
    QByteArray index;
    for (const QString &line : lines)
        index += gbk(line) + "\r\n";
    return index;
}

// A folder with the index, the template and the pages of an earlier search.
struct Folder
{
    QTemporaryDir dir;
    SearchFiles files{dir.filePath(u"alllist.txt"_s), dir.filePath(u"searchmoban.txt"_s),
                      dir.filePath(u"search.txt"_s), dir.filePath(u"search.html"_s)};

    explicit Folder(const QByteArray &index)
    {
        write(u"alllist.txt"_s, index);
        write(u"searchmoban.txt"_s, "template that must not survive");
        write(u"search.txt"_s, "old search.txt");
        write(u"search.html"_s, "old search.html");
    }
    void write(const QString &name, const QByteArray &bytes) const { put(dir.filePath(name), bytes); }
    QByteArray read(const QString &name) const { return contentOf(dir.filePath(name)); }
    QStringList entries() const { return entriesOf(dir.path()); }
    void keepsOldPages() const
    {
        QCOMPARE(read(u"search.txt"_s), "old search.txt"_ba);
        QCOMPARE(read(u"search.html"_s), "old search.html"_ba);
    }
};

const QStringList Untouched = {u"alllist.txt"_s, u"search.html"_s, u"search.txt"_s, u"searchmoban.txt"_s};
} // namespace

class KeywordSearchTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void hits_pageOnDiskInTheIndexsOrder();
    void nothingSaved_data();
    void nothingSaved();
    void unsaved_data();
    void unsaved();
    void pageGoesToDisk_onlyOnceItIsLarge();
    void leftovers_goWithTheNextSearch();
    void twoCopies_eachShowsItsOwnPage();
};

void KeywordSearchTest::hits_pageOnDiskInTheIndexsOrder()
{
    Folder folder(indexOf({u"juanzongfanben-1.html\">民事裁定书（准许撤诉用）"_s, u"juanzongfanben-2.html\">民事判决书"_s,
                           u"juanzongfanben-3.html\">民事裁定书（驳回起诉用）"_s}));

    const SearchOutcome outcome = runSearch(u"裁定"_s, folder.files);
    QCOMPARE(outcome.kind, Kind::Saved);
    QCOMPARE(outcome.message, QString());
    QCOMPARE(outcome.hits, 2);
    QCOMPARE(outcome.pagePath, folder.files.page);
    const QString entries = entry(u"juanzongfanben-1.html"_s, u"民事裁定书（准许撤诉用）"_s)
        + entry(u"juanzongfanben-3.html"_s, u"民事裁定书（驳回起诉用）"_s);
    const QByteArray expected = gbk(expectedPage(u"裁定"_s, entries, 2));
    QCOMPARE(folder.read(u"search.txt"_s), expected);
    QCOMPARE(folder.read(u"search.html"_s), expected);
    QCOMPARE(folder.entries(), Untouched);
}

void KeywordSearchTest::nothingSaved_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("broken"); // a file removed
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message"); // %1: the folder
    const int failed = int(Kind::Failed);
    QTest::newRow("empty keyword_indexNotEvenRead") << QString() << u"alllist.txt"_s << int(Kind::NeedKeyword)
                                                    << u"请输入搜索内容！"_s;
    QTest::newRow("only in a line without delimiter_nothingFound")
        << u"但没有"_s << QString() << int(Kind::NothingFound) << u"未搜索到相关内容"_s;
    QTest::newRow("no hits_templateNotNeeded")
        << u"判决"_s << u"searchmoban.txt"_s << int(Kind::NothingFound) << u"未搜索到相关内容"_s;
    QTest::newRow("index missing") << u"裁定"_s << u"alllist.txt"_s << failed
                                   << u"无法读取搜索索引文件 %1/alllist.txt：文件不存在"_s;
    QTest::newRow("template missing") << u"裁定"_s << u"searchmoban.txt"_s << failed
                                      << u"无法读取搜索模板文件 %1/searchmoban.txt：文件不存在"_s;
}

void KeywordSearchTest::nothingSaved()
{
    QFETCH(QString, keyword);
    QFETCH(QString, broken);
    QFETCH(int, kind);
    QFETCH(QString, message);
    Folder folder(indexOf({u"a.html\">民事裁定书"_s, u"裁定 但没有分隔符"_s}));
    QStringList expectedEntries = Untouched;
    if (!broken.isEmpty()) {
        QVERIFY(QFile::remove(folder.dir.filePath(broken)));
        expectedEntries.removeOne(broken);
    }

    const SearchOutcome outcome = runSearch(keyword, folder.files);
    QCOMPARE(int(outcome.kind), kind);
    QCOMPARE(outcome.message, message.contains(u"%1") ? message.arg(folder.dir.path()) : message);
    QCOMPARE(outcome.hits, 0);
    folder.keepsOldPages();
    QCOMPARE(folder.entries(), expectedEntries); // no half-made file left behind
}

void KeywordSearchTest::unsaved_data()
{
    QTest::addColumn<bool>("diskFull"); // else search.html is blocked by a folder
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("failedFile");
    QTest::addColumn<QString>("reason");
    QTest::newRow("disk full") << true << 2 << u"search.txt"_s << TooLarge;
    // Over a megabyte of page, so part of it had gone to disk before the failure.
    QTest::newRow("disk full_largePageBuiltAgain") << true << 20000 << u"search.txt"_s << TooLarge;
    QTest::newRow("search.html blocked by a folder") << false << 2 << u"search.html"_s << u"同名的是一个文件夹，不是文件"_s;
}

void KeywordSearchTest::unsaved()
{
    QFETCH(bool, diskFull);
    QFETCH(int, lines);
    QFETCH(QString, failedFile);
    QFETCH(QString, reason);
    QStringList index;
    QString entries;
    for (int i = 0; i < lines; ++i) {
        const QString target = u"juanzongfanben-"_s + QString::number(i) + u".html#ws1"_s;
        const QString title = u"民事裁定书（准许或者不准许撤诉用）第"_s + QString::number(i) + u"号"_s;
        index.append(target + u"\">"_s + title);
        entries += entry(target, title);
    }
    Folder folder(indexOf(index));
    const QString page = expectedPage(u"裁定"_s, entries, lines);

    SearchOutcome outcome;
    if (!diskFull) {
        QVERIFY(QFile::remove(folder.files.page));
        QVERIFY(QDir(folder.dir.path()).mkdir(u"search.html"_s));
        outcome = runSearch(u"裁定"_s, folder.files);
    } else if (!onAFullDisk([&] { outcome = runSearch(u"裁定"_s, folder.files); })) {
        QSKIP("no file size limit on this system to make writes fail");
    }

    QCOMPARE(outcome.kind, Kind::Unsaved);
    QCOMPARE(outcome.hits, lines);
    QCOMPARE(outcome.page, page);
    QVERIFY2(outcome.message.startsWith(u"搜索结果无法保存到 "_s + folder.dir.filePath(failedFile) + u"："_s + reason),
             qPrintable(outcome.message));
    if (diskFull)
        folder.keepsOldPages();
    else
        QCOMPARE(folder.read(u"search.txt"_s), gbk(page));
    QCOMPARE(folder.entries(), Untouched); // no half-written file left behind
}

void KeywordSearchTest::pageGoesToDisk_onlyOnceItIsLarge()
{
#if !defined(Q_OS_UNIX)
    QSKIP("needs a named pipe for an index that arrives in parts");
#else
    // The index comes through a pipe: the search is caught half-way through it.
    Folder folder{QByteArray()};
    QVERIFY(QFile::remove(folder.files.index));
    QCOMPARE(::mkfifo(QFile::encodeName(folder.files.index).constData(), 0600), 0);
    SearchOutcome outcome;
    QThread *search = QThread::create([&] { outcome = runSearch(u"甲"_s, folder.files); });
    search->start();
    const QStringList before = {u"search.html"_s, u"search.txt"_s, u"searchmoban.txt"_s}; // a pipe is no file to QDir
    {
        QFile pipe(folder.files.index);
        QVERIFY(pipe.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray small = indexOf({u"a.html\">甲"_s}).repeated(1000);
        QCOMPARE(pipe.write(small), small.size());
        // Nothing to wait for where nothing may appear: the search has had the
        // lines many times over by the time this looks.
        QTest::qWait(300);
        QCOMPARE(folder.entries(), before);
        // More than one read of index and far more than a megabyte of page:
        // its first part is on disk before the index ends.
        const QByteArray large = indexOf({u"a.html\">甲"_s}).repeated(120000);
        QCOMPARE(pipe.write(large), large.size());
#if !defined(JUANZONG_PORTABLE_FILES) // Qt's new file has no name on disk until it is complete
        QTRY_VERIFY(QDir(folder.dir.path()).entryInfoList({u"search.txt.new-*"_s}).value(0).size() > 0);
#endif
    }
    QVERIFY(search->wait(30000));
    delete search;
    QCOMPARE(outcome.kind, Kind::Saved);
    QCOMPARE(outcome.hits, 121000);
#endif
}

void KeywordSearchTest::leftovers_goWithTheNextSearch()
{
    Folder folder(indexOf({u"a.html\">甲"_s}));
    const QString gone = TestFiles::endedProcessId();
    QVERIFY(!gone.isEmpty());
    const QString running = QString::number(QCoreApplication::applicationPid());
    const QDateTime old = QDateTime::currentDateTime().addSecs(-120);
    const auto write = [&](const QString &name, const QDateTime &modified = {}) {
        folder.write(name, "half a page");
        QFile file(folder.dir.filePath(name));
        if (modified.isValid())
            QVERIFY(file.open(QIODevice::ReadWrite) && file.setFileTime(modified, QFileDevice::FileModificationTime));
    };
    // Whose process is gone, and without a process id once it is a minute old.
    write(u"search.txt.new-"_s + gone + u"-5e1f"_s);
    write(u"search.txt.new-5e1f"_s, old);
    write(u"search.html.new-9a0b.Xc3dE2"_s, old);
    // A search of a copy still running, or one just begun, is still being written.
    write(u"search.html.new-"_s + running + u"-77aa"_s, old);
    write(u"search.txt.new-9a0b"_s);
    // Only the store's own names go: not the user's, nor one that merely begins alike, nor a folder.
    write(u"notes.new-1"_s, old);
    write(u"search.txt.news"_s, old);
    QVERIFY(QDir(folder.dir.path()).mkdir(u"search.txt.new-folder"_s));
    runSearch(u"乙"_s, folder.files); // one that finds nothing
    QCOMPARE(folder.entries(), (QStringList{u"alllist.txt"_s, u"notes.new-1"_s, u"search.html"_s,
                                            u"search.html.new-"_s + running + u"-77aa"_s, u"search.txt"_s,
                                            u"search.txt.new-9a0b"_s, u"search.txt.new-folder"_s, u"search.txt.news"_s,
                                            u"searchmoban.txt"_s}));
}

void KeywordSearchTest::twoCopies_eachShowsItsOwnPage()
{
    // Half the lines each: pages of some megabytes, written while the index is
    // still read, so that one copy's start falls into the other's writing.
    QByteArray index;
    for (int i = 0; i < 60000; ++i)
        index += "juanzongfanben-" + QByteArray::number(i % 102) + ".html#k" + QByteArray::number(i % 2)
            + "\">Model document " + QByteArray::number(i) + "\r\n";
    Folder folder(index);
    const QStringList keywords = {u"#k0"_s, u"#k1"_s};
    QStringList pages;
    for (int round = 0; round < 12; ++round) {
        QList<std::shared_ptr<QProcess>> copies;
        for (const QString &keyword : keywords) {
            copies.append(std::make_shared<QProcess>());
            copies.back()->start(QStringLiteral(JUANZONG_SEARCHDRIVER),
                                 {folder.dir.path(), keyword, u"--show"_s});
            // The second one starts a little later each round.
            QTest::qWait(round % 5 * 15);
        }
        for (qsizetype c = 0; c < copies.size(); ++c) {
            QVERIFY(copies[c]->waitForFinished(60000));
            const QString shown = QString::fromUtf8(copies[c]->readAllStandardOutput());
            QVERIFY2(copies[c]->exitCode() == 0, qPrintable(shown.left(200)));
            QVERIFY2(shown.contains(u"搜索结果：关键词\u2014"_s + keywords[c] + u"</div>"), qPrintable(shown.left(400)));
            QVERIFY(shown.contains(u"共<span class='num'>30000</span>篇"_s));
            if (pages.size() < keywords.size())
                pages.append(shown);
        }
    }
    // The files whole, each one search's page, and no leftover.
    for (const QString &name : {u"search.txt"_s, u"search.html"_s})
        QVERIFY(pages.contains(GbkCodec::system()->decode(folder.read(name))));
    QCOMPARE(folder.entries(), Untouched);
}

QTEST_GUILESS_MAIN(KeywordSearchTest)
#include "tst_keywordsearch.moc"
