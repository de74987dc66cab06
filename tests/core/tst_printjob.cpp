// SPDX-License-Identifier: GPL-3.0-or-later
// What the print dialog chose, as the printing system is told it.
#include "core/printjob.h"

#include <QTest>

using namespace Juanzong;
using namespace Qt::StringLiterals;

class PrintJobTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void spoolerArguments_data();
    void spoolerArguments();
};

void PrintJobTest::spoolerArguments_data()
{
    using PrintJob::Sides;
    QTest::addColumn<QString>("printer");
    QTest::addColumn<int>("copies");
    QTest::addColumn<bool>("collate");
    QTest::addColumn<int>("sides");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("default printer, one copy") << QString() << 1 << true << int(Sides::OneSided)
                                               << QStringList{u"-t"_s, u"-起诉状"_s, u"-o"_s, u"sides=one-sided"_s};
    QTest::newRow("copies collated, both sides")
        << u"office"_s << 3 << true << int(Sides::LongEdge)
        << QStringList{u"-d"_s, u"office"_s, u"-t"_s, u"-起诉状"_s, u"-n"_s, u"3"_s, u"-o"_s, u"collate=true"_s,
                       u"-o"_s, u"sides=two-sided-long-edge"_s};
    QTest::newRow("copies page by page, short edge")
        << u"office"_s << 2 << false << int(Sides::ShortEdge)
        << QStringList{u"-d"_s, u"office"_s, u"-t"_s, u"-起诉状"_s, u"-n"_s, u"2"_s, u"-o"_s,
                       u"sides=two-sided-short-edge"_s};
}

void PrintJobTest::spoolerArguments()
{
    QFETCH(QString, printer);
    QFETCH(int, copies);
    QFETCH(bool, collate);
    QFETCH(int, sides);
    QFETCH(QStringList, expected);
    // A title that looks like an option stays the title's value.
    const PrintJob::Options options{printer, copies, collate, PrintJob::Sides(sides), u"-起诉状"_s};
    QCOMPARE(PrintJob::spoolerArguments(options), expected);
}

QTEST_APPLESS_MAIN(PrintJobTest)

#include "tst_printjob.moc"
