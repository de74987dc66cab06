// SPDX-License-Identifier: GPL-3.0-or-later
// How the view addresses the content folder: which URLs it may show, which go
// to the desktop, which file a URL stands for and how that file is labelled.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QLatin1StringView>
#include <QString>
#include <QUrl>

namespace Juanzong::ContentUrl {

// The folder is served as juanzong://ws/<name>, so that no page shown has a
// file: address and with it a claim on the rest of the disk.
inline constexpr QLatin1StringView Scheme{"juanzong"};
inline constexpr QLatin1StringView Host{"ws"};

// How much of an HTML file is read to find a declared character set.
inline constexpr qsizetype SniffBytes = 64 * 1024;
// Larger files are refused with the engine's error page rather than handed to
// a renderer that would run out of memory on them. A result page listing every
// line of a million-line index is about 210 MB.
inline constexpr qint64 LargestFile = qint64(512) << 20;

// Whether a file of the folder may be read, by the view or by anything else
// that shows what the folder holds. The same rule for every reader: what one
// refuses, no other may show.
enum class Readable {
    Yes,
    Outside,  // the path, or the file a link in it leads to, is not in the folder
    NotPlain, // a folder, a pipe, a device or a socket: it might never end or block for good
    TooLarge, // over LargestFile
    Unreadable,
};
// Opens the file at path for reading when the rule allows, into file (closed
// first) under its canonical name; file stays closed otherwise. Links are
// resolved before the check, and the file opened is the one checked: a link
// put in its place in between is not followed, a file put there is refused,
// and type and size are taken from the open file.
Readable openReadable(const QString &root, const QString &path, QFile &file);

// The URL of a file of the folder root, or an empty URL for a path outside it.
QUrl fromPath(const QString &root, const QString &path);
// The file of the folder root a URL of the folder stands for (query and
// anchor ignored); empty for any other URL and for one that climbs out.
QString toPath(const QString &root, const QUrl &url);

// The URL under which a page built in memory is served in place of the file
// at url, told apart by token; and the token such a URL carries, or empty.
QUrl inMemory(const QUrl &url, const QString &token);
QString memoryToken(const QUrl &url);

// What the view may load, as a page, a frame or any part of one: the folder,
// and what a page makes without reaching anywhere (blank, data:, blob:).
bool isViewable(const QUrl &url);
// What a link the user followed hands to the desktop's browser or mail
// program: a web address or a mail address, a mail's attachments dropped
// (a page must not name files of this machine for the mail program to
// attach); an empty URL for anything else.
QUrl forDesktop(const QUrl &url);

// The content type a file is served with; head is the start of the file, at
// least SniffBytes of it where the file is that long.
QByteArray contentType(const QString &fileName, QByteArrayView head);
// GBK unless the page declares its own character set: a byte order mark, or
// a meta tag with a charset anywhere before the end of its head.
QByteArray htmlContentType(QByteArrayView head);
// The encoding the view then reads the page in, by the name the encoding
// standard browsers follow gives it ("GBK", "UTF-8", "windows-1252",
// "UTF-16LE"): a label it does not know, like no label, leaves the view's
// default, GBK. GBK is read with the GB 18030 decoder, as browsers read it.
QByteArray htmlEncoding(QByteArrayView head);

} // namespace Juanzong::ContentUrl
