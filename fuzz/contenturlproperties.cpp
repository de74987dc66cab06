// SPDX-License-Identifier: GPL-3.0-or-later
#include "contenturlproperties.h"

#include "core/contentpaths.h"
#include "core/contenturl.h"

#include <QDir>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace Juanzong::ContentUrlProperties {

namespace {
QString checkUrl(const QUrl &url)
{
    const QString root = Root.toString();
    const QString path = ContentUrl::toPath(root, url);
    if (ContentUrl::isViewable(url) && url.scheme() == ContentUrl::Scheme && url.host() != ContentUrl::Host)
        return u"viewable outside the folder: "_s + url.toString();
    if (path.isEmpty())
        return {};
    if (!path.startsWith(root + u'/') || path.size() == root.size() + 1)
        return u"mapped outside the folder: "_s + path;
    if (QDir::cleanPath(path) != path || path.contains(QChar(0)) || path.contains(u'\\'))
        return u"mapped to an uncleaned path: "_s + path;
    if (!ContentUrl::isViewable(url))
        return u"a file of the folder that the view may not show: "_s + url.toString();
    const QUrl back = ContentUrl::fromPath(root, path);
    if (ContentUrl::toPath(root, back) != path)
        return u"does not map back: "_s + path + u" -> "_s + back.toString();
    return {};
}
} // namespace

QString check(QByteArrayView data)
{
    const QString text = QString::fromUtf8(data);
    if (QString problem = checkUrl(QUrl::fromEncoded(data.toByteArray())); !problem.isEmpty())
        return problem;
    if (QString problem = checkUrl(QUrl(u"juanzong://ws/"_s + text)); !problem.isEmpty())
        return problem;
    if (const std::optional<QString> name = ContentPaths::insideFolder(Root.toString(), Root + u'/' + text)) {
        if (name->isEmpty() || name->startsWith(u'/') || name->split(u'/').contains(u".."_s))
            return u"a name inside the folder that climbs: "_s + *name;
    }

    const QByteArray type = ContentUrl::htmlContentType(data);
    if (type != "text/html" && type != "text/html;charset=GBK")
        return u"an unknown label: "_s + QString::fromLatin1(type);
    if (data.size() > ContentUrl::SniffBytes && ContentUrl::htmlContentType(data.first(ContentUrl::SniffBytes)) != type)
        return u"a label that depends on more than the first bytes"_s;
    return {};
}

} // namespace Juanzong::ContentUrlProperties
