// SPDX-License-Identifier: GPL-3.0-or-later
// The type-ahead's offers: by substring, pinyin initials and full pinyin, every
// reading of a polyphone.
#include "fulltext/titlesuggester.h"

#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;

class TitleSuggesterTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void pinyin_data();
    void pinyin();
    void offers_data();
    void offers();
};

void TitleSuggesterTest::pinyin_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("matches");
    QTest::newRow("initials") << u"民事判决书"_s << u"mspjs"_s << true;
    QTest::newRow("full pinyin") << u"民事判决书"_s << u"minshipanjueshu"_s << true;
    QTest::newRow("full pinyin being typed") << u"民事判决书"_s << u"minshipanj"_s << true;
    QTest::newRow("initials and syllables mixed") << u"民事判决书"_s << u"mshipjs"_s << true;
    QTest::newRow("run inside the title") << u"民事判决书"_s << u"pjs"_s << true;
    QTest::newRow("polyphone 调 read tiao") << u"调解书"_s << u"tjs"_s << true;
    QTest::newRow("polyphone 调 read diao") << u"调解书"_s << u"djs"_s << true;
    QTest::newRow("polyphone 行 read xing") << u"执行异议"_s << u"zxyy"_s << true;
    QTest::newRow("polyphone 行 read hang") << u"执行异议"_s << u"zhihang"_s << true;
    QTest::newRow("u with umlaut as v") << u"绿色通道"_s << u"lvse"_s << true;
    QTest::newRow("no reading starts so") << u"调解书"_s << u"xjs"_s << false;
    QTest::newRow("characters must follow each other") << u"民事判决书"_s << u"mpj"_s << false;
    QTest::newRow("a syllable does not run into the next character") << u"民事"_s << u"mins"_s << true;
    QTest::newRow("too many letters for the syllable") << u"民事"_s << u"minx"_s << false;
    QTest::newRow("latin letters in the title stand for themselves") << u"PDF文件"_s << u"pdfwj"_s << true;
    QTest::newRow("not letters only") << u"民事"_s << u"ms1"_s << false;
}

void TitleSuggesterTest::pinyin()
{
    QFETCH(QString, title);
    QFETCH(QString, typed);
    QFETCH(bool, matches);
    QCOMPARE(TitleSuggester::matchesPinyin(title, typed), matches);
}

void TitleSuggesterTest::offers_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("substring, leaves first") << u"判决"_s << QStringList{u"行政判决书"_s, u"民事判决书（一审）"_s};
    QTest::newRow("upper-case typing") << u"ZXYY"_s << QStringList{u"执行异议之诉"_s};
    QTest::newRow("a document title twice offered once") << u"tjs"_s << QStringList{u"民事调解书"_s};
    QTest::newRow("nothing") << u"qqqq"_s << QStringList{};
    QTest::newRow("empty") << u"  "_s << QStringList{};
}

void TitleSuggesterTest::offers()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, titles);
    TitleSuggester suggester;
    suggester.add({u"执行异议之诉"_s, u"民事卷宗范本"_s, u"juanzongfanben-80.html"_s, {}}, true);
    suggester.add({u"行政判决书"_s, u"行政"_s, u"juanzongfanben-102.html"_s, {}}, true);
    suggester.add({u"民事判决书（一审）"_s, u"第一审普通程序"_s, u"juanzongfanben-14.html"_s, u"ws1"_s}, false);
    suggester.add({u"民事调解书"_s, u"调解"_s, u"juanzongfanben-10.html"_s, u"ws1"_s}, false);
    // The same document title twice is offered once.
    suggester.add({u"民事调解书"_s, u"调解"_s, u"juanzongfanben-10.html"_s, u"ws1"_s}, false);
    QStringList offered;
    for (const Suggestion &s : suggester.suggest(typed))
        offered.append(s.title);
    QCOMPARE(offered, titles);
}

QTEST_GUILESS_MAIN(TitleSuggesterTest)
#include "tst_titlesuggester.moc"
