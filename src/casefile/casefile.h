// SPDX-License-Identifier: GPL-3.0-or-later
// The case sheet as a file of the user's (.json, UTF-8), read and written
// whole. The program keeps no copy: the file is where a case lives.
//
// The format, version 1:
//   {
//     "format": "juanzong-case", "version": 1,
//     "court": "北京市海淀区人民法院",
//     "caseNumber": {"year": "2026", "courtCode": "京0108", "typeCode": "民初", "number": "1234"},
//     "cause": "买卖合同纠纷",
//     "parties": [
//       {"role": "原告", "kind": "person", "name": "张三", "sex": "男", "birthDate": "1980-01-02",
//        "ethnicity": "汉族", "occupation": "…", "address": "…",
//        "agents": [{"name": "李四", "description": "北京市某律师事务所律师"}]},
//       {"role": "被告", "kind": "organisation", "name": "某公司", "address": "…",
//        "representativeRole": "法定代表人", "representative": "王五", "representativeTitle": "董事长",
//        "agents": []}
//     ],
//     "panel": [{"role": "审判长", "name": "赵六"}],
//     "clerk": "钱七",
//     "dates": {"filed": "2026-03-05", "hearing": "2026-04-10", "pronounced": ""}
//   }
// Every member but "format" and "version" may be left out and reads as empty;
// members this version does not know are ignored. A later version is refused
// rather than half read, since saving it again would drop what it added.
#pragma once

#include "casefile/casesheet.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace Juanzong {

constexpr int CaseFileVersion = 1;
// Far above any real case; a bigger file is something else.
constexpr qint64 CaseFileMaxBytes = 1024 * 1024;

QByteArray caseSheetJson(const CaseSheet &sheet);
// The sheet, or nothing with the reason in *error, in words for the user.
std::optional<CaseSheet> readCaseSheet(const QByteArray &json, QString *error = nullptr);

// The same for a file; writing replaces the file only once all of it is written.
std::optional<CaseSheet> readCaseFile(const QString &path, QString *error = nullptr);
bool writeCaseFile(const QString &path, const CaseSheet &sheet, QString *error = nullptr);

} // namespace Juanzong
