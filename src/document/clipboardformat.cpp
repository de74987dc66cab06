// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/clipboardformat.h"

#include "document/modeldocument.h"
#include "document/officiallayout.h"

namespace Juanzong {

namespace {

using namespace OfficialLayout;

// Points, not em: word processors read em in a paragraph style unreliably.
QString paragraphStyle(Paragraph::Role role)
{
    const QString body = QStringLiteral("margin:0;font-family:") + QString::fromUtf16(BodyFallbacks)
        + QStringLiteral(";font-size:%1pt;line-height:%2pt;").arg(BodyPt).arg(LinePitchTwips / 20.0);
    const QString title = QStringLiteral("margin:0;text-align:center;font-weight:bold;font-family:")
        + QString::fromUtf16(TitleFallbacks) + QStringLiteral(";font-size:%1pt;line-height:%2pt;")
                                                   .arg(TitlePt)
                                                   .arg(LinePitchTwips / 20.0);
    const QString indent = QStringLiteral("text-indent:%1pt;").arg(2 * BodyPt);
    switch (role) {
    case Paragraph::Role::Court:
    case Paragraph::Role::DocType:
        return title;
    case Paragraph::Role::CaseNo:
        return body + u"text-align:right;";
    case Paragraph::Role::Heading:
        return body + indent + u"font-weight:bold;";
    case Paragraph::Role::Body:
        return body + indent + u"text-align:justify;";
    case Paragraph::Role::Plain:
        return body + u"text-align:left;";
    case Paragraph::Role::Sign:
    case Paragraph::Role::Date:
        return body + QStringLiteral("text-align:right;margin-right:%1pt;").arg(4 * BodyPt);
    case Paragraph::Role::Table:
        break;
    }
    return body;
}

QString tableHtml(const Paragraph &table)
{
    const QString cellStyle = QStringLiteral("border:1px solid #000;padding:0 4pt;font-family:")
        + QString::fromUtf16(BodyFallbacks) + QStringLiteral(";font-size:%1pt;").arg(BodyPt);
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" style=\"border-collapse:collapse;width:100%\">");
    for (const QStringList &row : table.rows) {
        html += u"<tr>";
        for (const QString &cell : row)
            html += u"<td style=\"" + cellStyle + u"\">" + foldedText(cell).toHtmlEscaped() + u"</td>";
        html += u"</tr>";
    }
    return html + u"</table>";
}

} // namespace

QString clipboardHtml(const ModelDocument &document)
{
    QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"><title>") + document.heading.toHtmlEscaped()
        + QStringLiteral("</title></head><body>");
    for (const Paragraph &p : document.paragraphs) {
        if (p.role == Paragraph::Role::Table)
            html += tableHtml(p);
        else
            html += u"<p style=\"" + paragraphStyle(p.role) + u"\">" + foldedText(p.text).toHtmlEscaped() + u"</p>";
    }
    return html + u"</body></html>";
}

QString clipboardText(const ModelDocument &document)
{
    QStringList lines;
    for (const Paragraph &p : document.paragraphs) {
        switch (p.role) {
        case Paragraph::Role::Table:
            for (const QStringList &row : p.rows) {
                QStringList cells;
                for (const QString &cell : row)
                    cells.append(foldedText(cell));
                lines.append(cells.join(u'\t'));
            }
            break;
        case Paragraph::Role::Body:
        case Paragraph::Role::Heading:
            lines.append(u"　　" + foldedText(p.text));
            break;
        default:
            lines.append(foldedText(p.text));
        }
    }
    return lines.join(u'\n') + u'\n';
}

} // namespace Juanzong
