// SPDX-License-Identifier: GPL-3.0-or-later
#include "fulltext/fulltextpage.h"

#include "fulltext/fulltextindex.h"
#include "fulltext/indexbuilder.h"
#include "fulltext/textfold.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace Juanzong::FullTextPage {

namespace {

// The classes the window reads the page back by.
const QString BodyClass = QStringLiteral("ft");
const QString QueryClass = QStringLiteral("ft-query");
const QString HitClass = QStringLiteral("ft-hit");

const QString Style = QStringLiteral(
    "<style>"
    "body{font-family:'Microsoft YaHei','微软雅黑','WenQuanYi Micro Hei',sans-serif;margin:16px 24px;"
    "line-height:1.6;color:#222;}"
    ".ft-summary{font-size:15px;padding:6px 0 10px;border-bottom:1px solid #ccc;margin-bottom:8px;}"
    ".ft-query{color:#a00000;font-weight:bold;}"
    "ol.ft-hits{list-style:none;margin:0;padding:0;}"
    ".ft-hit{padding:8px 0;border-bottom:1px dashed #ddd;}"
    ".ft-title{font-size:16px;font-weight:bold;}"
    ".ft-title a{color:#0b4d8c;text-decoration:none;}"
    ".ft-title a:hover{text-decoration:underline;}"
    ".ft-place{color:#777;font-size:13px;margin-left:10px;}"
    ".ft-count{float:right;color:#555;font-size:13px;}"
    ".ft-doc{font-size:14px;margin:2px 0;}"
    ".ft-doc a{color:#333;}"
    ".ft-snippet{font-size:14px;color:#444;margin:2px 0 0 12px;}"
    "mark{background:#ffe27a;color:inherit;padding:0 1px;}"
    ".ft-none{font-size:15px;margin-top:12px;}"
    ".ft-hint{color:#666;font-size:14px;}"
    ".ft-cut{color:#a05000;font-size:13px;margin:2px 0 0 12px;}"
    "</style>");

const QString CutNote = QStringLiteral("此页过长，只搜索了开头的 %1 MB，其后的内容没有搜索。").arg(PageBytes >> 20);

// text escaped, with every occurrence of the folded query inside it marked.
QString marked(const QString &text, const QString &foldedQuery)
{
    QString out;
    qsizetype at = 0;
    for (const TextRange &r : FullTextIndex::occurrences(TextFold::fold(text), foldedQuery)) {
        out += text.mid(at, r.start - at).toHtmlEscaped() + u"<mark>" + text.mid(r.start, r.length).toHtmlEscaped()
            + u"</mark>";
        at = r.start + r.length;
    }
    return out + text.mid(at).toHtmlEscaped();
}

QString snippetHtml(const Snippet &s)
{
    QString out;
    qsizetype at = 0;
    for (const TextRange &r : s.marks) {
        out += s.text.mid(at, r.start - at).toHtmlEscaped() + u"<mark>" + s.text.mid(r.start, r.length).toHtmlEscaped()
            + u"</mark>";
        at = r.start + r.length;
    }
    out += s.text.mid(at).toHtmlEscaped();
    return (s.cutBefore ? u"…"_s : QString()) + out + (s.cutAfter ? u"…"_s : QString());
}

QString number(qsizetype n)
{
    return QString::number(n);
}

} // namespace

QString linkOf(const QString &fileName, const QString &anchor)
{
    QString href = QString::fromLatin1(QUrl::toPercentEncoding(fileName, "/"));
    if (!anchor.isEmpty())
        href += u'#' + QString::fromLatin1(QUrl::toPercentEncoding(anchor));
    return href;
}

QString build(const FullTextResult &result)
{
    const QString query = result.query.toHtmlEscaped();
    const QString folded = TextFold::fold(result.query);
    QString html = u"<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                   u"<link rel=\"stylesheet\" type=\"text/css\" href=\"css.css\">"
        + Style + u"<title>全文搜索：" + query + u" - 卷宗范本</title></head><body class=\"" + BodyClass + u"\">";

    if (result.documents == 0) {
        html += u"<div class=\"ft-summary\">全文搜索 <span class=\"" + QueryClass + u"\">" + query
            + u"</span></div><p class=\"ft-none\">没有找到包含“" + query
            + u"”的范本。</p><p class=\"ft-hint\">提示：请检查是否有错字，或改用较短、较常见的词语再试；"
              u"全文搜索不区分英文字母大小写和全角、半角。只按 Enter 搜索标题。</p></body></html>";
        return html;
    }

    html += u"<div class=\"ft-summary\">全文搜索 <span class=\"" + QueryClass + u"\">" + query + u"</span>：共 "
        + number(result.documents) + u" 篇文书，" + number(result.occurrences) + u" 处，用时 "
        + QString::number(result.milliseconds, 'f', result.milliseconds < 10 ? 1 : 0) + u" 毫秒";
    if (result.hits.size() < result.documents)
        html += u"（列出最相关的 " + number(result.hits.size()) + u" 篇）";
    html += u"</div><ol class=\"ft-hits\">";

    for (const FullTextHit &hit : result.hits) {
        const QString href = linkOf(hit.fileName, hit.anchor).toHtmlEscaped();
        html += u"<li class=\"" + HitClass + u"\"><div class=\"ft-title\"><span class=\"ft-count\">" + number(hit.occurrences)
            + u" 处</span><a href=\"" + href + u"\" target=\"_self\">" + marked(hit.pageTitle, folded) + u"</a>";
        if (!hit.place.isEmpty())
            html += u"<span class=\"ft-place\">" + hit.place.toHtmlEscaped() + u"</span>";
        html += u"</div>";
        if (!hit.heading.isEmpty() && hit.heading != hit.pageTitle)
            html += u"<div class=\"ft-doc\"><a href=\"" + href + u"\" target=\"_self\">" + marked(hit.heading, folded)
                + u"</a></div>";
        for (const Snippet &s : hit.snippets)
            html += u"<div class=\"ft-snippet\">" + snippetHtml(s) + u"</div>";
        if (hit.pageCut)
            html += u"<div class=\"ft-cut\">" + CutNote.toHtmlEscaped() + u"</div>";
        html += u"</li>";
    }
    html += u"</ol></body></html>";
    return html;
}

QString queryAndLinksScript()
{
    return u"(() => { const q = document.body && document.body.classList.contains('" + BodyClass
        + u"') && document.querySelector('." + QueryClass + u"');"
          u" return q ? [q.textContent].concat(Array.from(document.querySelectorAll('." + HitClass
        + u" a[href]'), a => a.getAttribute('href'))) : null; })()";
}

QString scrollScript()
{
    return u"document.body && document.body.classList.contains('" + BodyClass + u"') ? window.scrollY : -1";
}

} // namespace Juanzong::FullTextPage
