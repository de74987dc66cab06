// SPDX-License-Identifier: GPL-3.0-or-later
// Which blanks of a model document the case sheet fills, and with what.
//
// A blank is known by the text around it: "原告：×××" is a plaintiff's name,
// "××××人民法院" alone on its line the court, "××××年××月××日立案" the filing
// date. The rows of one table (casematch.cpp, Rules) say so, one phrasing a
// row; a blank no row takes is left as it is, since a wrong value in a court
// document is worse than a blank one.
#pragma once

#include "casefile/casesheet.h"
#include "document/placeholders.h"

#include <QList>
#include <QString>

namespace Juanzong {

struct CaseMatch
{
    // The sheet's field the value comes from, named as in the case file
    // ("court", "caseNumber.year", "parties.1.name", "panel.0.name"); names of
    // all parties of a role are "parties.原告.names". Empty: not matched.
    QString field;
    QString value;
    bool operator==(const CaseMatch &) const = default;
};

// One entry per blank of fillIn, its document taken as it is: the first party
// paragraph of a role is the sheet's first party of it, the second the second.
QList<CaseMatch> matchCase(const FillIn &fillIn, const CaseSheet &sheet);

// The document written for this case: the party paragraphs of a role once per
// party of it in the sheet, in the sheet's order, with their agents' lines once
// per agent; the panel's signature lines once per member; "男/女" and the like
// settled. Every blank the sheet knows holds its value; the rest stay empty.
struct CaseFill
{
    FillIn fillIn;
    QList<CaseMatch> matches; // per blank of fillIn
};
CaseFill fillFromCase(const ModelDocument &document, const CaseSheet &sheet);

} // namespace Juanzong
