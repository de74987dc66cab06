// SPDX-License-Identifier: GPL-3.0-or-later
// Replacing a file whole or not at all, and the reasons given when reading or writing fails.
#include "search/filestore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#if defined(Q_OS_UNIX)
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Juanzong;
using namespace Qt::StringLiterals;

namespace {
#if defined(JUANZONG_PORTABLE_FILES)
// Qt reports a write past the size limit only as a failed write, with its own text.
const QString TooLarge = u"写入出错"_s;
#else
const QString TooLarge = u"文件超过了允许的大小"_s;
#endif

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// Makes every write past 100 bytes fail with EFBIG, for root too, until destroyed.
class FileSizeLimit final
{
public:
    FileSizeLimit()
    {
#if defined(Q_OS_UNIX)
        std::signal(SIGXFSZ, SIG_IGN);
        m_set = getrlimit(RLIMIT_FSIZE, &m_old) == 0;
        rlimit tight = m_old;
        tight.rlim_cur = 100;
        m_set = m_set && setrlimit(RLIMIT_FSIZE, &tight) == 0;
#endif
    }
    ~FileSizeLimit()
    {
#if defined(Q_OS_UNIX)
        if (m_set)
            setrlimit(RLIMIT_FSIZE, &m_old);
#endif
    }
    Q_DISABLE_COPY_MOVE(FileSizeLimit)
    bool isSet() const { return m_set; }

private:
    bool m_set = false;
#if defined(Q_OS_UNIX)
    rlimit m_old{};
#endif
};
} // namespace

class FileStoreTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void replace_data();
    void replace();
    void replace_failure_data();
    void replace_failure();
    void uncommitted_leavesNoTrace();
    void firstError_sticks();
    void replaceWithCopy_data();
    void replaceWithCopy();
    void replaceWithCopy_failure_data();
    void replaceWithCopy_failure();
    void replaceWithCopy_isASecondName();
    void unreadableReason_data();
    void unreadableReason();
    void oldFile_data();
    void oldFile();
    void removeLeftovers_data();
    void removeLeftovers();
};

void FileStoreTest::replace_data()
{
    QTest::addColumn<QByteArray>("old");
    QTest::addColumn<bool>("oldExists");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("no file yet") << QByteArray() << false << "new page"_ba;
    QTest::newRow("longer file") << "an old page, longer than the new one"_ba << true << "new page"_ba;
    QTest::newRow("shorter file") << "old"_ba << true << "new page"_ba;
    QTest::newRow("empty content") << "old"_ba << true << QByteArray();
    QTest::newRow("several megabytes") << "old"_ba << true << QByteArray(5 << 20, '\xB0');
}

void FileStoreTest::replace()
{
    QFETCH(QByteArray, old);
    QFETCH(bool, oldExists);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"search.txt"_s);
    if (oldExists)
        put(path, old);

    QCOMPARE(FileStore::replace(path, bytes), QString());
    QCOMPARE(contentOf(path), bytes);
    QCOMPARE(entriesOf(dir.path()), QStringList{u"search.txt"_s});
}

void FileStoreTest::replace_failure_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("folder missing") << u""_s << u"missing/search.txt"_s << u"所在的文件夹不存在"_s;
    QTest::newRow("path through a file") << u""_s << u"old.txt/search.txt"_s << u"路径中有一段不是文件夹"_s;
    QTest::newRow("a folder of that name") << u"folder"_s << u"search.txt"_s << u"同名的是一个文件夹，不是文件"_s;
    QTest::newRow("disk stops taking bytes") << u"file size limit"_s << u"old.txt"_s << TooLarge;
}

void FileStoreTest::replace_failure()
{
    QFETCH(QString, obstacle);
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    put(dir.filePath(u"old.txt"_s), "old page");
    if (obstacle == u"folder")
        QVERIFY(QDir(dir.path()).mkdir(name));
    const QStringList before = entriesOf(dir.path());

    QString failure;
    if (obstacle == u"file size limit") {
        const FileSizeLimit limit;
        if (!limit.isSet())
            QSKIP("no file size limit on this system to make writes fail");
        failure = FileStore::replace(dir.filePath(name), QByteArray(1000, 'x'));
    } else {
        failure = FileStore::replace(dir.filePath(name), "new page");
    }

    QVERIFY2(failure.startsWith(reason), qPrintable(failure));
    QCOMPARE(contentOf(dir.filePath(u"old.txt"_s)), "old page"_ba);
    QCOMPARE(entriesOf(dir.path()), before);
    if (obstacle == u"folder")
        QVERIFY(entriesOf(dir.filePath(name)).isEmpty());
}

void FileStoreTest::uncommitted_leavesNoTrace()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"search.txt"_s);
    put(path, "old page");
    {
        FileStore::Replacement file(path);
        QVERIFY(file.write(QByteArray(3 << 20, 'x')));
        QVERIFY(!file.failed());
    }
    QCOMPARE(contentOf(path), "old page"_ba);
    QCOMPARE(entriesOf(dir.path()), QStringList{u"search.txt"_s});
}

void FileStoreTest::firstError_sticks()
{
    // Once the folder was missing, its appearing later changes nothing: no
    // half-made file may turn up in it, and the reason stays the first one.
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"later"_s);
    FileStore::Replacement file(folder + u"/search.txt"_s);
    QVERIFY(file.failed());
    QVERIFY(QDir().mkdir(folder));
    QVERIFY(!file.write("new page"));
    QVERIFY(!file.commit());
    QCOMPARE(file.reason(), u"所在的文件夹不存在"_s);
    QCOMPARE(entriesOf(folder), QStringList());
}

void FileStoreTest::replaceWithCopy_data()
{
    QTest::addColumn<bool>("oldExists");
    QTest::newRow("over an older page") << true;
    QTest::newRow("no page yet") << false;
}

void FileStoreTest::replaceWithCopy()
{
    QFETCH(bool, oldExists);
    QTemporaryDir dir;
    const QString source = dir.filePath(u"search.txt"_s);
    const QString target = dir.filePath(u"search.html"_s);
    const QByteArray page(3 << 20, '\xC3'); // more than one buffer's worth when copied
    QCOMPARE(FileStore::replace(source, page), QString());
    if (oldExists)
        put(target, "old search.html");

    QCOMPARE(FileStore::replaceWithCopy(target, source), QString());
    QCOMPARE(contentOf(target), page);
    // The next search replaces search.txt first; search.html must not change with it.
    QCOMPARE(FileStore::replace(source, "next page"), QString());
    QCOMPARE(contentOf(target), page);
    QCOMPARE(entriesOf(dir.path()), (QStringList{u"search.html"_s, u"search.txt"_s}));
}

void FileStoreTest::replaceWithCopy_failure_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<QString>("reason");
    QTest::newRow("source missing") << u"no source"_s << u"文件不存在"_s;
    QTest::newRow("a folder of that name") << u"folder"_s << u"同名的是一个文件夹，不是文件"_s;
    QTest::newRow("target's folder missing") << u"no folder"_s << u"所在的文件夹不存在"_s;
}

void FileStoreTest::replaceWithCopy_failure()
{
    QFETCH(QString, obstacle);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString source = dir.filePath(u"search.txt"_s);
    QString target = dir.filePath(u"search.html"_s);
    if (obstacle != u"no source")
        put(source, "page");
    if (obstacle == u"folder")
        QVERIFY(QDir(dir.path()).mkdir(u"search.html"_s));
    else if (obstacle == u"no folder")
        target = dir.filePath(u"missing/search.html"_s);
    else
        put(target, "old search.html");
    const QStringList before = entriesOf(dir.path());

    QCOMPARE(FileStore::replaceWithCopy(target, source), reason);
    QCOMPARE(entriesOf(dir.path()), before);
    if (obstacle == u"no source")
        QCOMPARE(contentOf(target), "old search.html"_ba);
    if (obstacle == u"folder")
        QVERIFY(entriesOf(target).isEmpty());
}

void FileStoreTest::replaceWithCopy_isASecondName()
{
#if defined(JUANZONG_PORTABLE_FILES) || !defined(Q_OS_UNIX)
    QSKIP("the portable store always copies: a link on Windows would be a shortcut file");
#else
    // A copy of a large page would cost as much as the search itself.
    QTemporaryDir dir;
    const QString source = dir.filePath(u"search.txt"_s);
    const QString target = dir.filePath(u"search.html"_s);
    QCOMPARE(FileStore::replace(source, "page"), QString());
    put(target, "old search.html");
    QCOMPARE(FileStore::replaceWithCopy(target, source), QString());
    struct stat a {};
    struct stat b {};
    QCOMPARE(::stat(QFile::encodeName(source).constData(), &a), 0);
    QCOMPARE(::stat(QFile::encodeName(target).constData(), &b), 0);
    QCOMPARE(a.st_ino, b.st_ino);
    QCOMPARE(a.st_nlink, nlink_t(2));
#endif
}

void FileStoreTest::unreadableReason_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("readable") << u"page.txt"_s << QString();
    QTest::newRow("missing") << u"missing.txt"_s << u"文件不存在"_s;
    QTest::newRow("missing folder on the way") << u"missing/page.txt"_s << u"文件不存在"_s;
    QTest::newRow("a folder") << u"folder"_s << u"同名的是一个文件夹，不是文件"_s;
    QTest::newRow("path through a file") << u"page.txt/x"_s << u"路径中有一段不是文件夹"_s;
    QTest::newRow("no permission") << u"secret.txt"_s << u"没有读取权限"_s;
}

void FileStoreTest::unreadableReason()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    put(dir.filePath(u"page.txt"_s), "page");
    QVERIFY(QDir(dir.path()).mkdir(u"folder"_s));
    if (name == u"secret.txt") {
#if defined(Q_OS_UNIX)
        if (geteuid() == 0)
            QSKIP("root reads a file whatever its permissions");
        put(dir.filePath(name), "secret");
        QVERIFY(QFile::setPermissions(dir.filePath(name), QFileDevice::WriteOwner));
#else
        QSKIP("a file cannot be made unreadable through its permissions here");
#endif
    }
    QCOMPARE(FileStore::unreadableReason(dir.filePath(name)), reason);
}

void FileStoreTest::oldFile_data()
{
    // What stands at the name to replace, beside notes.txt (which must never change):
    // "link" points at notes.txt, "dangling" at nothing, a number is the mode of a plain file.
    QTest::addColumn<QString>("old");
    QTest::addColumn<bool>("byCopy"); // replaceWithCopy from a fresh search.txt, else replace
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("mode"); // of the file afterwards; 0: as a new file gets it
    const QString readOnly = u"没有写入权限"_s;
    QTest::newRow("link is replaced, not written through") << u"link"_s << false << QString() << 0;
    QTest::newRow("link is replaced by a copy") << u"link"_s << true << QString() << 0;
    QTest::newRow("dangling link is replaced") << u"dangling"_s << false << QString() << 0;
    QTest::newRow("read-only file is kept") << u"444"_s << false << readOnly << 0444;
    QTest::newRow("read-only file is kept from a copy") << u"444"_s << true << readOnly << 0444;
    QTest::newRow("private file stays private") << u"600"_s << false << QString() << 0600;
    QTest::newRow("private file stays private in a copy") << u"600"_s << true << QString() << 0600;
    QTest::newRow("group-writable file stays so despite the umask") << u"664"_s << false << QString() << 0664;
}

void FileStoreTest::oldFile()
{
#if !defined(Q_OS_UNIX)
    QSKIP("links and permission bits are the POSIX kind here");
#else
    QFETCH(QString, old);
    QFETCH(bool, byCopy);
    QFETCH(QString, reason);
    QFETCH(int, mode);
    QTemporaryDir dir;
    const QString notes = dir.filePath(u"notes.txt"_s);
    const QString target = dir.filePath(u"search.html"_s);
    const QString source = dir.filePath(u"search.txt"_s);
    put(notes, "the user's notes");
    if (old == u"link")
        QVERIFY(QFile::link(notes, target));
    else if (old == u"dangling")
        QVERIFY(QFile::link(dir.filePath(u"gone.txt"_s), target));
    else {
        put(target, "old page");
        QCOMPARE(::chmod(QFile::encodeName(target).constData(), mode_t(old.toInt(nullptr, 8))), 0);
    }
    const mode_t mask = ::umask(022);
    QString failure;
    if (byCopy) {
        QCOMPARE(FileStore::replace(source, "new page"), QString());
        failure = FileStore::replaceWithCopy(target, source);
    } else {
        failure = FileStore::replace(target, "new page");
    }
    ::umask(mask);

    QCOMPARE(failure, reason);
    QCOMPARE(contentOf(notes), "the user's notes"_ba);
    struct stat info {};
    QCOMPARE(::lstat(QFile::encodeName(target).constData(), &info), 0);
    QCOMPARE(contentOf(target), reason.isEmpty() ? "new page"_ba : "old page"_ba);
    QVERIFY(S_ISREG(info.st_mode));
    QCOMPARE(int(info.st_mode & 0777), mode ? mode : 0644);
    QStringList expected = {u"notes.txt"_s, u"search.html"_s};
    if (byCopy)
        expected.append(u"search.txt"_s);
    QCOMPARE(entriesOf(dir.path()), expected);
#endif
}

void FileStoreTest::removeLeftovers_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("removed");
    QTest::newRow("own temporary file") << u"search.txt.new-1f2e3d"_s << true;
    QTest::newRow("the saved file's own temporary file") << u"search.txt.new-1f2e3d.Ab12Cd"_s << true;
    QTest::newRow("the file itself") << u"search.txt"_s << false;
    QTest::newRow("a name that only begins alike") << u"search.txt.news"_s << false;
    QTest::newRow("another file's temporary file") << u"search.html.new-1f2e3d"_s << false;
    QTest::newRow("a folder of that pattern") << u"search.txt.new-folder"_s << false;
}

void FileStoreTest::removeLeftovers()
{
    QFETCH(QString, name);
    QFETCH(bool, removed);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (name.endsWith(u"folder"))
        QVERIFY(QDir(dir.path()).mkdir(name));
    else
        put(path, "left over");
    FileStore::removeLeftovers(dir.filePath(u"search.txt"_s));
    QCOMPARE(QFileInfo::exists(path), !removed);
}

QTEST_GUILESS_MAIN(FileStoreTest)
#include "tst_filestore.moc"
