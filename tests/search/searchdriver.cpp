// SPDX-License-Identifier: GPL-3.0-or-later
// One search from the command line, for the test that kills searches at random:
//   searchdriver <content folder> <keyword>
// Exit status 0 when the page was saved, 1 for any other ending, 2 for bad arguments.
#include "search/keywordsearch.h"

#include <QCoreApplication>
#include <QFile>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QString ws = QFile::decodeName(argv[1]) + u'/';
    const Juanzong::SearchFiles files{ws + u"alllist.txt", ws + u"searchmoban.txt", ws + u"search.txt",
                                      ws + u"search.html"};
    const Juanzong::SearchOutcome outcome = Juanzong::runSearch(QString::fromLocal8Bit(argv[2]), files);
    return outcome.kind == Juanzong::SearchOutcome::Kind::Saved ? 0 : 1;
}
