// SPDX-License-Identifier: GPL-3.0-or-later
// One case for the tests and benchmarks that fill documents: two plaintiffs,
// the first with an agent, a company as defendant, a panel of three.
#pragma once

#include "casefile/casesheet.h"

#include <QStringList>

namespace Juanzong::Testing {

// A plaintiff, as the sheet holds one typed by a clerk.
inline Party plaintiff(const QStringList &fields)
{
    Party party;
    party.name = fields.value(0);
    party.sex = fields.value(1);
    party.birthDate = fields.value(2);
    party.ethnicity = fields.value(3);
    party.occupation = fields.value(4);
    party.address = fields.value(5);
    return party;
}

inline CaseSheet twoPlaintiffsCase()
{
    using namespace Qt::StringLiterals;
    CaseSheet sheet;
    sheet.court = u"北京市海淀区人民法院"_s;
    sheet.caseNumber = {u"2026"_s, u"京0108"_s, u"民初"_s, u"1234"_s};
    sheet.cause = u"买卖合同纠纷"_s;
    // Dates and ethnicity each written one of the ways the sheet takes.
    Party first = plaintiff({u"张三"_s, u"男"_s, u"1980-01-02"_s, u"汉族"_s, u"无业"_s, u"北京市海淀区某路1号"_s});
    first.agents = {{u"李四"_s, u"北京市某律师事务所律师"_s}};
    const Party second = plaintiff({u"王芳"_s, u"女"_s, u"1985年6月7日"_s, u"回"_s, u"某公司职员"_s, u"北京市海淀区某路3号"_s});
    Party company;
    company.role = u"被告"_s;
    company.kind = Party::Kind::Organisation;
    company.name = u"北京某贸易有限公司"_s;
    company.address = u"北京市朝阳区某街2号"_s;
    company.representative = u"王五"_s;
    company.representativeTitle = u"董事长"_s;
    sheet.parties = {first, second, company};
    sheet.panel = {{u"审判长"_s, u"赵六"_s}, {u"审判员"_s, u"周九"_s}, {u"人民陪审员"_s, u"孙八"_s}};
    sheet.clerk = u"钱七"_s;
    sheet.filed = u"2026-03-05"_s;
    sheet.hearing = u"2026-04-10"_s;
    sheet.pronounced = u"2026-05-20"_s;
    return sheet;
}

} // namespace Juanzong::Testing
