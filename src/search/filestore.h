// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and replacing the content folder's files, with reasons a user can read.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <memory>
#include <optional>

// Two ways to reach the disk, chosen when the library is built: plain POSIX
// calls on Unix (filestore_posix.cpp), QFile and QSaveFile everywhere else
// (filestore_qt.cpp; a library built on it defines JUANZONG_PORTABLE_FILES).
// Both keep the same promises and give the same reasons where they can tell.
namespace Juanzong::FileStore {

// The path of a file being read or replaced and the first error met with it.
class FileAccess
{
public:
    // Why the file could not be opened, read or written, or an empty string.
    QString reason() const { return m_reason; }

protected:
    explicit FileAccess(const QString &path)
        : m_path(path)
    {
    }

    QString m_path;
    QString m_reason;
};

// A file read once from start to end.
class Source final : public FileAccess
{
public:
    explicit Source(const QString &path);
    ~Source();
    Q_DISABLE_COPY_MOVE(Source)

    // Fills data with up to size bytes and returns how many, 0 at the end of
    // the file, -1 once reading failed.
    qsizetype read(char *data, qsizetype size);

private:
    struct Handle;
    std::unique_ptr<Handle> m_handle;
};

// Why the file at path cannot be opened for reading, or an empty string.
QString unreadableReason(const QString &path);

// The new content of a file, written beside it, synced to disk and renamed
// over it only once complete: the file holds its previous or its new content
// at every moment, whatever fails, whenever the process dies or the power goes.
// The first error sticks, and makes every later step do nothing.
// A symbolic link in the file's place is replaced, never written through; a
// file whose owner may not write it is left as it is (the reason says so); the
// new file keeps the permission bits of the old one.
class Replacement final : public FileAccess
{
public:
    explicit Replacement(const QString &path);
    ~Replacement(); // a replacement never committed leaves no trace
    Q_DISABLE_COPY_MOVE(Replacement)

    bool write(QByteArrayView bytes);
    bool commit();
    bool failed() const { return !m_reason.isEmpty(); }

private:
    struct Handle;
    std::unique_ptr<Handle> m_handle;
};

// A replacement's new content grows under the name of the file followed by
// ".new-", the process id and a random part ("search.txt.new-4711-1a2b3c")
// until it is complete: the name for one beside path.
QString temporaryName(const QString &path);
// Removes what killed processes left under such names beside the file at
// path, or beside every file of folder that matches the wildcard pattern
// ("*.docx"). A name whose process still runs is left alone: another copy of
// the program may be writing it. One without a process id goes once it has
// not changed for a minute.
void removeLeftovers(const QString &path);
void removeLeftovers(const QString &folder, const QString &pattern);

// Replaces the file at path by a second name for the complete file source.
// Returns nothing where no second name can be made here, or where one would
// not keep the old file's permission bits; otherwise why it failed or an
// empty string.
std::optional<QString> replaceWithLink(const QString &path, const QString &source);

// Replaces the file at path by the content of the complete file source: a
// second name for it where the file system allows, a copy otherwise. Returns
// why it failed, or an empty string.
QString replaceWithCopy(const QString &path, const QString &source);

} // namespace Juanzong::FileStore
