// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/titleresultpage.h"

#include "search/gbkcodec.h"

#include <QString>

#include <cstring>

namespace Juanzong {

namespace {
constexpr QStringView Head =
    u"<html><head><meta http-equiv='Content-Type' content='text/html' />"
    u"<meta name='viewport' content='width=1040, initial-scale=0.94' />"
    u"<link rel='stylesheet' type='text/css' href='css.css' />"
    u"<title>卷宗范本 - 中华人民共和国最高人民法院</title></head><body>   <div class='fr right'> "
    u"<div class='content'><div class='clearfix title'><div class='fl tit'>搜索结果：关键词—";
constexpr QStringView ListStart = u"</div></div><div class='sec_list'> <ul>";
constexpr QStringView CountStart =
    u" </ul><div class='clearfix btm_row'><div class='fl count'>共<span class='num'>";
constexpr QStringView Foot =
    u"</span>篇</div><div class='fr page'></div></div></div></div></div></div></div></body></html>";

constexpr QByteArrayView Delimiter = "\">";

// The delimiter's quote is rare elsewhere, so finding it by memchr beats a
// general substring search.
qsizetype indexOfDelimiter(QByteArrayView text)
{
    const char *const begin = text.data();
    const char *const end = begin + text.size();
    for (const char *p = begin; p < end;) {
        p = static_cast<const char *>(std::memchr(p, '"', size_t(end - p)));
        if (!p || p + 1 == end)
            break;
        if (p[1] == '>')
            return p - begin;
        ++p;
    }
    return -1;
}

// What each ASCII byte becomes inside an attribute or text. `"` and `'` matter
// because the entry quotes its attributes with `'` and a keyword may hold either.
constexpr QByteArrayView entityFor(uint8_t b)
{
    switch (b) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    case '\'':
        return "&#39;";
    default:
        return {};
    }
}

// Everything an entry adds around its title (twice) and target.
constexpr QByteArrayView EntryMarkup = "<li><a title='' target='_self' href=''></a></li>";

char *put(char *out, QByteArrayView text)
{
    std::memcpy(out, text.data(), size_t(text.size()));
    return out + text.size();
}

// Escapes one index field into out, which has room for MaxHtmlBytes per byte.
char *writeEscaped(const GbkCodec &codec, char *out, QByteArrayView field)
{
    const auto *p = reinterpret_cast<const uint8_t *>(field.data());
    const uint8_t *const end = p + field.size();
    while (p != end) {
        const uint8_t b = *p;
        if (b < 0x80) {
            const QByteArrayView entity = entityFor(b);
            if (entity.isEmpty())
                *out++ = char(b);
            else
                out = put(out, entity);
            ++p;
            continue;
        }
        if (codec.startsCanonicalPair(p, end)) {
            out[0] = char(p[0]);
            out[1] = char(p[1]);
            out += 2;
            p += 2;
            continue;
        }
        const int length = codec.charLength(p, end);
        out = codec.writeHtml(out, codec.charAt(p, length));
        p += length;
    }
    return out;
}

QString escaped(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const QByteArrayView entity = c.unicode() < 0x80 ? entityFor(uint8_t(c.unicode())) : QByteArrayView();
        if (entity.isEmpty())
            out.append(c);
        else
            out.append(QLatin1StringView(entity));
    }
    return out;
}
} // namespace

ResultPage::ResultPage(const GbkCodec &codec, QStringView keyword)
    : m_codec(&codec)
{
    m_codec->appendHtml(m_page, Head);
    m_codec->appendHtml(m_page, escaped(keyword));
    m_codec->appendHtml(m_page, ListStart);
}

void ResultPage::addLine(QByteArrayView line)
{
    const qsizetype first = indexOfDelimiter(line);
    if (first < 0)
        return;
    const QByteArrayView target = line.first(first);
    QByteArrayView title = line.sliced(first + Delimiter.size());
    if (const qsizetype second = indexOfDelimiter(title); second >= 0)
        title.truncate(second);

    // Written through a pointer into room for the worst case, then cut back:
    // appending piece by piece costs more than the escaping itself.
    const qsizetype start = m_page.size();
    m_page.resize(start + EntryMarkup.size() + (2 * title.size() + target.size()) * GbkCodec::MaxHtmlBytes);
    char *out = m_page.data() + start;
    out = put(out, "<li><a title='");
    char *const escapedTitle = out;
    out = writeEscaped(*m_codec, out, title);
    const qsizetype titleBytes = out - escapedTitle;
    out = put(out, "' target='_self' href='");
    out = writeEscaped(*m_codec, out, target);
    out = put(out, "'>");
    std::memcpy(out, escapedTitle, size_t(titleBytes));
    out = put(out + titleBytes, "</a></li>");
    m_page.resize(out - m_page.constData());
    ++m_hits;
}

void ResultPage::finish()
{
    m_codec->appendHtml(m_page, CountStart);
    m_page.append(QByteArray::number(m_hits));
    m_codec->appendHtml(m_page, Foot);
}

} // namespace Juanzong
