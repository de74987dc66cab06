// SPDX-License-Identifier: GPL-3.0-or-later
#include "fulltext/pagetext.h"

#include "core/contenturl.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <QByteArray>

#include <mutex>

namespace Juanzong {

namespace {

bool is(const xmlNode *n, const char *name)
{
    return n->name && xmlStrcasecmp(n->name, reinterpret_cast<const xmlChar *>(name)) == 0;
}

bool isAnyOf(const xmlNode *n, std::initializer_list<const char *> names)
{
    for (const char *name : names)
        if (is(n, name))
            return true;
    return false;
}

bool isSkipped(const xmlNode *n)
{
    return isAnyOf(n, {"script", "style", "noscript", "template", "object", "iframe", "select", "textarea"});
}

bool isBlock(const xmlNode *n)
{
    return isAnyOf(n, {"p", "div", "br", "li", "ol", "ul", "dl", "dt", "dd", "h1", "h2", "h3", "h4", "h5", "h6",
                       "table", "tr", "td", "th", "thead", "tbody", "tfoot", "caption", "blockquote", "pre",
                       "hr", "section", "article", "header", "footer", "nav", "aside", "main", "figure",
                       "figcaption", "address", "center", "form", "fieldset", "body", "html"});
}

QString attribute(const xmlNode *n, const char *name)
{
    xmlChar *value = xmlGetProp(n, reinterpret_cast<const xmlChar *>(name));
    if (!value)
        return {};
    QString out = QString::fromUtf8(reinterpret_cast<const char *>(value));
    xmlFree(value);
    return out;
}

bool hasClass(const xmlNode *n, QStringView wanted)
{
    const QString classes = attribute(n, "class");
    for (QStringView token : QStringView(classes).split(u' ', Qt::SkipEmptyParts))
        if (token == wanted)
            return true;
    return false;
}

bool isHtmlSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// Collects text the way a page shows it: runs of white space as one space,
// block boundaries as one line break, nothing at either end.
class TextSink
{
public:
    void add(QStringView text)
    {
        for (QChar c : text) {
            if (isHtmlSpace(c)) {
                m_space = true;
                continue;
            }
            if (!m_text.isEmpty()) {
                if (m_break)
                    m_text.append(u'\n');
                else if (m_space)
                    m_text.append(u' ');
            }
            m_break = m_space = false;
            m_text.append(c);
        }
    }
    void addBreak() { m_break = true; }
    QString take()
    {
        m_break = m_space = false;
        return std::exchange(m_text, QString());
    }
    bool isEmpty() const { return m_text.isEmpty(); }
    qsizetype size() const { return m_text.size(); }

private:
    QString m_text;
    bool m_space = false;
    bool m_break = false;
};

QString collapsed(const xmlNode *n)
{
    xmlChar *content = xmlNodeGetContent(n);
    if (!content)
        return {};
    TextSink sink;
    sink.add(QString::fromUtf8(reinterpret_cast<const char *>(content)));
    xmlFree(content);
    return sink.take();
}

class Walker
{
public:
    PageText run(const xmlNode *root)
    {
        const xmlNode *n = root;
        while (n) {
            if (enter(n) && n->children) {
                n = n->children;
                continue;
            }
            while (n) {
                leave(n);
                if (n == root) {
                    n = nullptr;
                } else if (n->next) {
                    n = n->next;
                    break;
                } else {
                    n = n->parent;
                }
            }
        }
        return finish();
    }

private:
    TextSink &sink() { return m_inDocument ? m_docText : m_pageText; }

    bool enter(const xmlNode *n)
    {
        if (n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE) {
            const QString text = QString::fromUtf8(reinterpret_cast<const char *>(n->content));
            sink().add(text);
            if (m_label)
                m_heading.add(text);
            return false;
        }
        if (n->type != XML_ELEMENT_NODE)
            return n->type == XML_DOCUMENT_NODE || n->type == XML_HTML_DOCUMENT_NODE;
        if (isSkipped(n))
            return false;
        if (is(n, "title")) {
            if (m_title.isEmpty())
                m_title = collapsed(n);
            return false;
        }
        if (is(n, "h1") && m_h1.isEmpty())
            m_h1 = collapsed(n);
        if (isBlock(n))
            sink().addBreak();
        if (!m_inDocument && is(n, "div") && hasClass(n, u"ws")) {
            m_inDocument = n;
            m_anchor = attribute(n, "id");
            m_pageTextBefore = m_pageText.size();
        } else if (m_inDocument && !m_label && m_heading.isEmpty() && hasClass(n, u"ws-label")) {
            m_label = n;
        } else if (m_inDocument && m_anchor.isEmpty() && is(n, "a")) {
            m_anchor = attribute(n, "name");
        }
        return true;
    }

    void leave(const xmlNode *n)
    {
        if (n->type != XML_ELEMENT_NODE)
            return;
        if (isBlock(n))
            sink().addBreak();
        if (n == m_label)
            m_label = nullptr;
        if (n == m_inDocument) {
            m_inDocument = nullptr;
            m_documents.append({std::exchange(m_anchor, QString()), m_heading.take(), m_docText.take(), m_pageTextBefore});
        }
    }

    PageText finish()
    {
        PageText page;
        page.title = m_h1.isEmpty() ? m_title : m_h1;
        // The page's own text (its heading, introduction, contents) is searchable too,
        // as one more document that opens the page at its top.
        if (!m_pageText.isEmpty() || m_documents.isEmpty())
            page.documents.append({QString(), page.title, m_pageText.take()});
        page.documents.append(m_documents);
        return page;
    }

    TextSink m_pageText;
    TextSink m_docText;
    TextSink m_heading;
    const xmlNode *m_inDocument = nullptr;
    const xmlNode *m_label = nullptr;
    qsizetype m_pageTextBefore = 0;
    QString m_anchor;
    QString m_title;
    QString m_h1;
    QList<PageDocument> m_documents;
};

} // namespace

PageText extractPageText(QByteArrayView html)
{
    // The parser's global tables must be set up once, before any thread parses.
    static std::once_flag initialised;
    std::call_once(initialised, [] { xmlInitParser(); });

    // Read as the view reads it: where the view would take GBK, so does the parser.
    const char *encoding = ContentUrl::htmlContentType(html).endsWith("charset=GBK") ? "GB18030" : nullptr;
    const int options = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET;
    htmlDocPtr doc = htmlReadMemory(html.data(), int(qMin<qsizetype>(html.size(), INT_MAX)), nullptr, encoding, options);
    if (!doc)
        return {};
    PageText page = Walker().run(reinterpret_cast<const xmlNode *>(doc));
    xmlFreeDoc(doc);
    return page;
}

} // namespace Juanzong
