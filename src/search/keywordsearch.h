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
        Saved,        // search.txt and search.html were replaced; show page as pagePath, or pagePath when page is empty
        Unsaved,      // the page was built but could not be stored: tell message, then show page as pagePath
        Failed,       // the search could not run (index or template unreadable ...); message says why
    };
    Kind kind = Kind::Failed;
    QString message;  // text for the "提示" box, empty for Saved
    QString pagePath; // the result page, SearchFiles::page
    // The generated page: always for Unsaved; for Saved unless larger than
    // ShownInMemory. Another copy of the program searching at the same time
    // may replace the files before the view reads them: this is this search's own.
    QString page;
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

// The largest page (bytes in GBK) a saved search hands back in memory as well:
// some forty thousand entries.
inline constexpr qsizetype ShownInMemory = qsizetype(8) << 20;

// Runs one search with the keyword exactly as typed.
SearchOutcome runSearch(const QString &keyword, const SearchFiles &files);

} // namespace Juanzong
