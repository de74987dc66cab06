// SPDX-License-Identifier: GPL-3.0-or-later
// Reads every page of the content folder into a full-text index.
#pragma once

#include <QString>
#include <QtGlobal>

#include <atomic>
#include <memory>

namespace Juanzong {

class FullTextIndex;

// Every .html page directly in the folder except the title search's result
// page, each as far as the view may show it (ContentUrl::openReadable) and of
// a longer page only its first PageBytes. A catalogue leaf's page takes the leaf's label as its title and the
// labels above it as its place. Stops early, with what it has, once cancelled is set.
// Hundreds of times the largest template page, and still a few tens of
// megabytes of index for the page: the index is held in memory for good.
inline constexpr qint64 PageBytes = qint64(4) << 20;
std::unique_ptr<FullTextIndex> buildIndex(const QString &contentRoot, const std::atomic_bool &cancelled);

// The catalogue's labels above a leaf, outermost first, joined by " › ".
QString cataloguePlaceOf(QStringView key);

} // namespace Juanzong
