// SPDX-License-Identifier: GPL-3.0-or-later
// A model document as an editable Word file (.docx) in the layout of Chinese
// official documents (GB/T 9704-2012): A4, margins 37/35/28/26 mm, 仿宋 三号 at
// 22 lines of 28 characters, 二号 centred titles, page numbers "— 1 —".
#pragma once

#include <QByteArray>
#include <QString>

namespace Juanzong {

struct ModelDocument;

// The whole .docx file: the parts deflated into one zip archive; empty, with
// the reason in *error, when the zip library fails.
QByteArray writeDocx(const ModelDocument &document, QString *error = nullptr);

} // namespace Juanzong
