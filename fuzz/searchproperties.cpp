// SPDX-License-Identifier: GPL-3.0-or-later
#include "searchproperties.h"

#include "search/gbkcodec.h"
#include "search/indexscan.h"
#include "search/titleresultpage.h"

#include <QList>

using namespace Qt::StringLiterals;

namespace Juanzong::SearchProperties {

namespace {
// The page the plain way: decode, split, escape and concatenate as strings.
QString escapedHtml(const QString &text)
{
    QString out = text;
    out.replace(u'&', u"&amp;"_s).replace(u'<', u"&lt;"_s).replace(u'>', u"&gt;"_s);
    return out.replace(u'"', u"&quot;"_s).replace(u'\'', u"&#39;"_s);
}

QString plainPage(const QString &keyword, const QList<QString> &lines, qsizetype *hits)
{
    QString entries;
    *hits = 0;
    for (const QString &line : lines) {
        const QStringList fields = line.split(u"\">"_s);
        if (fields.size() < 2)
            continue;
        const QString title = escapedHtml(fields[1]);
        entries += u"<li><a title='" + title + u"' target='_self' href='" + escapedHtml(fields[0]) + u"'>" + title
            + u"</a></li>";
        ++*hits;
    }
    return u"<html><head><meta http-equiv='Content-Type' content='text/html' /><meta name='viewport' "
           u"content='width=1040, initial-scale=0.94' /><link rel='stylesheet' type='text/css' href='css.css' />"
           u"<title>卷宗范本 - 中华人民共和国最高人民法院</title></head><body>   <div class='fr right'> <div "
           u"class='content'><div class='clearfix title'><div class='fl tit'>搜索结果：关键词—"
        + escapedHtml(keyword) + u"</div></div><div class='sec_list'> <ul>" + entries
        + u" </ul><div class='clearfix btm_row'><div class='fl count'>共<span class='num'>" + QString::number(*hits)
        + u"</span>篇</div><div class='fr page'></div></div></div></div></div></div></div></body></html>";
}
} // namespace

Input split(QByteArrayView data)
{
    Input input;
    if (data.isEmpty())
        return input;
    const auto head = uint8_t(data[0]);
    data = data.sliced(1);
    const qsizetype length = head & 0x1F;
    if (head & 0x80) {
        const qsizetype units = qMin(length, data.size() / 2);
        for (qsizetype i = 0; i < units; ++i)
            input.keyword.append(QChar(char16_t(uint8_t(data[2 * i]) | uint8_t(data[2 * i + 1]) << 8)));
        data = data.sliced(2 * units);
    } else {
        const qsizetype bytes = qMin(length, data.size());
        if (const GbkCodec *codec = GbkCodec::system())
            input.keyword = codec->decode(data.first(bytes));
        data = data.sliced(bytes);
    }
    input.index = data;
    return input;
}

QString check(QByteArrayView data)
{
    const GbkCodec *codec = GbkCodec::system();
    if (!codec)
        return QStringLiteral("no GBK codec");
    const Input input = split(data);
    if (input.keyword.isEmpty())
        return {};

    // Lines by the documented rule, cut independently of the matcher.
    QList<QByteArrayView> lines;
    for (qsizetype start = 0; start < input.index.size();) {
        qsizetype end = input.index.indexOf('\n', start);
        const qsizetype next = end < 0 ? input.index.size() : end + 1;
        if (end < 0)
            end = input.index.size();
        QByteArrayView line = input.index.sliced(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(line);
        start = next;
    }

    const KeywordMatcher matcher(*codec, input.keyword);
    QList<QByteArrayView> found;
    qsizetype from = 0;
    QByteArrayView line;
    while (matcher.nextMatch(input.index, &from, &line))
        found.append(line);

    QList<QString> expected;
    qsizetype next = 0;
    for (const QByteArrayView candidate : lines) {
        const QString decoded = codec->decode(candidate);
        const bool contains = decoded.contains(input.keyword);
        const bool picked = next < found.size() && found[next].data() == candidate.data()
            && found[next].size() == candidate.size();
        if (contains != picked)
            return QStringLiteral("line at byte %1: contains %2, matcher %3")
                .arg(candidate.data() - input.index.data())
                .arg(contains)
                .arg(picked);
        if (picked) {
            ++next;
            expected.append(decoded);
        }
    }
    if (next != found.size())
        return QStringLiteral("matcher returned %1 lines that are not lines of the index").arg(found.size() - next);

    ResultPage page(*codec, input.keyword);
    for (const QByteArrayView match : found)
        page.addLine(match);
    page.finish();
    qsizetype plainHits = 0;
    QByteArray plain;
    codec->appendHtml(plain, plainPage(input.keyword, expected, &plainHits));
    if (page.hits() != plainHits)
        return QStringLiteral("page counts %1 hits, the plain way %2").arg(page.hits()).arg(plainHits);
    if (page.pending() != plain)
        return QStringLiteral("page differs from the one built the plain way");
    return {};
}

} // namespace Juanzong::SearchProperties
