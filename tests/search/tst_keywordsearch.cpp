// SPDX-License-Identifier: GPL-3.0-or-later
// A whole search on a content folder: the page on disk byte for byte, the messages, and what survives failures.
#include "core/contentpaths.h"
#include "search/keywordsearch.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <functional>
#include <utility>

#if defined(Q_OS_UNIX)
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#if defined(Q_OS_LINUX)
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif

using namespace Juanzong;
using namespace Qt::StringLiterals;
using Kind = SearchOutcome::Kind;

namespace {
QByteArray gbk(const QString &text)
{
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}

QString entry(const QString &target, const QString &title)
{
    return u"<li><a title='"_s + title + u"' target='_self' href='"_s + target + u"'>"_s + title + u"</a></li>"_s;
}

// The page as the design gives it, part by part.
QString expectedPage(const QString &shownKeyword, const QString &entries, qsizetype hits)
{
    return u"<html><head><meta http-equiv='Content-Type' content='text/html' />"_s
        + u"<meta name='viewport' content='width=1040, initial-scale=0.94' />"_s
        + u"<link rel='stylesheet' type='text/css' href='css.css' />"_s
        + u"<title>卷宗范本 - 中华人民共和国最高人民法院</title></head><body>   <div class='fr right'> "_s
        + u"<div class='content'><div class='clearfix title'><div class='fl tit'>搜索结果：关键词\u2014"_s + shownKeyword
        + u"</div></div><div class='sec_list'> <ul>"_s + entries
        + u" </ul><div class='clearfix btm_row'><div class='fl count'>共<span class='num'>"_s + QString::number(hits)
        + u"</span>篇</div><div class='fr page'></div></div></div></div></div></div></div></body></html>"_s;
}

// A program folder with its content folder, the index and the template in it,
// and last pages from an earlier search.
struct Install
{
    QTemporaryDir dir;
    QString program = dir.path();
    QString ws = ContentPaths::contentRoot(program);

    explicit Install(const QByteArray &index)
    {
        QDir().mkpath(ws);
        write(u"alllist.txt"_s, index);
        write(u"searchmoban.txt"_s, "template that must not survive");
        write(u"search.txt"_s, "old search.txt");
        write(u"search.html"_s, "old search.html");
    }
    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(ws + name);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    QByteArray read(const QString &name) const
    {
        QFile file(ws + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
    QStringList entries() const { return QDir(ws).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name); }
};

QByteArray indexOf(const QStringList &lines, const char *lineEnd = "\r\n")
{
    QByteArray index;
    for (const QString &line : lines)
        index += gbk(line) + lineEnd;
    return index;
}

#if defined(JUANZONG_PORTABLE_FILES)
// Qt reports a write past the size limit only as a failed write, with its own text.
const QString TooLarge = u"写入出错"_s;
#else
const QString TooLarge = u"文件超过了允许的大小"_s;
#endif

const QStringList Untouched = {u"alllist.txt"_s, u"search.html"_s, u"search.txt"_s, u"searchmoban.txt"_s};
} // namespace

class KeywordSearchTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void page_data();
    void page();
    void nothingFound_data();
    void nothingFound();
    void emptyKeyword_changesNothing();
    void failed_data();
    void failed();
    void unsaved_data();
    void unsaved();
    void noNewFile_whileTheIndexIsRead();
    void leftovers_goWithTheNextSearch_data();
    void leftovers_goWithTheNextSearch();
};

void KeywordSearchTest::page_data()
{
    QTest::addColumn<QByteArray>("index");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("shownKeyword");
    QTest::addColumn<QString>("entries");
    QTest::addColumn<int>("hits");

    QTest::newRow("two hits, in file order")
        << indexOf({u"juanzongfanben-1.html\">民事裁定书（准许撤诉用）"_s, u"juanzongfanben-2.html\">民事判决书"_s,
                    u"juanzongfanben-3.html\">民事裁定书（驳回起诉用）"_s})
        << u"裁定"_s << u"裁定"_s
        << entry(u"juanzongfanben-1.html"_s, u"民事裁定书（准许撤诉用）"_s)
            + entry(u"juanzongfanben-3.html"_s, u"民事裁定书（驳回起诉用）"_s)
        << 2;
    QTest::newRow("three fields drop the rest")
        << indexOf({u"a.html\">甲\">乙"_s}) << u"乙"_s << u"乙"_s << entry(u"a.html"_s, u"甲"_s) << 1;
    QTest::newRow("keyword only in the target")
        << indexOf({u"a.html\">甲"_s, u"b.txt\">乙"_s}) << u"html"_s << u"html"_s << entry(u"a.html"_s, u"甲"_s) << 1;
    QTest::newRow("keyword of spaces")
        << indexOf({u"a.html\">民事  裁定"_s, u"b.html\">民事 裁定"_s}) << u"  "_s << u"  "_s
        << entry(u"a.html"_s, u"民事  裁定"_s) << 1;
    QTest::newRow("markup escaped after the dash and in entries")
        << indexOf({u"a.html?x=1&y='2'\"><b>粗</b>"_s}) << u"<b>"_s << u"&lt;b&gt;"_s
        << entry(u"a.html?x=1&amp;y=&#39;2&#39;"_s, u"&lt;b&gt;粗&lt;/b&gt;"_s) << 1;
    QTest::newRow("line without delimiter not counted")
        << indexOf({u"裁定 但没有分隔符"_s, u"a.html\">裁定"_s}) << u"裁定"_s << u"裁定"_s
        << entry(u"a.html"_s, u"裁定"_s) << 1;
    QTest::newRow("LF line ends") << indexOf({u"a.html\">甲"_s, u"b.html\">甲"_s}, "\n") << u"甲"_s << u"甲"_s
                                  << entry(u"a.html"_s, u"甲"_s) + entry(u"b.html"_s, u"甲"_s) << 2;
    QTest::newRow("malformed bytes show as replacement")
        << "a.html\">\x81 x\r\n"_ba << u"x"_s << u"x"_s << entry(u"a.html"_s, u"&#65533; x"_s) << 1;
    QTest::newRow("keyword on the line's own replacement character")
        << "a.html\">\xFE\"x\r\n"_ba << u"\uFFFD\""_s << u"&#65533;&quot;"_s
        << entry(u"a.html"_s, u"&#65533;&quot;x"_s) << 1;
    QTest::newRow("0x80 is the euro sign") << "a.html\">\x80 5\r\n"_ba << u"€"_s << u"€"_s
                                           << entry(u"a.html"_s, u"€ 5"_s) << 1;
}

void KeywordSearchTest::page()
{
    QFETCH(QByteArray, index);
    QFETCH(QString, keyword);
    QFETCH(QString, shownKeyword);
    QFETCH(QString, entries);
    QFETCH(int, hits);
    Install install(index);

    const SearchOutcome outcome = runSearch(keyword, install.program);
    QCOMPARE(outcome.kind, Kind::Saved);
    QCOMPARE(outcome.message, QString());
    QCOMPARE(outcome.hits, hits);
    QCOMPARE(outcome.pagePath, ContentPaths::resultPage(install.program));
    const QByteArray expected = gbk(expectedPage(shownKeyword, entries, hits));
    QCOMPARE(install.read(u"search.txt"_s), expected);
    QCOMPARE(install.read(u"search.html"_s), expected);
    QCOMPARE(install.entries(), Untouched);
}

void KeywordSearchTest::nothingFound_data()
{
    QTest::addColumn<QByteArray>("index");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<bool>("withTemplate");
    const QByteArray index = indexOf({u"a.html\">民事裁定书"_s, u"裁定 但没有分隔符"_s});
    QTest::newRow("letter case differs") << index << u"HTML"_s << true;
    QTest::newRow("only in a line without delimiter") << index << u"但没有"_s << true;
    QTest::newRow("character GBK lacks") << index << u"裁定😀"_s << true;
    QTest::newRow("empty index") << QByteArray() << u"裁定"_s << true;
    QTest::newRow("template not needed without hits") << index << u"判决"_s << false;
}

void KeywordSearchTest::nothingFound()
{
    QFETCH(QByteArray, index);
    QFETCH(QString, keyword);
    QFETCH(bool, withTemplate);
    Install install(index);
    if (!withTemplate)
        QVERIFY(QFile::remove(install.ws + u"searchmoban.txt"_s));

    const SearchOutcome outcome = runSearch(keyword, install.program);
    QCOMPARE(outcome.kind, Kind::NothingFound);
    QCOMPARE(outcome.message, u"未搜索到相关内容"_s);
    QCOMPARE(outcome.hits, 0);
    QCOMPARE(install.read(u"search.txt"_s), "old search.txt"_ba);
    QCOMPARE(install.read(u"search.html"_s), "old search.html"_ba);
}

void KeywordSearchTest::emptyKeyword_changesNothing()
{
    Install install(indexOf({u"a.html\">甲"_s}));
    QVERIFY(QFile::remove(install.ws + u"alllist.txt"_s)); // not even looked at
    const SearchOutcome outcome = runSearch(QString(), install.program);
    QCOMPARE(outcome.kind, Kind::NeedKeyword);
    QCOMPARE(outcome.message, u"请输入搜索内容！"_s);
    QCOMPARE(install.read(u"search.txt"_s), "old search.txt"_ba);
    QCOMPARE(install.read(u"search.html"_s), "old search.html"_ba);
}

void KeywordSearchTest::failed_data()
{
    QTest::addColumn<QString>("broken");
    QTest::addColumn<bool>("asFolder");
    QTest::addColumn<QString>("reason");
    QTest::newRow("index missing") << u"alllist.txt"_s << false << u"文件不存在"_s;
    QTest::newRow("index is a folder") << u"alllist.txt"_s << true << u"同名的是一个文件夹，不是文件"_s;
    QTest::newRow("template missing") << u"searchmoban.txt"_s << false << u"文件不存在"_s;
    QTest::newRow("template is a folder") << u"searchmoban.txt"_s << true << u"同名的是一个文件夹，不是文件"_s;
}

void KeywordSearchTest::failed()
{
    QFETCH(QString, broken);
    QFETCH(bool, asFolder);
    QFETCH(QString, reason);
    Install install(indexOf({u"a.html\">甲"_s}));
    QVERIFY(QFile::remove(install.ws + broken));
    if (asFolder)
        QVERIFY(QDir(install.ws).mkdir(broken));

    const SearchOutcome outcome = runSearch(u"甲"_s, install.program);
    QCOMPARE(outcome.kind, Kind::Failed);
    const QString file = broken == u"alllist.txt" ? ContentPaths::searchIndex(install.program)
                                                  : ContentPaths::searchTemplate(install.program);
    const QString what = broken == u"alllist.txt" ? u"搜索索引文件"_s : u"搜索模板文件"_s;
    QCOMPARE(outcome.message, u"无法读取"_s + what + u" "_s + file + u"："_s + reason);
    QCOMPARE(install.read(u"search.txt"_s), "old search.txt"_ba);
    QCOMPARE(install.read(u"search.html"_s), "old search.html"_ba);
    QStringList expectedEntries = Untouched;
    if (!asFolder)
        expectedEntries.removeOne(broken);
    QCOMPARE(install.entries(), expectedEntries); // no half-made file left behind
}

void KeywordSearchTest::unsaved_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("failedFile");
    QTest::addColumn<QString>("reason");
    QTest::newRow("read-only folder") << u"read-only"_s << 2 << u"search.txt"_s << u"没有写入权限"_s;
    QTest::newRow("disk full") << u"file size limit"_s << 2 << u"search.txt"_s << TooLarge;
    // Over a megabyte of page, so part of it had gone to disk before the failure.
    QTest::newRow("disk full, large page") << u"file size limit"_s << 20000 << u"search.txt"_s << TooLarge;
    QTest::newRow("search.html blocked by a folder") << u"folder"_s << 2 << u"search.html"_s
                                                     << u"同名的是一个文件夹，不是文件"_s;
}

void KeywordSearchTest::unsaved()
{
    QFETCH(QString, obstacle);
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
    Install install(indexOf(index));
    const QString page = expectedPage(u"裁定"_s, entries, lines);

    struct Undo
    {
        std::function<void()> undo;
        ~Undo()
        {
            if (undo)
                undo();
        }
    } restore;
    if (obstacle == u"read-only") {
#if !defined(Q_OS_UNIX)
        QSKIP("a folder's permissions do not stop writes into it here");
#else
        if (geteuid() != 0) {
            QVERIFY(QFile::setPermissions(install.ws, QFile::ReadOwner | QFile::ExeOwner));
            restore.undo = [ws = install.ws] { QFile::setPermissions(ws, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); };
        } else {
#if !defined(Q_OS_LINUX)
            QSKIP("running as root, who writes into any folder here");
#else
            // Root writes through permission bits; an immutable folder stops it.
            const int fd = ::open(QFile::encodeName(install.ws).constData(), O_RDONLY | O_DIRECTORY);
            int flags = 0;
            if (fd < 0 || ::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0 || (flags |= FS_IMMUTABLE_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0)) {
                if (fd >= 0)
                    ::close(fd);
                QSKIP("running as root where the folder cannot be made immutable; the other rows fail writes instead");
            }
            restore.undo = [fd, flags] {
                int cleared = flags & ~FS_IMMUTABLE_FL;
                ::ioctl(fd, FS_IOC_SETFLAGS, &cleared);
                ::close(fd);
            };
#endif
        }
#endif
    } else if (obstacle == u"file size limit") {
#if !defined(Q_OS_UNIX)
        QSKIP("no file size limit on this system to make writes fail");
#else
        // Writes past the limit fail with EFBIG, for root too: a disk that fills up.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit tight = old;
        tight.rlim_cur = 100;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &tight), 0);
        restore.undo = [old] { setrlimit(RLIMIT_FSIZE, &old); };
#endif
    } else {
        QVERIFY(QFile::remove(install.ws + u"search.html"_s));
        QVERIFY(QDir(install.ws).mkdir(u"search.html"_s));
    }

    const SearchOutcome outcome = runSearch(u"裁定"_s, install.program);
    if (restore.undo)
        std::exchange(restore.undo, nullptr)();

    QCOMPARE(outcome.kind, Kind::Unsaved);
    QCOMPARE(outcome.hits, lines);
    QCOMPARE(outcome.pagePath, ContentPaths::resultPage(install.program));
    QCOMPARE(outcome.page, page);
    QVERIFY2(outcome.message.startsWith(u"搜索结果无法保存到 "_s + install.ws + failedFile + u"："_s + reason),
             qPrintable(outcome.message));
    if (failedFile == u"search.html") {
        QCOMPARE(install.read(u"search.txt"_s), gbk(page));
    } else {
        QCOMPARE(install.read(u"search.txt"_s), "old search.txt"_ba);
        QCOMPARE(install.read(u"search.html"_s), "old search.html"_ba);
    }
    QCOMPARE(install.entries(), Untouched); // no half-written file left behind
}

void KeywordSearchTest::noNewFile_whileTheIndexIsRead()
{
#if !defined(Q_OS_UNIX)
    QSKIP("needs a named pipe for an index that arrives in parts");
#else
    // The index comes through a pipe: the search is caught half-way through it.
    Install install{QByteArray()};
    const QString index = install.ws + u"alllist.txt"_s;
    QVERIFY(QFile::remove(index));
    QCOMPARE(::mkfifo(QFile::encodeName(index).constData(), 0600), 0);
    SearchOutcome outcome;
    QThread *search = QThread::create([&] { outcome = runSearch(u"甲"_s, install.program); });
    search->start();
    {
        QFile pipe(index);
        QVERIFY(pipe.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray half = indexOf({u"a.html\">甲"_s}).repeated(1000);
        QCOMPARE(pipe.write(half), half.size());
        // Nothing to wait for where nothing may appear: the search has had the
        // lines many times over by the time this looks.
        QTest::qWait(300);
        // (The pipe itself is no file to QDir.)
        QCOMPARE(install.entries(), (QStringList{u"search.html"_s, u"search.txt"_s, u"searchmoban.txt"_s}));
    }
    QVERIFY(search->wait(30000));
    delete search;
    QCOMPARE(outcome.kind, Kind::Saved);
    QCOMPARE(outcome.hits, 1000);
#endif
}

void KeywordSearchTest::leftovers_goWithTheNextSearch_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::newRow("a search that finds nothing") << u"乙"_s;
    QTest::newRow("a search that saves") << u"甲"_s;
}

void KeywordSearchTest::leftovers_goWithTheNextSearch()
{
    QFETCH(QString, keyword);
    Install install(indexOf({u"a.html\">甲"_s}));
    install.write(u"search.txt.new-5e1f"_s, "half a page");
    install.write(u"search.html.new-9a0b.Xc3dE2"_s, "half a page");
    install.write(u"notes.new-1"_s, "the user's");
    runSearch(keyword, install.program);
    QCOMPARE(install.entries(), (QStringList{u"alllist.txt"_s, u"notes.new-1"_s, u"search.html"_s, u"search.txt"_s,
                                             u"searchmoban.txt"_s}));
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    KeywordSearchTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_keywordsearch.moc"
