// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/contentpaths.h"

#include <QCoreApplication>
#include <QDir>

namespace Juanzong::ContentPaths {

namespace {
QString inContent(const QString &programDir, const QString &name)
{
    return contentRoot(programDir) + name;
}
} // namespace

QString programDirectory()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString contentRoot(const QString &programDir)
{
    const QChar sep = QDir::separator();
    return programDir + sep + u"ws" + sep;
}

QString startPage(const QString &programDir)
{
    return inContent(programDir, QStringLiteral("wszzgf.html"));
}

QString aboutPage(const QString &programDir)
{
    return inContent(programDir, QStringLiteral("index.html"));
}

QString leafPage(const QString &programDir, const QString &key)
{
    return inContent(programDir, key + u".html");
}

QString searchIndex(const QString &programDir)
{
    return inContent(programDir, QStringLiteral("alllist.txt"));
}

QString searchTemplate(const QString &programDir)
{
    return inContent(programDir, QStringLiteral("searchmoban.txt"));
}

QString intermediatePage(const QString &programDir)
{
    return inContent(programDir, QStringLiteral("search.txt"));
}

QString resultPage(const QString &programDir)
{
    return inContent(programDir, QStringLiteral("search.html"));
}

QString skinFile(const QString &programDir)
{
    return programDir + u"/black.she";
}

QString proposedFileName(const QString &text, QStringView suffix)
{
    constexpr qsizetype LongestName = 255; // bytes: ext4, XFS, Btrfs; NTFS counts 255 UTF-16 units
    QString name = text;
    for (QChar &c : name)
        if (QStringView(u"\\/:*?\"<>|").contains(c) || c.unicode() < 0x20)
            c = u'_';
    const auto trim = [](QString &n) {
        // Dots at the end vanish on Windows; a name of dots alone means a folder.
        while (!n.isEmpty() && (n.front() == u'.' || n.front().isSpace()))
            n.remove(0, 1);
        while (!n.isEmpty() && (n.back() == u'.' || n.back().isSpace()))
            n.chop(1);
    };
    trim(name);
    const qsizetype room = LongestName - suffix.toUtf8().size();
    qsizetype bytes = 0;
    qsizetype end = 0;
    while (end < name.size()) {
        const char16_t c = name.at(end).unicode();
        const bool pair = QChar::isHighSurrogate(c) && end + 1 < name.size() && name.at(end + 1).isLowSurrogate();
        // A lone surrogate goes out as U+FFFD, three bytes.
        const qsizetype size = pair ? 4 : c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (bytes + size > room)
            break;
        bytes += size;
        end += pair ? 2 : 1;
    }
    name.truncate(end);
    trim(name);
    return (name.isEmpty() ? QStringLiteral("文书") : name) + suffix;
}

std::optional<QString> insideFolder(const QString &root, const QString &path)
{
    // Backslashes count as separators everywhere: a name from a page or a URL
    // must not climb out through one on Windows and stay inside elsewhere.
    const auto clean = [](QString p) { return QDir::cleanPath(p.replace(u'\\', u'/')); };
    const QString folder = clean(root);
    const QString file = clean(path);
    // At a drive's or the file system's root the cleaned folder keeps its separator.
    const bool atRoot = folder.endsWith(u'/');
    const qsizetype start = atRoot ? folder.size() : folder.size() + 1;
    if (folder.isEmpty() || file.size() <= start || !file.startsWith(folder, FileCase)
        || (!atRoot && file.at(folder.size()) != u'/')) {
        return std::nullopt;
    }
    return file.sliced(start);
}

} // namespace Juanzong::ContentPaths
