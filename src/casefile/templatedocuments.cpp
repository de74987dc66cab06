// SPDX-License-Identifier: GPL-3.0-or-later
#include "casefile/templatedocuments.h"

#include "document/pageblocks.h"
#include "fulltext/pagetext.h"

#include <QFile>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace Juanzong {

namespace {

using Role = Paragraph::Role;

// Whether the markup says anything of how the document's blocks look. A page
// that sets its look in a style sheet of its own file (our sample does) says
// nothing inline, and a view would show what this reader cannot see.
bool looksUnsaid(const FoundDocument &found, const QList<PageBlock> &blocks)
{
    for (const BlockSpan &span : found.sources) {
        const PageBlock &b = blocks.at(span.block);
        if ((b.align != PageBlock::Align::Start && b.align != PageBlock::Align::Justify) || b.bold || b.fontSize > 0
            || b.indent > 0)
            return false;
    }
    return true;
}

// The court layout told from the lines alone, where their look is unsaid: a
// court's name, a case number, a short title above the text, signatures and
// the date under it.
Role roleOfText(const QString &line, const QString &previous, bool headerDone, bool sawCourt)
{
    static const QRegularExpression caseNumber(u"^[（(〔][^）)〕]{1,8}[）)〕].{0,16}号$"_s);
    static const QRegularExpression sign(u"^(?:审\\s*判\\s*长|审\\s*判\\s*员|人民陪审员|代理审判员|书\\s*记\\s*员|院\\s*长|执\\s*行\\s*员|法官助理)[\\s　]*\\S{0,4}$"_s);
    static const QRegularExpression date(u"^(?:二〇|20|××)[×\\d〇一二三四五六七八九]{2}年.{1,3}月.{1,3}日$"_s);
    if (!headerDone) {
        if (!sawCourt && line.endsWith(u"人民法院"))
            return Role::Court;
        if (caseNumber.match(line).hasMatch())
            return Role::CaseNo;
        if (line.size() <= 16 && !line.contains(u'：') && !line.contains(u'，'))
            return Role::DocType;
    }
    // "此致" and the court it goes to stand at the left margin.
    if (line == u"此致" || (previous == u"此致" && line.endsWith(u"人民法院")))
        return Role::Plain;
    if (sign.match(line).hasMatch() || line == u"（院印）" || line.contains(u"（签名") || line.contains(u"（盖章"))
        return Role::Sign;
    if (date.match(line).hasMatch())
        return Role::Date;
    return Role::Body;
}

void roleByText(ModelDocument &document)
{
    bool headerDone = false;
    bool sawCourt = false;
    QString previous;
    for (Paragraph &p : document.paragraphs) {
        if (p.role == Role::Table)
            continue;
        p.role = roleOfText(p.text, std::exchange(previous, p.text), headerDone, sawCourt);
        sawCourt = sawCourt || p.role == Role::Court;
        // The header ends with the case number, or with the first line that is no title.
        headerDone = headerDone || p.role == Role::CaseNo || p.role == Role::Body;
    }
}

} // namespace

QList<TemplateDocument> templateDocuments(QByteArrayView html)
{
    const PageBlocks page = readPageBlocks(html);
    QList<TemplateDocument> out;
    QStringList anchors;
    for (FoundDocument &found : findModelDocuments(page.blocks)) {
        // Numbered as the index numbers them, so that its hits name these.
        QString anchor = found.anchor;
        if (anchor.isEmpty() || anchors.contains(anchor))
            anchor = u"juanzong-document-" + QString::number(out.size() + 1);
        anchors.append(anchor);
        if (looksUnsaid(found, page.blocks))
            roleByText(found.document);
        out.append({anchor, std::move(found.document)});
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
