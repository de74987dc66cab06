// SPDX-License-Identifier: GPL-3.0-or-later
// One model document (范本) as the program hands it on: its heading and its
// paragraphs, each with the part it plays in the court layout.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QJsonObject;

namespace Juanzong {

struct Paragraph
{
    enum class Role {
        Court,     // the court's name, centred title
        DocType,   // the kind of document, centred title
        CaseNo,    // right-aligned case number
        Heading,   // a bold section heading inside the body
        Body,      // indented running text
        Plain,     // left-aligned without indent: the addressee, "此致"'s court
        Sign,      // signatures, right-aligned
        Date,      // the date under the signatures, right-aligned
        Table,     // rows of cells in `rows`
    };

    Role role = Role::Body;
    // Without the full-width spaces (U+3000) the page put before it: those
    // are counted here, so that no writer indents the paragraph twice.
    QString text;
    QList<QStringList> rows;
    int indent = 0;

    bool operator==(const Paragraph &) const = default;
};

struct ModelDocument
{
    QString heading;
    QList<Paragraph> paragraphs;

    // Reads what the page script extracts: {"heading": "...", "paragraphs":
    // [{"role": "court", "text": "..."}, {"role": "table", "rows": [["..."]]}]}.
    // Unknown roles read as body text. Texts stay as the page holds them, so
    // that offsets into them are offsets into the page.
    static ModelDocument fromJson(const QJsonObject &json);
    // A name for a file holding this document, without suffix: the heading with
    // the characters no file system takes replaced.
    QString fileBaseName() const;
};

QString roleName(Paragraph::Role role);

// The text as a reader sees it: runs of ASCII white space fold into one space
// and none is left at either end. The full-width space U+3000 is text, never folded.
QString foldedText(const QString &text);

} // namespace Juanzong
