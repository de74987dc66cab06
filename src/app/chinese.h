// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's own dialogs and menus in Simplified Chinese, as the rest of the program.
#pragma once

class QCoreApplication;

namespace Juanzong {

// Installs Qt's and Qt WebEngine's Simplified Chinese translations whatever
// the system's language; the file, print and colour dialogs, the line edits'
// and the page's menus then speak as the program does. Returns false when a
// translation file is missing (the dialogs stay in English, nothing else changes).
bool loadChineseTranslations(QCoreApplication &app);

} // namespace Juanzong
