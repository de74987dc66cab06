// SPDX-License-Identifier: GPL-3.0-or-later
// Pages of model documents as our sample content writes them, read and indexed.
#pragma once

#include "files.h"
#include "fulltext/fulltextindex.h"
#include "fulltext/pagetext.h"

#include <memory>

namespace SamplePages {

using namespace Juanzong;
using namespace Qt::StringLiterals;

// A page with one model document per body given, the first titled title.
inline PageText page(const QString &title, const QStringList &bodies)
{
    QString html = u"<html><head><title>" + title + u"</title></head><body>";
    for (qsizetype i = 0; i < bodies.size(); ++i)
        html += u"<div class=\"ws\" id=\"ws" + QString::number(i + 1) + u"\"><div class=\"ws-label\">范本"
            + QString::number(i + 1) + u"</div>" + bodies[i] + u"</div>";
    return extractPageText(TestFiles::gbk(html + u"</body></html>"));
}

inline std::unique_ptr<FullTextIndex> indexOf(const QStringList &bodies)
{
    auto index = std::make_unique<FullTextIndex>();
    index->addPage(u"a.html"_s, u"甲"_s, QString(), page(u"甲"_s, bodies));
    index->finish();
    return index;
}

} // namespace SamplePages
