// SPDX-License-Identifier: GPL-3.0-or-later
#include "documentui/pagescript.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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

PageBlock::Align alignOf(const QString &name)
{
    if (name == u"center")
        return PageBlock::Align::Center;
    if (name == u"end")
        return PageBlock::Align::End;
    if (name == u"justify")
        return PageBlock::Align::Justify;
    return PageBlock::Align::Start;
}

PageBlock blockOf(const QJsonObject &json)
{
    PageBlock block;
    block.text = json.value(u"text").toString().left(MaxBlockText);
    block.align = alignOf(json.value(u"align").toString());
    block.fontSize = measure(json.value(u"fontSize"));
    block.bold = json.value(u"bold").toBool();
    block.indent = measure(json.value(u"indent"));
    block.pageBreakBefore = json.value(u"pageBreakBefore").toBool();
    block.anchor = json.value(u"anchor").toString().left(MaxAnchor);
    block.chrome = json.value(u"chrome").toBool();
    block.label = json.value(u"label").toBool();
    const QJsonArray rows = json.value(u"rows").toArray();
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

QString listBlocks(int request, std::optional<QPointF> at)
{
    const QString x = at ? cssPixels(at->x()) : u"null"_s;
    const QString y = at ? cssPixels(at->y()) : u"null"_s;
    return scriptReturning(u"listBlocks(" + QString::number(request) + u", " + x + u", " + y + u")");
}

std::optional<Listing> readListing(const QVariant &answer)
{
    if (answer.typeId() != QMetaType::QString)
        return std::nullopt;
    const QString text = answer.toString();
    if (text.size() > MaxAnswerBytes / 2)
        return std::nullopt;
    const QJsonDocument json = QJsonDocument::fromJson(text.toUtf8());
    const QJsonObject object = json.object();
    const QJsonValue blocks = object.value(u"blocks");
    if (!blocks.isArray() || !object.value(u"request").isDouble())
        return std::nullopt;
    Listing listing;
    listing.request = object.value(u"request").toInt(-1);
    const QJsonArray list = blocks.toArray();
    for (qsizetype i = 0; i < list.size() && i < MaxBlocks; ++i)
        listing.blocks.append(blockOf(list.at(i).toObject()));
    const int at = object.value(u"at").toInt(-1);
    listing.at = at >= 0 && at < listing.blocks.size() ? at : -1;
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
