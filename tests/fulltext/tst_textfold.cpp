// SPDX-License-Identifier: GPL-3.0-or-later
// The form pages and queries are compared in: case, width and compatibility forms folded.
#include "fulltext/textfold.h"

#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;

class TextFoldTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fold();
};

void TextFoldTest::fold()
{
    const struct { const char *name; QString text, folded; } rows[] = {
        {"latin case", u"PDF Word"_s, u"pdf word"_s},
        {"full-width digits and letters", u"１２ＡＢｃ"_s, u"12abc"_s},
        {"full-width punctuation and space", u"（一）：，审判长\u3000张"_s, u"(一):,审判长 张"_s},
        {"circled digit", u"①"_s, u"1"_s},
        {"longer compatibility form keeps its length", u"㈠…"_s, u"㈠…"_s},
    };
    for (const auto &row : rows) {
        const QString folded = TextFold::fold(row.text);
        QVERIFY2(folded == row.folded, qPrintable(QLatin1StringView(row.name) + u": " + folded));
    }
}

QTEST_GUILESS_MAIN(TextFoldTest)
#include "tst_textfold.moc"
