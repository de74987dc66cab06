// Reading and replacing the content folder's files, with reasons a user can read.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

namespace Juanzong::FileStore {

enum class Access { Read, Write };

// A short Chinese reason for a system error code met while reading or writing.
QString reasonFor(int errorCode, Access access);

// Why the file at path cannot be opened for reading, or an empty string.
QString unreadableReason(const QString &path);

// The new content of a file, written beside it and renamed over it only once
// complete: the file holds its previous or its new content at every moment,
// whatever fails and whenever the process dies. The first error sticks, and
// makes every later step do nothing.
class Replacement final
{
public:
    explicit Replacement(const QString &path);
    ~Replacement(); // a replacement never committed leaves no trace
    Q_DISABLE_COPY_MOVE(Replacement)

    bool write(QByteArrayView bytes);
    bool commit();
    bool failed() const { return m_error != 0; }
    QString reason() const { return reasonFor(m_error, Access::Write); }

private:
    QByteArray m_target;
    QByteArray m_temporary;
    int m_fd = -1;
    int m_error = 0;
};

// Replaces the file at path by one holding exactly bytes. Returns why it failed,
// or an empty string.
QString replace(const QString &path, QByteArrayView bytes);

// Replaces the file at path by the content of the complete file source (another
// name for it where the file system allows). Returns why it failed, or an empty string.
QString replaceWithCopy(const QString &path, const QString &source);

} // namespace Juanzong::FileStore
