// SPDX-License-Identifier: GPL-3.0-or-later
// Files on disk for the tests: GBK text, writing, reading, listing, a disk that
// fills up, the fuzzers' inputs, and readers written elsewhere run on a file.
#pragma once

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringEncoder>
#include <QTest>

#include <functional>

#if defined(Q_OS_UNIX)
#include <csignal>
#include <sys/resource.h>
#endif

namespace TestFiles {

#if defined(JUANZONG_PORTABLE_FILES)
// Qt reports a write past the size limit only as a failed write, with its own text.
inline const QString TooLarge = QStringLiteral("写入出错");
#else
inline const QString TooLarge = QStringLiteral("文件超过了允许的大小");
#endif

// Text as the content folder holds it.
inline QByteArray gbk(const QString &text)
{
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}

inline QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline void put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

inline QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// Runs work while every write past 100 bytes fails with EFBIG, for root too;
// false where no such limit can be set.
inline bool onAFullDisk(const std::function<void()> &work)
{
#if defined(Q_OS_UNIX)
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    if (getrlimit(RLIMIT_FSIZE, &old) == 0) {
        rlimit tight = old;
        tight.rlim_cur = 100;
        if (setrlimit(RLIMIT_FSIZE, &tight) == 0) {
            work();
            setrlimit(RLIMIT_FSIZE, &old);
            return true;
        }
    }
#endif
    return false;
}

// The id of a process that has ended: what a killed writer leaves in a name.
inline QString endedProcessId()
{
    QProcess shell;
    shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("echo $$")});
    shell.waitForFinished();
    return QString::fromLatin1(shell.readAllStandardOutput().trimmed());
}

// A row "path" per input in the folders of a fuzzer's seeds and of every input
// it once broke a rule with, named for its folder and file.
inline void fuzzInputRows(std::initializer_list<const char *> folders)
{
    QTest::addColumn<QString>("path");
    for (const char *folder : folders) {
        const QDir dir(QString::fromLocal8Bit(folder));
        for (const QFileInfo &file : dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name)) {
            if (file.fileName() != u".gitkeep")
                QTest::newRow(qPrintable(dir.dirName() + u'/' + file.fileName())) << file.filePath();
        }
    }
}

// Runs a program to its end and gives what it printed, and its errors too where it
// failed; ok says whether it ran to the end and succeeded.
inline QString run(const QString &program, const QStringList &arguments, int timeout = 60000, bool *ok = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(timeout);
    if (!finished)
        process.kill();
    const bool succeeded = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (ok)
        *ok = succeeded;
    const QByteArray out = process.readAllStandardOutput();
    return QString::fromUtf8(succeeded ? out : out + process.readAllStandardError());
}

#if defined(JUANZONG_READ_DOCX)
// A Word file as python-docx reads it, in read_docx.py's report; empty where it cannot.
inline QJsonObject readDocx(const QString &path)
{
    const QString json = run(QStringLiteral("/usr/bin/python3"), {QStringLiteral(JUANZONG_READ_DOCX), path});
    const QJsonObject read = QJsonDocument::fromJson(json.toUtf8()).object();
    if (read.isEmpty())
        qWarning("%s", qPrintable(json));
    return read;
}

// The texts of its paragraphs.
inline QStringList docxParagraphs(const QString &path)
{
    QStringList out;
    for (const QJsonValue &p : readDocx(path).value(u"paragraphs").toArray())
        out.append(p[u"text"].toString());
    return out;
}
#endif

} // namespace TestFiles
