// SPDX-License-Identifier: GPL-3.0-or-later
#include "casefile/templatedocuments.h"

#include "fulltext/pagetext.h"

#include <QFile>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace Juanzong {

namespace {

Paragraph::Role roleOf(const QString &line, const QString &previous, bool headerDone, bool sawCourt)
{
    static const QRegularExpression caseNumber(u"^[（(〔][^）)〕]{1,8}[）)〕].{0,16}号$"_s);
    static const QRegularExpression sign(u"^(?:审\\s*判\\s*长|审\\s*判\\s*员|人民陪审员|代理审判员|书\\s*记\\s*员|院\\s*长|执\\s*行\\s*员|法官助理)[\\s　]*\\S{0,4}$"_s);
    static const QRegularExpression date(u"^(?:二〇|20|××)[×\\d〇一二三四五六七八九]{2}年.{1,3}月.{1,3}日$"_s);
    if (!headerDone) {
        if (!sawCourt && line.endsWith(u"人民法院"))
            return Paragraph::Role::Court;
        if (caseNumber.match(line).hasMatch())
            return Paragraph::Role::CaseNo;
        if (line.size() <= 16 && !line.contains(u'：') && !line.contains(u'，'))
            return Paragraph::Role::DocType;
    }
    // "此致" and the court it goes to stand at the left margin.
    if (line == u"此致" || (previous == u"此致" && line.endsWith(u"人民法院")))
        return Paragraph::Role::Plain;
    if (sign.match(line).hasMatch() || line == u"（院印）" || line.contains(u"（签名") || line.contains(u"（盖章"))
        return Paragraph::Role::Sign;
    if (date.match(line).hasMatch())
        return Paragraph::Role::Date;
    return Paragraph::Role::Body;
}

} // namespace

QList<TemplateDocument> templateDocuments(QByteArrayView html)
{
    QList<TemplateDocument> out;
    const PageText page = extractPageText(html);
    for (const PageDocument &found : page.documents) {
        if (found.anchor.isEmpty())
            continue; // the page's own text around its documents
        TemplateDocument doc;
        doc.anchor = found.anchor;
        QString heading = found.heading;
        static const QRegularExpression label(u"^范本[一二三四五六七八九十百〇零0-9]+[\\s　]*"_s);
        heading.remove(label);
        doc.document.heading = heading;
        bool headerDone = false;
        bool sawCourt = false;
        QString previous;
        const QStringList lines = found.text.split(u'\n', Qt::SkipEmptyParts);
        for (const QString &line : lines) {
            if (line == found.heading || line == u"返回本页目录")
                continue;
            // The notes on how to write it follow the document; they are no part of it.
            if (line == u"说明" || line == u"说　明")
                break;
            const Paragraph::Role role = roleOf(line, std::exchange(previous, line), headerDone, sawCourt);
            sawCourt = sawCourt || role == Paragraph::Role::Court;
            // The header ends with the case number, or with the first line that is no title.
            headerDone = headerDone || role == Paragraph::Role::CaseNo || role == Paragraph::Role::Body;
            doc.document.paragraphs.append({role, line, {}});
        }
        if (heading.isEmpty())
            for (const Paragraph &p : std::as_const(doc.document.paragraphs))
                if (p.role == Paragraph::Role::DocType) {
                    doc.document.heading = p.text;
                    break;
                }
        out.append(doc);
    }
    return out;
}

QList<TemplateDocument> templateDocumentsOfFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return templateDocuments(file.readAll());
}

} // namespace Juanzong
