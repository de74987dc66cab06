// SPDX-License-Identifier: GPL-3.0-or-later
// Replacing a file whole or not at all, and the reasons given when reading or writing fails.
#include "files.h"
#include "search/filestore.h"

#include <QFileInfo>
#include <QTemporaryDir>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Juanzong;
using namespace Qt::StringLiterals;

using namespace TestFiles;

#if defined(Q_OS_LINUX) && !defined(JUANZONG_PORTABLE_FILES)
#include <atomic>
#include <cstdarg>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>

// As many of the next new files as this says are taken by someone else
// already: another search, or a planted file.
static std::atomic<int> g_takenNames{0};

extern "C" int open(const char *path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const auto mode = (flags & O_CREAT) != 0 ? mode_t(va_arg(arguments, unsigned)) : mode_t(0);
    va_end(arguments);
    if ((flags & O_EXCL) != 0 && std::strstr(path, ".new-") && g_takenNames.fetch_sub(1) > 0) {
        errno = EEXIST;
        return -1;
    }
    static const auto next = reinterpret_cast<int (*)(const char *, int, ...)>(dlsym(RTLD_NEXT, "open"));
    return next(path, flags, mode);
}

// The next this many calls of the system call named are interrupted by a signal.
static const char *g_interruptedCall = "";
static int g_interruptions = 0;

static bool interrupted(const char *call)
{
    if (g_interruptions <= 0 || std::strcmp(call, g_interruptedCall) != 0)
        return false;
    --g_interruptions;
    errno = EINTR;
    return true;
}

extern "C" ssize_t read(int fd, void *buffer, size_t size)
{
    static const auto next = reinterpret_cast<ssize_t (*)(int, void *, size_t)>(dlsym(RTLD_NEXT, "read"));
    return interrupted("read") ? -1 : next(fd, buffer, size);
}

extern "C" ssize_t write(int fd, const void *buffer, size_t size)
{
    static const auto next = reinterpret_cast<ssize_t (*)(int, const void *, size_t)>(dlsym(RTLD_NEXT, "write"));
    return interrupted("write") ? -1 : next(fd, buffer, size);
}

extern "C" int fsync(int fd)
{
    static const auto next = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    return interrupted("fsync") ? -1 : next(fd);
}
#endif

namespace {
// Writes bytes as a search writes its page, and says why it failed.
QString replace(const QString &path, QByteArrayView bytes)
{
    FileStore::Replacement file(path);
    file.write(bytes);
    return file.commit() ? QString() : file.reason();
}
} // namespace

class FileStoreTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void replace_data();
    void replace();
    void takenName_anotherIsTried();
    void interruptedCall_isMadeAgain_data();
    void interruptedCall_isMadeAgain();
    void firstError_sticks();
    void replaceWithCopy_data();
    void replaceWithCopy();
    void unreadableReason_data();
    void unreadableReason();
    void oldFile_data();
    void oldFile();
};

void FileStoreTest::replace_data()
{
    // Beside search.txt, which holds "old page" unless the row says "none".
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no file yet") << u"none"_s << u"search.txt"_s << "new page"_ba << QString();
    QTest::newRow("longer file") << QString() << u"search.txt"_s << "new"_ba << QString();
    QTest::newRow("empty content") << QString() << u"search.txt"_s << QByteArray() << QString();
    QTest::newRow("several megabytes") << QString() << u"search.txt"_s << QByteArray(5 << 20, '\xB0') << QString();
    QTest::newRow("never committed_noTrace") << u"uncommitted"_s << u"search.txt"_s << QByteArray(3 << 20, 'x')
                                              << QString();
    QTest::newRow("folder missing") << QString() << u"missing/search.txt"_s << "new"_ba << u"所在的文件夹不存在"_s;
    QTest::newRow("path through a file") << QString() << u"search.txt/x.txt"_s << "new"_ba << u"路径中有一段不是文件夹"_s;
    QTest::newRow("a folder of that name") << u"folder"_s << u"page.txt"_s << "new"_ba << u"同名的是一个文件夹，不是文件"_s;
    QTest::newRow("disk stops taking bytes") << u"disk full"_s << u"search.txt"_s << QByteArray(1000, 'x') << TooLarge;
}

void FileStoreTest::replace()
{
    QFETCH(QString, obstacle);
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString old = dir.filePath(u"search.txt"_s);
    if (obstacle != u"none")
        put(old, "old page");
    if (obstacle == u"folder")
        QVERIFY(QDir(dir.path()).mkdir(name));
    const QString path = dir.filePath(name);

    QString failure;
    if (obstacle == u"disk full") {
        if (!onAFullDisk([&] { failure = ::replace(path, bytes); }))
            QSKIP("no file size limit on this system to make writes fail");
    } else if (obstacle == u"uncommitted") {
        FileStore::Replacement file(path);
        QVERIFY(file.write(bytes));
        QVERIFY(!file.failed());
    } else {
        failure = ::replace(path, bytes);
    }

    QVERIFY2(failure.startsWith(reason), qPrintable(failure));
    const bool changed = reason.isEmpty() && obstacle != u"uncommitted";
    QCOMPARE(contentOf(old), changed ? bytes : "old page"_ba);
    const QStringList expected = obstacle == u"folder" ? QStringList{name, u"search.txt"_s} : QStringList{u"search.txt"_s};
    QCOMPARE(entriesOf(dir.path()), expected);
    if (obstacle == u"folder")
        QVERIFY(entriesOf(path).isEmpty());
}

void FileStoreTest::takenName_anotherIsTried()
{
#if !defined(Q_OS_LINUX) || defined(JUANZONG_PORTABLE_FILES)
    QSKIP("new names are taken here only through the POSIX store's own open()");
#else
    QTemporaryDir dir;
    g_takenNames = 3;
    const QString reason = ::replace(dir.filePath(u"search.txt"_s), "new page");
    g_takenNames = 0;
    QCOMPARE(reason, QString());
    QCOMPARE(contentOf(dir.filePath(u"search.txt"_s)), "new page"_ba);
#endif
}

void FileStoreTest::interruptedCall_isMadeAgain_data()
{
    QTest::addColumn<QByteArray>("call");
    QTest::newRow("reading the index") << "read"_ba;
    QTest::newRow("writing the page") << "write"_ba;
    QTest::newRow("syncing the page") << "fsync"_ba;
}

void FileStoreTest::interruptedCall_isMadeAgain()
{
#if !defined(Q_OS_LINUX) || defined(JUANZONG_PORTABLE_FILES)
    QSKIP("only the POSIX store makes the system calls itself");
#else
    // A signal arriving mid-call is no failure: the search must not report one.
    QFETCH(QByteArray, call);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"search.txt"_s);
    QCOMPARE(::replace(path, "old page"), QString());

    char buffer[16] = {};
    g_interruptedCall = call.constData();
    g_interruptions = 2;
    const QString reason = ::replace(path, "new page");
    FileStore::Source source(path);
    const qsizetype got = source.read(buffer, sizeof buffer);
    const int left = g_interruptions;
    g_interruptions = 0;

    QCOMPARE(left, 0);
    QCOMPARE(reason, QString());
    QCOMPARE(source.reason(), QString());
    QCOMPARE(QByteArray(buffer, got), "new page"_ba);
#endif
}

void FileStoreTest::firstError_sticks()
{
    // The folder appearing after the failure changes nothing: no half-made
    // file turns up in it, and the reason stays the first one.
    QTemporaryDir dir;
    FileStore::Replacement file(dir.filePath(u"later/search.txt"_s));
    QVERIFY(QDir(dir.path()).mkdir(u"later"_s));
    QVERIFY(!file.write("new page"));
    QVERIFY(!file.commit());
    QCOMPARE(file.reason(), u"所在的文件夹不存在"_s);
    QCOMPARE(entriesOf(dir.filePath(u"later"_s)), QStringList());
}

void FileStoreTest::replaceWithCopy_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<QString>("reason");
    QTest::newRow("over an older page") << QString() << QString();
    QTest::newRow("no page yet") << u"no page"_s << QString();
    QTest::newRow("source missing") << u"no source"_s << u"文件不存在"_s;
    QTest::newRow("a folder of that name") << u"folder"_s << u"同名的是一个文件夹，不是文件"_s;
    QTest::newRow("target's folder missing") << u"no folder"_s << u"所在的文件夹不存在"_s;
}

void FileStoreTest::replaceWithCopy()
{
    QFETCH(QString, obstacle);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString source = dir.filePath(u"search.txt"_s);
    QString target = dir.filePath(u"search.html"_s);
    const QByteArray page(3 << 20, '\xC3'); // more than one buffer's worth when copied
    if (obstacle != u"no source")
        QCOMPARE(::replace(source, page), QString());
    if (obstacle == u"folder")
        QVERIFY(QDir(dir.path()).mkdir(u"search.html"_s));
    else if (obstacle == u"no folder")
        target = dir.filePath(u"missing/search.html"_s);
    else if (obstacle != u"no page")
        put(target, "old search.html");
    const QStringList before = entriesOf(dir.path());

    QCOMPARE(FileStore::replaceWithCopy(target, source), reason);
    if (!reason.isEmpty()) {
        QCOMPARE(entriesOf(dir.path()), before);
        if (obstacle == u"no source")
            QCOMPARE(contentOf(target), "old search.html"_ba);
        return;
    }
    QCOMPARE(contentOf(target), page);
    // The next search replaces search.txt first; search.html must not change with it.
    QCOMPARE(::replace(source, "next page"), QString());
    QCOMPARE(contentOf(target), page);
    QCOMPARE(entriesOf(dir.path()), (QStringList{u"search.html"_s, u"search.txt"_s}));
}

void FileStoreTest::unreadableReason_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("readable") << u"page.txt"_s << QString();
    QTest::newRow("missing") << u"missing.txt"_s << u"文件不存在"_s;
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
    // "link" points at notes.txt, a number is the mode of a plain file.
    QTest::addColumn<QString>("old");
    QTest::addColumn<bool>("byCopy"); // replaceWithCopy from a fresh search.txt, else a replacement
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("mode"); // of the file afterwards; 0: as a new file gets it
    const QString readOnly = u"没有写入权限"_s;
    QTest::newRow("link is replaced, not written through") << u"link"_s << false << QString() << 0;
    QTest::newRow("link is replaced by a copy") << u"link"_s << true << QString() << 0;
    QTest::newRow("read-only file is kept") << u"444"_s << false << readOnly << 0444;
    QTest::newRow("read-only file is kept from a copy") << u"444"_s << true << readOnly << 0444;
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
    if (old == u"link") {
        QVERIFY(QFile::link(notes, target));
    } else {
        put(target, "old page");
        QCOMPARE(::chmod(QFile::encodeName(target).constData(), mode_t(old.toInt(nullptr, 8))), 0);
    }
    const mode_t mask = ::umask(022);
    QString failure;
    if (byCopy) {
        QCOMPARE(::replace(source, "new page"), QString());
        failure = FileStore::replaceWithCopy(target, source);
    } else {
        failure = ::replace(target, "new page");
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

QTEST_GUILESS_MAIN(FileStoreTest)
#include "tst_filestore.moc"
