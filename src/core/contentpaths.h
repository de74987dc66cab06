// SPDX-License-Identifier: GPL-3.0-or-later
// Where the content folder lies beside the executable and how every file in it is named.
#pragma once

#include <QString>

#include <optional>

namespace Juanzong::ContentPaths {

// The executable's directory, asked of the system every time: nothing caches it.
QString programDirectory();

// Each path below is the program directory followed by a fixed suffix, by plain
// concatenation: no normalisation and no existence test. A program at the root
// of a drive therefore yields a doubled separator, which names the same file.
QString contentRoot(const QString &programDir);
QString startPage(const QString &programDir);
QString aboutPage(const QString &programDir);
QString leafPage(const QString &programDir, const QString &key);
QString searchIndex(const QString &programDir);
QString searchTemplate(const QString &programDir);
QString intermediatePage(const QString &programDir);
QString resultPage(const QString &programDir);
// The skin file sits beside the executable, not in the content folder, and is
// always joined with a forward slash.
QString skinFile(const QString &programDir);

// Where path lies inside the folder root, as a cleaned relative path with "/"
// between its parts ("a.html", "old/a.html"), after both are cleaned of
// doubled separators and dot segments; none for a path outside the folder or
// the folder itself. Windows names the same file in any case, so there the
// comparison ignores it.
std::optional<QString> insideFolder(const QString &root, const QString &path);

// A file name proposed from a text (a heading, a label) followed by suffix
// (".docx"), that every file system takes: characters no name may hold
// replaced by "_", no leading dot (which hides the file, and makes "../x" a
// hidden "_x"), no trailing dot or white space, and cut at a character so that
// the whole name fits in 255 bytes of UTF-8. "文书" where nothing is left.
QString proposedFileName(const QString &text, QStringView suffix);

// How the file system compares names: Windows names the same file in any case.
#ifdef Q_OS_WIN
inline constexpr Qt::CaseSensitivity FileCase = Qt::CaseInsensitive;
#else
inline constexpr Qt::CaseSensitivity FileCase = Qt::CaseSensitive;
#endif

} // namespace Juanzong::ContentPaths
