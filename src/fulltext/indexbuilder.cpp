// SPDX-License-Identifier: GPL-3.0-or-later
#include "fulltext/indexbuilder.h"

#include "core/catalogue.h"
#include "core/contenturl.h"
#include "fulltext/fulltextindex.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace Juanzong {

namespace {

const QString PlaceSeparator = QStringLiteral(" › ");

const QHash<QStringView, const Catalogue::Row *> &rowsByKey()
{
    static const QHash<QStringView, const Catalogue::Row *> rows = [] {
        QHash<QStringView, const Catalogue::Row *> out;
        for (const Catalogue::Row &row : Catalogue::rows())
            out.insert(row.key, &row);
        return out;
    }();
    return rows;
}

} // namespace

QString cataloguePlaceOf(QStringView key)
{
    QStringList labels;
    const auto &rows = rowsByKey();
    const Catalogue::Row *row = rows.value(key);
    // The catalogue is a tree of at most four levels; the bound only guards the loop.
    for (int depth = 0; row && !row->parentKey.isEmpty() && depth < 8; ++depth) {
        row = rows.value(row->parentKey);
        if (row)
            labels.prepend(row->label.toString());
    }
    return labels.join(PlaceSeparator);
}

std::unique_ptr<FullTextIndex> buildIndex(const QString &contentRoot, const std::atomic_bool &cancelled)
{
    auto index = std::make_unique<FullTextIndex>();
    const QDir dir(contentRoot);
    const QStringList names = dir.entryList({QStringLiteral("*.html"), QStringLiteral("*.htm")},
                                            QDir::Files | QDir::Readable, QDir::Name);

    // Catalogue leaves first, in catalogue order, so that they lead the offers.
    QStringList leaves;
    for (const Catalogue::Row &row : Catalogue::rows()) {
        if (Catalogue::isCategory(row.key))
            continue;
        const QString name = row.key + u".html";
        if (names.contains(name)) {
            leaves.append(name);
            index->titles().add({row.label.toString(), cataloguePlaceOf(row.key), name, QString()}, true);
        }
    }
    QStringList order = leaves;
    for (const QString &name : names)
        if (!leaves.contains(name) && name != u"search.html")
            order.append(name);

    for (const QString &name : std::as_const(order)) {
        if (cancelled.load(std::memory_order_relaxed))
            break;
        QFile file;
        if (ContentUrl::openReadable(contentRoot, dir.filePath(name), file) != ContentUrl::Readable::Yes)
            continue;
        const bool cut = file.size() > PageBytes;
        const PageText page = extractPageText(file.read(PageBytes));
        const QString key = QFileInfo(name).completeBaseName();
        const QString label = Catalogue::isCategory(key) ? QString() : Catalogue::labelOf(key);
        QString title = label.isEmpty() ? page.title : label;
        if (title.isEmpty())
            title = key;
        if (label.isEmpty() && !page.title.isEmpty())
            index->titles().add({page.title, QString(), name, QString()}, false);
        index->addPage(name, title, label.isEmpty() ? QString() : cataloguePlaceOf(key), page, cut);
    }
    index->finish();
    return index;
}

} // namespace Juanzong
