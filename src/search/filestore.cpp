// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/filestore.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <functional>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <csignal>
#elif defined(Q_OS_WIN)
#include <windows.h>
#endif

using namespace Qt::StringLiterals;

namespace Juanzong::FileStore {

// What the user is not told: off unless asked for (QT_LOGGING_RULES="juanzong.search.warning=true").
Q_LOGGING_CATEGORY(lcSearch, "juanzong.search", QtCriticalMsg)

QString unreadableReason(const QString &path)
{
    return Source(path).reason();
}

QString temporaryName(const QString &path)
{
    return path + u".new-" + QString::number(QCoreApplication::applicationPid()) + u'-'
        + QString::number(QRandomGenerator::global()->generate(), 16);
}

namespace {
constexpr QStringView Marker = u".new-";

bool processRunning(qint64 pid)
{
#if defined(Q_OS_UNIX)
    // EPERM: it runs, under another user.
    return pid > 0 && pid_t(pid) == pid && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
#elif defined(Q_OS_WIN)
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!process)
        return ::GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool running = ::GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    ::CloseHandle(process);
    return running;
#else
    Q_UNUSED(pid);
    return true;
#endif
}

// Whether the leftover at path, named "<file>.new-<tail>", may still be written.
bool mayBeInUse(const QFileInfo &file, QStringView tail)
{
    const qsizetype dash = tail.indexOf(u'-');
    bool isNumber = false;
    const qint64 pid = dash > 0 ? tail.first(dash).toLongLong(&isNumber) : 0;
    if (isNumber)
        return processRunning(pid);
    return file.lastModified().secsTo(QDateTime::currentDateTime()) < 60;
}

void removeMatching(const QDir &folder, const QStringList &filters, const std::function<bool(const QString &)> &ofFile)
{
    const QStringList names =
        folder.entryList(filters, QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        const qsizetype marker = name.lastIndexOf(Marker);
        if (marker <= 0 || !ofFile(name.first(marker)))
            continue;
        const QFileInfo file(folder.filePath(name));
        if (!mayBeInUse(file, QStringView(name).sliced(marker + Marker.size())) && !QFile::remove(file.filePath()))
            qCWarning(lcSearch) << "leftover of an interrupted write not removed:" << file.filePath();
    }
}
} // namespace

void removeLeftovers(const QString &path)
{
    const QFileInfo file(path);
    const QString fileName = file.fileName();
    removeMatching(file.dir(), {u"*.new-*"_s}, [&](const QString &of) { return of == fileName; });
}

void removeLeftovers(const QString &folder, const QString &pattern)
{
    const QRegularExpression matches(QRegularExpression::wildcardToRegularExpression(pattern));
    removeMatching(QDir(folder), {pattern + u".new-*"}, [&](const QString &of) { return matches.match(of).hasMatch(); });
}

QString replaceWithCopy(const QString &path, const QString &source)
{
    if (std::optional<QString> linked = replaceWithLink(path, source))
        return *linked;

    Source in(source);
    if (!in.reason().isEmpty())
        return in.reason();
    Replacement out(path);
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qsizetype got = in.read(buffer.data(), buffer.size());
        if (got < 0)
            return in.reason();
        if (got == 0)
            break;
        if (!out.write(QByteArrayView(buffer.constData(), got)))
            break; // the reason comes from commit, which then only cleans up
    }
    return out.commit() ? QString() : out.reason();
}

} // namespace Juanzong::FileStore
