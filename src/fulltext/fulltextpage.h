// SPDX-License-Identifier: GPL-3.0-or-later
// The page that lists a full-text search's hits, built in memory; every text on it escaped.
#pragma once

#include <QString>

namespace Juanzong {

struct FullTextResult;

namespace FullTextPage {

// The name the page is shown under, in the content folder so that its links
// and style sheet resolve there; no such file is ever written.
inline constexpr QStringView FileName = u"fulltext-results.html";

QString build(const FullTextResult &result);

// "href" of a hit: the page with the document's anchor, percent-encoded.
QString linkOf(const QString &fileName, const QString &anchor);

// Scripts that read the page back once it is shown, written beside the markup
// they read. Both answer null, or -1, on any other page, which the view may
// have moved on to before they ran.
// The page's query, then the links of its rows: ["query", "href", ...].
QString queryAndLinksScript();
// How far the page is scrolled, in CSS pixels.
QString scrollScript();

} // namespace FullTextPage
} // namespace Juanzong
