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

} // namespace Juanzong::ContentPaths
