// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/modeldocument.h"

#include "core/contentpaths.h"

#include <QJsonArray>
#include <QJsonObject>

namespace Juanzong {

namespace {

struct RoleEntry
{
    Paragraph::Role role;
    QStringView name;
};

constexpr RoleEntry Roles[] = {
    {Paragraph::Role::Court, u"court"},     {Paragraph::Role::DocType, u"doctype"},
    {Paragraph::Role::CaseNo, u"caseno"},   {Paragraph::Role::Heading, u"heading"},
    {Paragraph::Role::Body, u"body"},       {Paragraph::Role::Plain, u"plain"},
    {Paragraph::Role::Sign, u"sign"},       {Paragraph::Role::Date, u"date"},
    {Paragraph::Role::Table, u"table"},
};

} // namespace

// Only ASCII white space folds: the full-width space U+3000 is part of the text
// ("审判长　×××") and must survive every road out of the program.
QString foldedText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    bool space = false;
    for (const QChar c : text) {
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f') {
            space = true;
            continue;
        }
        if (space && !out.isEmpty())
            out.append(u' ');
        space = false;
        out.append(c);
    }
    return out;
}

QString roleName(Paragraph::Role role)
{
    for (const RoleEntry &entry : Roles)
        if (entry.role == role)
            return entry.name.toString();
    return {};
}

ModelDocument ModelDocument::fromJson(const QJsonObject &json)
{
    ModelDocument doc;
    doc.heading = foldedText(json.value(u"heading").toString());
    const QJsonArray paragraphs = json.value(u"paragraphs").toArray();
    for (const QJsonValue &value : paragraphs) {
        const QJsonObject object = value.toObject();
        Paragraph p;
        const QString role = object.value(u"role").toString();
        for (const RoleEntry &entry : Roles)
            if (entry.name == role)
                p.role = entry.role;
        if (p.role == Paragraph::Role::Table) {
            const QJsonArray rows = object.value(u"rows").toArray();
            for (const QJsonValue &row : rows) {
                QStringList cells;
                const QJsonArray cellArray = row.toArray();
                for (const QJsonValue &cell : cellArray)
                    cells.append(cell.toString());
                p.rows.append(cells);
            }
        } else {
            p.text = object.value(u"text").toString();
            p.indent = object.value(u"indent").toInt();
        }
        doc.paragraphs.append(p);
    }
    return doc;
}

QString ModelDocument::fileBaseName() const
{
    return ContentPaths::proposedFileName(heading, DocxSuffix).chopped(DocxSuffix.size());
}

} // namespace Juanzong
