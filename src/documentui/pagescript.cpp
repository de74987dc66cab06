// SPDX-License-Identifier: GPL-3.0-or-later
#include "documentui/pagescript.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace Juanzong::PageScript {

namespace {

// Bounds on what one answer may bring, well above the largest template page
// (the script keeps to the same): beyond them the page is read up to there.
constexpr qsizetype MaxAnswerBytes = 64 * 1024 * 1024;
constexpr qsizetype MaxBlocks = 20000;
constexpr qsizetype MaxBlockText = 20000;
constexpr qsizetype MaxRows = 1000;
constexpr qsizetype MaxCellsPerRow = 100;
constexpr qsizetype MaxAnchor = 200;
constexpr qsizetype MaxVersion = 40;

const QString &library()
{
    static const QString script = [] {
        QFile file(u":/juanzong/documentui/pagescript.js"_s);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }();
    return script;
}

QString scriptReturning(const QString &action)
{
    return u"(function () {\n" + library() + u"\nreturn " + action + u";\n})()";
}

QString cssPixels(double value)
{
    return QString::number(value, 'f', 2);
}

// A number from the page: finite and in a sane range, else 0.
double measure(const QJsonValue &value)
{
    const double n = value.toDouble();
    return std::isfinite(n) && std::abs(n) < 1e5 ? n : 0;
}

// The page's token and a serial number; anything else is no version.
bool isVersion(const QString &text)
{
    return text.size() <= MaxVersion
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit() || (c >= u'a' && c <= u'f') || c == u'.'; });
}

// [text or rows, flags, fontSize, indent, anchor], as pagescript.js encodes it.
PageBlock blockOf(const QJsonArray &json)
{
    PageBlock block;
    const QJsonValue content = json.at(0);
    const int flags = json.at(1).toInt();
    constexpr PageBlock::Align Alignments[] = {PageBlock::Align::Start, PageBlock::Align::Center,
                                               PageBlock::Align::End, PageBlock::Align::Justify};
    block.align = Alignments[flags & 3];
    block.bold = flags & 4;
    block.pageBreakBefore = flags & 8;
    block.chrome = flags & 16;
    block.label = flags & 32;
    block.fontSize = measure(json.at(2));
    block.indent = measure(json.at(3));
    block.anchor = json.at(4).toString().left(MaxAnchor);
    if (!content.isArray()) {
        block.text = content.toString().left(MaxBlockText);
        return block;
    }
    const QJsonArray rows = content.toArray();
    for (qsizetype r = 0; r < rows.size() && r < MaxRows; ++r) {
        const QJsonArray cells = rows.at(r).toArray();
        QStringList row;
        for (qsizetype c = 0; c < cells.size() && c < MaxCellsPerRow; ++c)
            row.append(cells.at(c).toString().left(MaxBlockText));
        block.rows.append(row);
    }
    return block;
}

} // namespace

QString listBlocks(int request, std::optional<QPointF> at, const QString &held)
{
    const QString x = at ? cssPixels(at->x()) : u"null"_s;
    const QString y = at ? cssPixels(at->y()) : u"null"_s;
    // Only a version the page gave, never markup: its characters need no quoting.
    const QString version = isVersion(held) ? held : QString();
    return scriptReturning(u"listBlocks(" + QString::number(request) + u", " + x + u", " + y + u", '" + version + u"')");
}

std::optional<Listing> readListing(const QVariant &answer)
{
    if (answer.typeId() != QMetaType::QString)
        return std::nullopt;
    const QString text = answer.toString();
    if (text.size() > MaxAnswerBytes / 2)
        return std::nullopt;
    const QJsonObject object = QJsonDocument::fromJson(text.toUtf8()).object();
    const QJsonValue blocks = object.value(u"blocks");
    const QString version = object.value(u"version").toString();
    if (!object.value(u"request").isDouble() || !isVersion(version))
        return std::nullopt;
    Listing listing;
    listing.request = object.value(u"request").toInt(-1);
    listing.version = version;
    listing.same = blocks.isUndefined();
    // Only the version the caller holds comes without its blocks.
    if (listing.same ? version.isEmpty() : !blocks.isArray())
        return std::nullopt;
    const QJsonArray list = blocks.toArray();
    for (qsizetype i = 0; i < list.size() && i < MaxBlocks; ++i)
        listing.blocks.append(blockOf(list.at(i).toArray()));
    const int at = object.value(u"at").toInt(-1);
    listing.at = at >= 0 && (listing.same || at < listing.blocks.size()) ? at : -1;
    return listing;
}

QString show(const QList<Fill> &fills)
{
    QJsonArray list;
    for (const Fill &fill : fills)
        list.append(QJsonObject{{u"block"_s, fill.block},
                                {u"start"_s, fill.start},
                                {u"length"_s, fill.length},
                                {u"value"_s, fill.value},
                                {u"blank"_s, fill.blank}});
    // JSON is a JavaScript literal: the values reach the page as data only.
    const QString data = QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact));
    return scriptReturning(u"show(" + data + u")");
}

QString restore()
{
    return scriptReturning(u"restore()"_s);
}

} // namespace Juanzong::PageScript
