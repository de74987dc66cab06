// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/contenturl.h"

#include "core/contentpaths.h"

#include <QDir>
#include <QLoggingCategory>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QUrlQuery>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#include <optional>

namespace Juanzong::ContentUrl {

// What the view or the index could not read: the page shows a gap, the index
// lacks the page, and nobody is told. Off unless asked for
// (QT_LOGGING_RULES="juanzong.core.warning=true").
Q_LOGGING_CATEGORY(lcCore, "juanzong.core", QtCriticalMsg)

namespace {
constexpr QLatin1StringView MemoryKey{"inmemory"};

QString cleanRoot(const QString &root)
{
    QString folder = root;
    return QDir::cleanPath(folder.replace(u'\\', u'/'));
}

bool isFolderUrl(const QUrl &url)
{
    return url.scheme() == Scheme && url.host() == Host && url.port() == -1 && url.userInfo().isEmpty();
}

bool isAsciiSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// The character set a meta tag (its text from "<meta" to before ">", in lower
// case) names in an attribute or a content value: "gb2312" for charset=gb2312
// and for content="text/html; charset='gb2312'"; empty where it names none.
std::optional<QByteArray> charsetOf(QByteArrayView tag)
{
    for (qsizetype at = tag.indexOf("charset"); at >= 0; at = tag.indexOf("charset", at + 1)) {
        qsizetype after = at + 7;
        while (after < tag.size() && isAsciiSpace(tag.at(after)))
            ++after;
        if (after >= tag.size() || tag.at(after) != '=')
            continue;
        ++after;
        while (after < tag.size() && isAsciiSpace(tag.at(after)))
            ++after;
        if (after < tag.size() && (tag.at(after) == '"' || tag.at(after) == '\''))
            ++after;
        qsizetype end = after;
        while (end < tag.size() && !isAsciiSpace(tag.at(end)) && !QByteArrayView("\"';>").contains(tag.at(end)))
            ++end;
        return tag.sliced(after, end - after).toByteArray();
    }
    return std::nullopt;
}

// The page's own declaration: its byte order mark's encoding, or the label of
// the first meta tag naming a character set before the end of its head.
std::optional<QByteArray> declaredCharset(QByteArrayView head)
{
    if (head.startsWith("\xEF\xBB\xBF"))
        return QByteArray("utf-8");
    if (head.startsWith("\xFF\xFE"))
        return QByteArray("utf-16le");
    if (head.startsWith("\xFE\xFF"))
        return QByteArray("utf-16be");
    const QByteArray text = head.first(qMin(head.size(), SniffBytes)).toByteArray().toLower();
    // The head ends at its closing tag, or where the body starts without one.
    qsizetype end = text.size();
    for (const char *mark : {"</head", "<body"}) {
        const qsizetype at = text.indexOf(mark);
        if (at >= 0 && at < end)
            end = at;
    }
    const QByteArrayView inHead = QByteArrayView(text).first(end);
    for (qsizetype at = 0; at < inHead.size();) {
        const qsizetype comment = inHead.indexOf("<!--", at);
        const qsizetype meta = inHead.indexOf("<meta", at);
        if (meta < 0)
            break;
        if (comment >= 0 && comment < meta) {
            const qsizetype close = inHead.indexOf("-->", comment + 4);
            if (close < 0)
                break;
            at = close + 3;
            continue;
        }
        const qsizetype close = inHead.indexOf('>', meta);
        const qsizetype tagEnd = close < 0 ? inHead.size() : close;
        if (std::optional<QByteArray> label = charsetOf(inHead.sliced(meta, tagEnd - meta)))
            return label;
        at = tagEnd;
    }
    return std::nullopt;
}

// The labels of the WHATWG Encoding Standard that pages use,
// each with the encoding it stands for. A label declared in a meta tag that
// names UTF-16 reads as UTF-8, as the HTML standard says.
struct EncodingLabel
{
    const char *label;
    const char *encoding;
};
constexpr EncodingLabel EncodingLabels[] = {
    {"utf-8", "UTF-8"}, {"utf8", "UTF-8"}, {"unicode-1-1-utf-8", "UTF-8"}, {"unicode11utf8", "UTF-8"},
    {"unicode20utf8", "UTF-8"}, {"x-unicode20utf8", "UTF-8"},
    {"gb2312", "GBK"}, {"gbk", "GBK"}, {"x-gbk", "GBK"}, {"chinese", "GBK"}, {"csgb2312", "GBK"},
    {"csiso58gb231280", "GBK"}, {"gb_2312", "GBK"}, {"gb_2312-80", "GBK"}, {"iso-ir-58", "GBK"},
    {"gb18030", "gb18030"},
    {"big5", "Big5"}, {"big5-hkscs", "Big5"}, {"cn-big5", "Big5"}, {"csbig5", "Big5"}, {"x-x-big5", "Big5"},
    {"euc-jp", "EUC-JP"}, {"cseucpkdfmtjapanese", "EUC-JP"}, {"x-euc-jp", "EUC-JP"},
    {"iso-2022-jp", "ISO-2022-JP"}, {"csiso2022jp", "ISO-2022-JP"},
    {"shift_jis", "Shift_JIS"}, {"sjis", "Shift_JIS"}, {"ms932", "Shift_JIS"}, {"ms_kanji", "Shift_JIS"},
    {"windows-31j", "Shift_JIS"}, {"x-sjis", "Shift_JIS"}, {"csshiftjis", "Shift_JIS"},
    {"euc-kr", "EUC-KR"}, {"korean", "EUC-KR"}, {"ks_c_5601-1987", "EUC-KR"}, {"windows-949", "EUC-KR"},
    {"cseuckr", "EUC-KR"},
    {"iso-8859-1", "windows-1252"}, {"iso8859-1", "windows-1252"}, {"iso_8859-1", "windows-1252"},
    {"latin1", "windows-1252"}, {"l1", "windows-1252"}, {"ascii", "windows-1252"}, {"us-ascii", "windows-1252"},
    {"windows-1252", "windows-1252"}, {"cp1252", "windows-1252"}, {"x-cp1252", "windows-1252"},
    {"cp819", "windows-1252"}, {"ibm819", "windows-1252"}, {"iso-ir-100", "windows-1252"},
    {"csisolatin1", "windows-1252"}, {"ansi_x3.4-1968", "windows-1252"},
    {"iso-8859-2", "ISO-8859-2"}, {"latin2", "ISO-8859-2"}, {"iso-8859-5", "ISO-8859-5"},
    {"iso-8859-7", "ISO-8859-7"}, {"greek", "ISO-8859-7"}, {"iso-8859-15", "ISO-8859-15"},
    {"latin9", "ISO-8859-15"}, {"iso-8859-9", "windows-1254"}, {"latin5", "windows-1254"},
    {"windows-1250", "windows-1250"}, {"windows-1251", "windows-1251"}, {"windows-1253", "windows-1253"},
    {"windows-1254", "windows-1254"}, {"windows-1255", "windows-1255"}, {"windows-1256", "windows-1256"},
    {"windows-1257", "windows-1257"}, {"windows-1258", "windows-1258"}, {"windows-874", "windows-874"},
    {"tis-620", "windows-874"}, {"koi8-r", "KOI8-R"}, {"koi8", "KOI8-R"}, {"koi8-u", "KOI8-U"},
    {"macintosh", "macintosh"}, {"mac", "macintosh"}, {"ibm866", "IBM866"}, {"cp866", "IBM866"},
    {"utf-16", "UTF-8"}, {"utf-16le", "UTF-8"}, {"utf-16be", "UTF-8"}, {"x-user-defined", "windows-1252"},
};
} // namespace

namespace {

Readable checkedOpen(const QString &root, const QString &path, QFile &file)
{
    file.close();
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    if (canonical.isEmpty() || canonicalRoot.isEmpty() || !ContentPaths::insideFolder(canonicalRoot, canonical))
        return Readable::Outside;
#ifdef Q_OS_UNIX
    // The canonical name has no link left in it; one swapped in for the file
    // since is refused, and without O_NONBLOCK a pipe would block the open
    // itself. Type and size are those of the file opened.
    int fd;
    do {
        fd = ::open(QFile::encodeName(canonical).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return errno == ELOOP ? Readable::Outside : Readable::Unreadable;
    struct stat checked;
    const Readable verdict = ::fstat(fd, &checked) != 0 ? Readable::Unreadable
        : !S_ISREG(checked.st_mode)                     ? Readable::NotPlain
        : checked.st_size > LargestFile                 ? Readable::TooLarge
                                                        : Readable::Yes;
    if (verdict != Readable::Yes) {
        ::close(fd);
        return verdict;
    }
    // The view's engine reads only a file opened by its name, so it is opened
    // again, and must turn out to be the very file checked.
    file.setFileName(canonical);
    struct stat opened;
    const bool isOpen = file.open(QIODevice::ReadOnly);
    const bool same = isOpen && ::fstat(file.handle(), &opened) == 0 && opened.st_dev == checked.st_dev
        && opened.st_ino == checked.st_ino;
    ::close(fd);
    if (!same) {
        file.close();
        return isOpen ? Readable::Outside : Readable::Unreadable;
    }
    return Readable::Yes;
#else
    const QFileInfo info(canonical);
    if (!info.isFile())
        return Readable::NotPlain;
    if (info.size() > LargestFile)
        return Readable::TooLarge;
    file.setFileName(canonical);
    if (!file.open(QIODevice::ReadOnly))
        return Readable::Unreadable;
    return file.size() > LargestFile ? (file.close(), Readable::TooLarge) : Readable::Yes;
#endif
}

} // namespace

Readable openReadable(const QString &root, const QString &path, QFile &file)
{
    const Readable verdict = checkedOpen(root, path, file);
    if (verdict != Readable::Yes)
        qCWarning(lcCore) << "content file not opened:" << path << "verdict" << int(verdict);
    return verdict;
}

QUrl fromPath(const QString &root, const QString &path)
{
    const std::optional<QString> name = ContentPaths::insideFolder(root, path);
    if (!name)
        return {};
    QUrl url;
    url.setScheme(Scheme);
    url.setHost(Host);
    url.setPath(u'/' + *name);
    return url;
}

QString toPath(const QString &root, const QUrl &url)
{
    if (!isFolderUrl(url))
        return {};
    const QString path = url.path(QUrl::FullyDecoded);
    if (!path.startsWith(u'/') || path.contains(QChar(0)))
        return {};
    const QString folder = cleanRoot(root);
    const std::optional<QString> name = ContentPaths::insideFolder(folder, folder + path);
    if (!name)
        return {};
    const QString file = folder.endsWith(u'/') ? QString(folder + *name) : QString(folder + u'/' + *name);
    return QDir::toNativeSeparators(file);
}

QUrl inMemory(const QUrl &url, const QString &token)
{
    QUrl page = url;
    QUrlQuery query;
    query.addQueryItem(MemoryKey, token);
    page.setQuery(query);
    return page;
}

QString memoryToken(const QUrl &url)
{
    return isFolderUrl(url) ? QUrlQuery(url).queryItemValue(MemoryKey) : QString();
}

bool isViewable(const QUrl &url)
{
    const QString scheme = url.scheme();
    if (scheme == Scheme)
        return isFolderUrl(url);
    if (scheme == u"about")
        return url.path() == u"blank" || url.path() == u"srcdoc";
    return scheme == u"data" || scheme == u"blob";
}

QUrl forDesktop(const QUrl &url)
{
    if (!url.isValid())
        return {};
    const QString scheme = url.scheme();
    if (scheme == u"http" || scheme == u"https")
        return url.host().isEmpty() ? QUrl() : url;
    if (scheme != u"mailto")
        return {};
    if (!url.hasQuery())
        return url;
    // Mail programs take attach= and attachment= in any case, percent-encoded or not.
    QUrlQuery kept;
    const QUrlQuery query(url);
    for (const auto &[key, value] : query.queryItems(QUrl::FullyEncoded)) {
        const QString name = QUrl::fromPercentEncoding(key.toUtf8()).trimmed().toLower();
        if (name != u"attach" && name != u"attachment")
            kept.addQueryItem(key, value);
    }
    QUrl mail = url;
    if (kept.isEmpty())
        mail.setQuery(QString());
    else
        mail.setQuery(kept.query(QUrl::FullyEncoded), QUrl::StrictMode);
    return mail;
}

QByteArray contentType(const QString &fileName, QByteArrayView head)
{
    const QString suffix = fileName.section(u'.', -1).toLower();
    if (fileName.contains(u'.') && (suffix == u"html" || suffix == u"htm"))
        return htmlContentType(head);
    return QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension).name().toLatin1();
}

QByteArray htmlContentType(QByteArrayView head)
{
    return declaredCharset(head) ? "text/html" : "text/html;charset=GBK";
}

QByteArray htmlEncoding(QByteArrayView head)
{
    if (head.startsWith("\xFF\xFE"))
        return "UTF-16LE";
    if (head.startsWith("\xFE\xFF"))
        return "UTF-16BE";
    const std::optional<QByteArray> declared = declaredCharset(head);
    if (!declared)
        return "GBK";
    const QByteArray label = declared->trimmed();
    for (const EncodingLabel &known : EncodingLabels)
        if (label == known.label)
            return known.encoding;
    return "GBK";
}

} // namespace Juanzong::ContentUrl
