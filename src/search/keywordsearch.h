// SPDX-License-Identifier: GPL-3.0-or-later
// Keyword search over the content folder's index, ending in a result page on disk.
#pragma once

#include <QString>

namespace Juanzong {

struct SearchOutcome
{
    enum class Kind {
        NeedKeyword,  // the keyword was empty; message says so
        NothingFound, // no line matched; message says so, nothing on disk changed
        Saved,        // search.txt and search.html were replaced; show pagePath
        Unsaved,      // the page was built but could not be stored: tell message, then show page as pagePath
        Failed,       // the search could not run (index or template unreadable ...); message says why
    };
    Kind kind = Kind::Failed;
    QString message;  // text for the "提示" box, empty for Saved
    QString pagePath; // the result page, SearchFiles::page
    QString page;     // the generated page, filled for Unsaved
    qsizetype hits = 0;
};

// The four files of one search, named once by whoever knows where the content
// folder is: the search itself never asks.
struct SearchFiles
{
    QString index;          // alllist.txt, read
    QString searchTemplate; // searchmoban.txt, must exist
    QString intermediate;   // search.txt, replaced
    QString page;           // search.html, replaced and shown
};

// Runs one search with the keyword exactly as typed.
SearchOutcome runSearch(const QString &keyword, const SearchFiles &files);

} // namespace Juanzong
