// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/filestore.h"

#include <QByteArray>

namespace Juanzong::FileStore {

QString unreadableReason(const QString &path)
{
    return Source(path).reason();
}

QString replace(const QString &path, QByteArrayView bytes)
{
    Replacement file(path);
    file.write(bytes);
    return file.commit() ? QString() : file.reason();
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
