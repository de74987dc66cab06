// SPDX-License-Identifier: GPL-3.0-or-later
#include "fulltext/pagetext.h"

#include "core/contenturl.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <QByteArray>
#include <QHash>
#include <QStringDecoder>

#include <cstring>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace Juanzong {

namespace {

using Align = PageBlock::Align;

// ----------------------------------------------------------------- elements

enum TagFlag : unsigned {
    Block = 1u << 0,
    Skip = 1u << 1,
    Bold = 1u << 2,
    Chrome = 1u << 3,
    Centre = 1u << 4,
    Table = 1u << 5,
    Break = 1u << 6,
    Title = 1u << 7,
    FirstHeading = 1u << 8,
};

struct TagInfo
{
    unsigned flags = 0;
    double fontSize = 0; // what a browser gives the element by itself, in px
};

// Element names as libxml2's HTML parser gives them: in lower case.
const std::unordered_map<std::string_view, TagInfo> &tags()
{
    static const std::unordered_map<std::string_view, TagInfo> table = {
        {"script", {Skip}}, {"style", {Skip}}, {"noscript", {Skip}}, {"template", {Skip}}, {"object", {Skip}},
        {"iframe", {Skip}}, {"select", {Skip}}, {"textarea", {Skip}}, {"title", {Title}},
        {"br", {Break}}, {"b", {Bold}}, {"strong", {Bold}}, {"center", {Block | Centre}},
        {"th", {Block | Bold | Centre}}, {"table", {Block | Table}},
        {"h1", {Block | Bold | FirstHeading, 32}}, {"h2", {Block | Bold, 24}}, {"h3", {Block | Bold, 18.72}},
        {"h4", {Block | Bold, 16}}, {"h5", {Block | Bold, 13.28}}, {"h6", {Block | Bold, 10.72}},
        {"header", {Block | Chrome}}, {"footer", {Block | Chrome}}, {"nav", {Block | Chrome}},
        {"aside", {Block | Chrome}},
        {"p", {Block}}, {"div", {Block}}, {"li", {Block}}, {"ol", {Block}}, {"ul", {Block}}, {"dl", {Block}},
        {"dt", {Block}}, {"dd", {Block}}, {"tr", {Block}}, {"td", {Block}}, {"thead", {Block}},
        {"tbody", {Block}}, {"tfoot", {Block}}, {"caption", {Block}}, {"blockquote", {Block}}, {"pre", {Block}},
        {"hr", {Block}}, {"section", {Block}}, {"article", {Block}}, {"main", {Block}}, {"figure", {Block}},
        {"figcaption", {Block}}, {"address", {Block}}, {"form", {Block}}, {"fieldset", {Block}},
        {"body", {Block}}, {"html", {Block}},
    };
    return table;
}

TagInfo tagOf(const xmlNode *n)
{
    if (!n->name)
        return {};
    const auto &table = tags();
    const auto it = table.find(std::string_view(reinterpret_cast<const char *>(n->name)));
    return it == table.end() ? TagInfo{} : it->second;
}

// Class or id names web sites give their furniture.
constexpr QStringView ChromeNames[] = {u"header", u"footer", u"nav", u"navbar", u"menu", u"breadcrumb",
                                       u"copyright", u"sidebar", u"topbar"};
// Our sample's own mark for a model document's label.
constexpr QStringView LabelClass = u"ws-label";

bool isChromeName(QStringView name)
{
    for (QStringView chrome : ChromeNames)
        if (name.compare(chrome, Qt::CaseInsensitive) == 0
            || (name.startsWith(chrome, Qt::CaseInsensitive) && name.size() > chrome.size()
                && (name.at(chrome.size()) == u'-' || name.at(chrome.size()) == u'_')))
            return true;
    return false;
}

bool isHtmlSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

QString utf8(const xmlChar *text)
{
    return text ? QString::fromUtf8(reinterpret_cast<const char *>(text)) : QString();
}

// The same into a buffer that is used again: every text node and most
// attributes of every page pass through here, and most are short.
QStringView utf8Into(QString &buffer, const xmlChar *text)
{
    const size_t size = text ? std::strlen(reinterpret_cast<const char *>(text)) : 0;
    buffer.resize(qsizetype(size)); // UTF-16 never needs more units than UTF-8 bytes
    char16_t *out = reinterpret_cast<char16_t *>(buffer.data());
    qsizetype n = 0;
    for (size_t i = 0; i < size;) {
        const unsigned c = text[i];
        if (c < 0x80) {
            out[n++] = char16_t(c);
            ++i;
            continue;
        }
        const int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
        unsigned code = length == 4 ? c & 0x07 : length == 3 ? c & 0x0F : c & 0x1F;
        bool valid = length > 0 && i + size_t(length) <= size;
        for (int k = 1; valid && k < length; ++k) {
            valid = (text[i + k] & 0xC0) == 0x80;
            code = code << 6 | (text[i + k] & 0x3F);
        }
        // What libxml2 hands back is well formed; anything else goes the long way.
        if (!valid || code > 0x10FFFF || (length == 3 && code < 0x800) || (length == 4 && code < 0x10000)
            || (code >= 0xD800 && code < 0xE000)) {
            buffer = utf8(text);
            return buffer;
        }
        if (code >= 0x10000) {
            out[n++] = char16_t(0xD800 + ((code - 0x10000) >> 10));
            out[n++] = char16_t(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            out[n++] = char16_t(code);
        }
        i += size_t(length);
    }
    buffer.resize(n);
    return buffer;
}

// ----------------------------------------------------------------- look

struct Look
{
    Align align = Align::Start;
    bool bold = false;
    double fontSize = 0; // 0: not said
    double margin = 0;   // left margins and paddings of the enclosing blocks
    double textIndent = 0;
    bool chrome = false;
    bool label = false;
    bool hidden = false;
};

// A CSS length in px; em and % of the font size base.
std::optional<double> lengthOf(QStringView value, double base)
{
    qsizetype n = 0;
    while (n < value.size() && (value.at(n).isDigit() || value.at(n) == u'.' || value.at(n) == u'-'))
        ++n;
    bool ok = false;
    const double number = value.first(n).toDouble(&ok);
    if (!ok)
        return std::nullopt;
    const QStringView unit = value.sliced(n).trimmed();
    struct Unit
    {
        QStringView name;
        double px;
    };
    static constexpr Unit Units[] = {{u"px", 1},      {u"pt", 4.0 / 3}, {u"pc", 16},        {u"in", 96},
                                     {u"cm", 96 / 2.54}, {u"mm", 9.6 / 2.54}, {u"rem", 16}, {u"", 1}};
    for (const Unit &u : Units)
        if (unit == u.name)
            return number * u.px;
    if (unit == u"em")
        return number * base;
    if (unit == u"ex")
        return number * base / 2;
    if (unit == u"%")
        return number * base / 100;
    return std::nullopt;
}

Align alignOf(QStringView value)
{
    if (value == u"center" || value == u"middle")
        return Align::Center;
    if (value == u"right" || value == u"end")
        return Align::End;
    if (value == u"justify")
        return Align::Justify;
    return Align::Start;
}

// One declaration of an inline style or a style sheet's rule.
void applyDeclaration(Look &look, QStringView property, QStringView value, double parentSize)
{
    const double base = look.fontSize > 0 ? look.fontSize : 16;
    if (property == u"text-align") {
        look.align = alignOf(value);
    } else if (property == u"font-weight") {
        const int weight = value.toInt();
        look.bold = value == u"bold" || value == u"bolder" || weight >= 600;
    } else if (property == u"font-size") {
        static constexpr std::pair<QStringView, double> Keywords[] = {
            {u"xx-small", 9}, {u"x-small", 10}, {u"small", 13}, {u"medium", 16},
            {u"large", 18},   {u"x-large", 24}, {u"xx-large", 32}};
        for (const auto &[word, px] : Keywords)
            if (value == word)
                look.fontSize = px;
        if (const auto px = lengthOf(value, parentSize > 0 ? parentSize : 16))
            look.fontSize = *px;
    } else if (property == u"text-indent") {
        if (const auto px = lengthOf(value, base))
            look.textIndent = *px;
    } else if (property == u"margin-left" || property == u"padding-left") {
        if (const auto px = lengthOf(value, base))
            look.margin += *px;
    } else if (property == u"display") {
        look.hidden = look.hidden || value == u"none";
    } else if (property == u"visibility") {
        look.hidden = look.hidden || value == u"hidden";
    }
}

void applyStyle(Look &look, QStringView style, double parentSize)
{
    for (QStringView declaration : style.split(u';')) {
        const qsizetype colon = declaration.indexOf(u':');
        if (colon < 0)
            continue;
        const QString property = declaration.first(colon).trimmed().toString().toLower();
        QString value = declaration.sliced(colon + 1).trimmed().toString().toLower();
        if (const qsizetype important = value.indexOf(u'!'); important >= 0)
            value = value.first(important).trimmed();
        applyDeclaration(look, property, value, parentSize);
    }
}

// The page's own <style> rules for a single class (".P1", "p.MsoNormal"): the
// only ones word processors set a paragraph's look with. Anything else there is
// left to the browser's defaults.
QHash<QString, QString> classRules(const QString &sheet)
{
    QHash<QString, QString> rules;
    qsizetype at = 0;
    while (at < sheet.size()) {
        const qsizetype open = sheet.indexOf(u'{', at);
        if (open < 0)
            break;
        // A block inside a block (@media) is skipped whole.
        qsizetype close = open + 1;
        for (int depth = 1; close < sheet.size() && depth > 0; ++close)
            depth += sheet.at(close) == u'{' ? 1 : sheet.at(close) == u'}' ? -1 : 0;
        QString selectors = sheet.mid(at, open - at);
        if (const qsizetype comment = selectors.lastIndexOf(u"*/"); comment >= 0)
            selectors = selectors.sliced(comment + 2);
        const QString body = sheet.mid(open + 1, close - open - 2);
        if (!body.contains(u'{')) {
            for (QStringView selector : QStringView(selectors).split(u',')) {
                selector = selector.trimmed();
                const qsizetype dot = selector.indexOf(u'.');
                if (dot < 0 || selector.contains(u' ') || selector.contains(u':') || selector.contains(u'>')
                    || selector.indexOf(u'.', dot + 1) >= 0)
                    continue;
                QString &rule = rules[selector.sliced(dot + 1).toString()];
                rule += body + u';';
            }
        }
        at = close;
    }
    return rules;
}

// ----------------------------------------------------------------- blocks

// Collects one block's text the way a page shows it: runs of white space as one
// space, <br> as a line break, nothing at either end; and what most of its
// characters look like.
class BlockSink
{
public:
    void add(QStringView text, const Look &look, QString &pendingAnchor)
    {
        qsizetype visible = 0;
        for (QChar c : text) {
            if (isHtmlSpace(c)) {
                m_space = true;
                continue;
            }
            if (m_text.isEmpty()) {
                m_block.align = look.align;
                m_block.indent = look.margin + look.textIndent;
                m_block.chrome = look.chrome;
                m_block.label = look.label;
                m_block.anchor = std::exchange(pendingAnchor, QString());
            } else if (m_break) {
                m_text.append(u'\n');
            } else if (m_space) {
                m_text.append(u' ');
            }
            m_break = m_space = false;
            m_text.append(c);
            ++visible;
        }
        if (!visible)
            return;
        m_chars += visible;
        if (look.bold)
            m_boldChars += visible;
        auto it = std::find_if(m_sizes.begin(), m_sizes.end(), [&](const auto &s) { return s.first == look.fontSize; });
        if (it == m_sizes.end())
            m_sizes.push_back({look.fontSize, visible});
        else
            it->second += visible;
    }
    void lineBreak()
    {
        if (!m_text.isEmpty())
            m_break = true;
    }
    bool isEmpty() const { return m_text.isEmpty(); }
    // The block so far, if it holds any text; the sink starts a new one.
    bool take(PageBlock &out)
    {
        m_break = m_space = false;
        if (m_text.isEmpty())
            return false;
        out = std::exchange(m_block, PageBlock());
        out.text = std::exchange(m_text, QString());
        out.bold = m_boldChars * 2 > m_chars;
        const auto most = std::max_element(m_sizes.cbegin(), m_sizes.cend(),
                                           [](const auto &a, const auto &b) { return a.second < b.second; });
        out.fontSize = most == m_sizes.cend() ? 0 : most->first;
        m_chars = m_boldChars = 0;
        m_sizes.clear();
        return true;
    }

private:
    PageBlock m_block;
    QString m_text;
    bool m_space = false;
    bool m_break = false;
    qsizetype m_chars = 0;
    qsizetype m_boldChars = 0;
    std::vector<std::pair<double, qsizetype>> m_sizes;
};

// Depth first without recursion: pages nest elements a hundred thousand deep.
template<typename Enter, typename Leave>
void walk(const xmlNode *root, Enter enter, Leave leave)
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
}

// The text of an element as one block would hold it; lines for its blocks.
QString textOf(const xmlNode *element, bool *nestedTable = nullptr)
{
    BlockSink sink;
    const Look plain;
    QString noAnchor;
    QString buffer;
    walk(
        element,
        [&](const xmlNode *n) {
            if (n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE) {
                sink.add(utf8Into(buffer, n->content), plain, noAnchor);
                return false;
            }
            if (n->type != XML_ELEMENT_NODE)
                return false;
            const TagInfo tag = tagOf(n);
            if (n != element && (tag.flags & (Skip | Title)))
                return false;
            if (n != element && (tag.flags & Table) && nestedTable)
                *nestedTable = true;
            if (tag.flags & (Block | Break))
                sink.lineBreak();
            return true;
        },
        [&](const xmlNode *n) {
            if (n->type == XML_ELEMENT_NODE && (tagOf(n).flags & Block))
                sink.lineBreak();
        });
    PageBlock block;
    return sink.take(block) ? block.text : QString();
}

// A table of data: rows of two cells or more, none of them a page's column of
// text, no table inside. Web sites lay pages out in tables; those are read as
// the blocks in their cells.
std::optional<QList<QStringList>> dataRows(const xmlNode *table)
{
    constexpr qsizetype LongestCell = 500;
    QList<QStringList> rows;
    qsizetype widest = 0;
    auto readRow = [&](const xmlNode *tr) {
        QStringList cells;
        for (const xmlNode *cell = tr->children; cell; cell = cell->next) {
            if (cell->type != XML_ELEMENT_NODE || !(tagOf(cell).flags & Block))
                continue;
            bool nested = false;
            cells.append(textOf(cell, &nested));
            if (nested || cells.constLast().size() > LongestCell)
                return false;
        }
        widest = std::max(widest, cells.size());
        rows.append(cells);
        return true;
    };
    for (const xmlNode *child = table->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE)
            continue;
        const bool group = std::strcmp(reinterpret_cast<const char *>(child->name), "tbody") == 0
            || std::strcmp(reinterpret_cast<const char *>(child->name), "thead") == 0
            || std::strcmp(reinterpret_cast<const char *>(child->name), "tfoot") == 0;
        for (const xmlNode *tr = group ? child->children : child; tr; tr = group ? tr->next : nullptr) {
            if (tr->type == XML_ELEMENT_NODE && std::strcmp(reinterpret_cast<const char *>(tr->name), "tr") == 0
                && !readRow(tr))
                return std::nullopt;
        }
    }
    if (widest < 2)
        return std::nullopt;
    return rows;
}

class Reader
{
public:
    PageBlocks run(const xmlNode *root)
    {
        m_frames.push_back({root, Look(), false});
        walk(
            root, [this](const xmlNode *n) { return enter(n); }, [this](const xmlNode *n) { leave(n); });
        flush();
        PageBlocks page;
        page.title = m_h1.isEmpty() ? m_title : m_h1;
        page.blocks = std::move(m_blocks);
        return page;
    }

private:
    struct Frame
    {
        const xmlNode *node;
        Look look;
        bool block;
    };

    void flush()
    {
        PageBlock block;
        if (m_sink.take(block))
            m_blocks.append(std::move(block));
    }

    Look lookOf(const xmlNode *n, const TagInfo &tag, const Look &parent, bool &anchored)
    {
        Look look = parent;
        if (tag.flags & Bold)
            look.bold = true;
        if (tag.flags & Centre)
            look.align = Align::Center;
        if (tag.flags & Chrome)
            look.chrome = true;
        if (tag.fontSize > 0)
            look.fontSize = tag.fontSize;
        // A block's indent is its own left margin and its first line's indent,
        // which it inherits; an inline element's margins move no line.
        look.margin = 0;
        QStringView style;
        QString styleText;
        for (const xmlAttr *a = n->properties; a; a = a->next) {
            if (!a->name || !a->children || !a->children->content)
                continue;
            const char *name = reinterpret_cast<const char *>(a->name);
            const xmlChar *value = a->children->content;
            if (std::strcmp(name, "style") == 0) {
                styleText = utf8(value);
            } else if (std::strcmp(name, "align") == 0 && !(tag.flags & Table)) {
                // A table's align places the table, not the text in it.
                look.align = alignOf(utf8(value).trimmed().toLower());
            } else if (std::strcmp(name, "class") == 0) {
                const QStringView classes = utf8Into(m_scratch, value);
                for (QStringView token : classes.split(u' ', Qt::SkipEmptyParts)) {
                    if (token == LabelClass)
                        look.label = true;
                    if (isChromeName(token))
                        look.chrome = true;
                    if (m_classRules.isEmpty())
                        continue;
                    if (const auto rule = m_classRules.constFind(token.toString()); rule != m_classRules.cend())
                        applyStyle(look, *rule, parent.fontSize);
                }
            } else if (std::strcmp(name, "id") == 0
                       || (std::strcmp(name, "name") == 0 && std::strcmp(reinterpret_cast<const char *>(n->name), "a") == 0)) {
                const QStringView id = utf8Into(m_scratch, value);
                if (isChromeName(id))
                    look.chrome = true;
                if (!anchored && m_pendingAnchor.isEmpty() && !id.isEmpty()) {
                    m_pendingAnchor = id.toString();
                    anchored = true;
                }
            } else if (std::strcmp(name, "size") == 0 && std::strcmp(reinterpret_cast<const char *>(n->name), "font") == 0) {
                // <font size>: 1 to 7, or relative to 3.
                static constexpr double Sizes[] = {10, 13, 16, 18, 24, 32, 48};
                const QString size = utf8(value).trimmed();
                bool ok = false;
                int step = size.toInt(&ok);
                if (ok && (size.startsWith(u'+') || size.startsWith(u'-')))
                    step += 3;
                if (ok)
                    look.fontSize = Sizes[std::clamp(step, 1, 7) - 1];
            } else if (std::strcmp(name, "hidden") == 0) {
                look.hidden = true;
            }
        }
        if (!styleText.isEmpty())
            applyStyle(look, styleText, parent.fontSize);
        if (!(tag.flags & Block))
            look.margin = parent.margin;
        return look;
    }

    bool enter(const xmlNode *n)
    {
        if (n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE) {
            if (n->content)
                m_sink.add(utf8Into(m_scratch, n->content), m_frames.back().look, m_pendingAnchor);
            return false;
        }
        if (n->type != XML_ELEMENT_NODE)
            return n->type == XML_DOCUMENT_NODE || n->type == XML_HTML_DOCUMENT_NODE;
        const TagInfo tag = tagOf(n);
        if (tag.flags & Title) {
            if (m_title.isEmpty())
                m_title = textOf(n).replace(u'\n', u' ');
            return false;
        }
        if (tag.flags & Skip) {
            if (std::strcmp(reinterpret_cast<const char *>(n->name), "style") == 0)
                m_classRules.insert(classRules(textOf(n)));
            return false;
        }
        if (tag.flags & Break) {
            m_sink.lineBreak();
            return false;
        }
        bool anchored = false;
        const Look look = lookOf(n, tag, m_frames.back().look, anchored);
        if (look.hidden)
            return false;
        if ((tag.flags & FirstHeading) && m_h1.isEmpty())
            m_h1 = textOf(n).replace(u'\n', u' ');
        const bool block = tag.flags & Block;
        if (block)
            flush();
        if (tag.flags & Table) {
            if (std::optional<QList<QStringList>> rows = dataRows(n)) {
                PageBlock table;
                table.rows = std::move(*rows);
                QStringList cells;
                for (const QStringList &row : std::as_const(table.rows))
                    cells.append(row);
                table.text = cells.join(u'\n');
                table.align = look.align;
                table.chrome = look.chrome;
                table.anchor = std::exchange(m_pendingAnchor, QString());
                m_blocks.append(std::move(table));
                return false;
            }
        }
        m_frames.push_back({n, look, block});
        return true;
    }

    void leave(const xmlNode *n)
    {
        if (m_frames.size() < 2 || m_frames.back().node != n)
            return;
        if (m_frames.back().block)
            flush();
        m_frames.pop_back();
    }

    std::vector<Frame> m_frames;
    BlockSink m_sink;
    QList<PageBlock> m_blocks;
    QHash<QString, QString> m_classRules;
    QString m_pendingAnchor;
    QString m_scratch; // see utf8Into
    QString m_title;
    QString m_h1;
};

// The page's bytes as UTF-8, decoded as the view decodes them.
QByteArray asUtf8(QByteArrayView html)
{
    const QByteArray encoding = ContentUrl::htmlEncoding(html);
    // GBK's decoder in browsers is GB 18030's; Qt's "GBK" would stop at its end.
    const bool gbk = encoding == "GBK" || encoding == "gb18030";
    QStringDecoder decoder(gbk ? "GB18030" : encoding.constData());
    if (!decoder.isValid())
        decoder = QStringDecoder("GB18030");
    if (encoding == "UTF-8" && html.startsWith("\xEF\xBB\xBF"))
        html = html.sliced(3);
    const QString text = decoder.decode(html);
    return text.toUtf8();
}

} // namespace

PageBlocks readPageBlocks(QByteArrayView html)
{
    // The parser's global tables must be set up once, before any thread parses.
    static std::once_flag initialised;
    std::call_once(initialised, [] { xmlInitParser(); });

    const QByteArray text = asUtf8(html);
    // The text is decoded already: a meta tag must not make the parser decode it again.
    const int options = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET
        | HTML_PARSE_IGNORE_ENC | XML_PARSE_HUGE;
    htmlDocPtr doc = htmlReadMemory(text.constData(), int(qMin<qsizetype>(text.size(), INT_MAX)), nullptr, "UTF-8",
                                    options);
    if (!doc)
        return {};
    PageBlocks page = Reader().run(reinterpret_cast<const xmlNode *>(doc));
    xmlFreeDoc(doc);
    return page;
}

PageText extractPageText(QByteArrayView html)
{
    const PageBlocks blocks = readPageBlocks(html);
    const QList<FoundDocument> found = findModelDocuments(blocks.blocks);

    PageText page;
    page.title = blocks.title;
    PageDocument own{QString(), page.title, QString(), 0};
    QList<PageDocument> documents(found.size());
    auto append = [](QString &text, QStringView piece) {
        while (!piece.isEmpty() && piece.front() == u'\n')
            piece = piece.sliced(1);
        while (!piece.isEmpty() && piece.back() == u'\n')
            piece.chop(1);
        if (piece.isEmpty())
            return;
        if (!text.isEmpty())
            text += u'\n';
        text += piece;
    };
    QStringList anchors;
    for (qsizetype d = 0; d < found.size(); ++d) {
        QString anchor = found.at(d).anchor;
        if (anchor.isEmpty() || anchors.contains(anchor))
            anchor = u"juanzong-document-" + QString::number(d + 1);
        anchors.append(anchor);
        documents[d].anchor = anchor;
        documents[d].heading = found.at(d).heading;
    }
    // Each block goes to the document it stands in, pieces of one to each of
    // the documents that start inside it; the furniture to the page.
    qsizetype current = -1;
    for (int b = 0; b < blocks.blocks.size(); ++b) {
        const PageBlock &block = blocks.blocks.at(b);
        qsizetype from = 0;
        while (current + 1 < found.size() && found.at(current + 1).firstBlock == b) {
            const qsizetype start = found.at(current + 1).firstOffset;
            if (start > from) {
                append(current < 0 || block.chrome ? own.text : documents[current].text,
                       QStringView(block.text).sliced(from, start - from));
                from = start;
            }
            ++current;
            documents[current].pageTextBefore = own.text.size();
        }
        append(current < 0 || block.chrome ? own.text : documents[current].text, QStringView(block.text).sliced(from));
    }
    // The page's own text (its heading, introduction, contents) is searchable too,
    // as one more document that opens the page at its top.
    if (!own.text.isEmpty() || documents.isEmpty())
        page.documents.append(own);
    page.documents.append(documents);
    return page;
}

} // namespace Juanzong
