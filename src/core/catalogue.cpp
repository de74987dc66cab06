// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/catalogue.h"

#include "core/contentpaths.h"

#include <algorithm>

namespace Juanzong::Catalogue {

namespace {

using enum StartupAction;

constexpr Row Table[] = {
#include "catalogue_table.inc"
};

static_assert(std::size(Table) == 102, "the tree holds exactly 102 nodes");

} // namespace

std::span<const Row> rows()
{
    return Table;
}

bool isCategory(QStringView key)
{
    return std::find(CategoryKeys.begin(), CategoryKeys.end(), key) != CategoryKeys.end();
}

std::optional<QString> pageOf(const QString &programDir, const QString &key)
{
    if (isCategory(key))
        return std::nullopt;
    return ContentPaths::leafPage(programDir, key);
}

QString labelOf(QStringView key)
{
    const auto it = std::find_if(std::begin(Table), std::end(Table),
                                 [key](const Row &row) { return row.key == key; });
    return it == std::end(Table) ? QString() : it->label.toString();
}

std::optional<QString> keyOfPage(const QString &programDir, const QString &path)
{
    // A link typed as "Juanzongfanben-5.HTML" still shows that node's page where
    // the file system ignores case.
    const std::optional<QString> name = ContentPaths::insideFolder(ContentPaths::contentRoot(programDir), path);
    constexpr QStringView Suffix = u".html";
    if (!name || name->contains(u'/') || !name->endsWith(Suffix, ContentPaths::FileCase))
        return std::nullopt;
    const QStringView base = QStringView(*name).chopped(Suffix.size());
    const auto it = std::find_if(std::begin(Table), std::end(Table), [base](const Row &row) {
        return !isCategory(row.key) && row.key.compare(base, ContentPaths::FileCase) == 0;
    });
    if (it == std::end(Table))
        return std::nullopt;
    return it->key.toString();
}

} // namespace Juanzong::Catalogue
