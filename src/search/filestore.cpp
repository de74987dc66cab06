// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/filestore.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Juanzong::FileStore {

QString unreadableReason(const QString &path)
{
    return Source(path).reason();
}

void removeLeftovers(const QString &path)
{
    // Another copy of the program searching at this very moment loses its
    // half-written page to this and says it could not save; no page is lost.
    const QFileInfo file(path);
    QDir folder = file.dir();
    const QStringList leftovers = folder.entryList(QStringList{file.fileName() + u".new-*"},
                                                   QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : leftovers)
        QFile::remove(folder.filePath(name));
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
