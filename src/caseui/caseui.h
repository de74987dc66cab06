// SPDX-License-Identifier: GPL-3.0-or-later
// The case sheet's place in the program: its commands on the window and the
// page's context menu, and its values offered to the fill panel.
//
// The sheet lives in its dialog while the program runs and in the user's file
// between runs; nothing else keeps it.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace Juanzong {

class FillIn;
class FullTextService;
class HtmlView;

namespace CaseUi {

// Adds 案件信息… (Ctrl+Shift+A) and 批量生成文书… to window and to the page's context menu.
// fullText is the window's index, which the batch list may be narrowed by; null for none.
void install(QWidget *window, HtmlView *html, std::function<QString()> programDirectory,
             FullTextService *fullText = nullptr);

// Fills the fill panel's fields (FillGroupN, FillBlankN) for the blanks the
// case sheet knows, as if typed, each marked "来自案件信息"; the user may still
// change them for this document. Nothing happens without a case sheet.
void offerCaseValues(QWidget *fillPanel, const FillIn &fillIn);

} // namespace CaseUi
} // namespace Juanzong
