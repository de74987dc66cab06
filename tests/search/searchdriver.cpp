// SPDX-License-Identifier: GPL-3.0-or-later
// One search from the command line, for the tests that kill searches at random
// and run two at once:
//   searchdriver <content folder> <keyword> [--show]
// Exit status 0 when the page was saved, 1 for any other ending, 2 for bad
// arguments. With --show, what the window would show goes to standard output
// in UTF-8: the page handed back, or else the result file as it is now, or the
// message.
#include "search/gbkcodec.h"
#include "search/keywordsearch.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool show = argc == 4 && qstrcmp(argv[3], "--show") == 0;
    if (argc != 3 && !show)
        return 2;
    const QString ws = QFile::decodeName(argv[1]) + u'/';
    const Juanzong::SearchFiles files{ws + u"alllist.txt", ws + u"searchmoban.txt", ws + u"search.txt",
                                      ws + u"search.html"};
    const Juanzong::SearchOutcome outcome = Juanzong::runSearch(QString::fromLocal8Bit(argv[2]), files);
    const bool saved = outcome.kind == Juanzong::SearchOutcome::Kind::Saved;
    if (show) {
        QString shown = outcome.page.isEmpty() ? outcome.message : outcome.page;
        if (saved && outcome.page.isEmpty()) {
            QFile page(files.page);
            if (page.open(QIODevice::ReadOnly))
                shown = Juanzong::GbkCodec::system()->decode(page.readAll());
        }
        const QByteArray bytes = shown.toUtf8();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    }
    return saved ? 0 : 1;
}
