// SPDX-License-Identifier: GPL-3.0-or-later
// Proportional layout: the record format, its reading rules, and the window as it is resized.
#include "fakes.h"

#include "window/controllayout.h"
#include "window/mainwindow.h"

#include <QTest>

#include <array>

using namespace Juanzong;
using namespace Juanzong::Testing;

using Fields = std::array<double, 4>;
Q_DECLARE_METATYPE(Fields)

namespace {

// The window hosted as a child of a shown widget, so that every resize reaches
// it at once and even an empty client area is possible.
struct Rig
{
    Rig()
    {
        window = std::make_unique<MainWindow>(WindowParts{new QWidget, &html, new QWidget, &tree, &skin, &messages,
                                                          [] { return u"/srv/juanzong"_qs; }},
                                              &host);
        window->move(0, 0);
        host.resize(2600, 1700);
        host.show();
    }
    QWidget host;
    CallLog log;
    FakeHtmlView html{log};
    FakeTreeView tree{log};
    FakeSkin skin{log};
    FakeMessageBox messages{log};
    std::unique_ptr<MainWindow> window;

    QRect twips(const char *name) const
    {
        const QRect g = window->findChild<QWidget *>(QLatin1StringView(name))->geometry();
        return {g.x() * TwipsPerPixel, g.y() * TwipsPerPixel, g.width() * TwipsPerPixel, g.height() * TwipsPerPixel};
    }
    QList<QRect> geometries() const
    {
        QList<QRect> out;
        for (const QWidget *control : window->controls())
            out << control->geometry();
        return out;
    }
};

} // namespace

class ControlLayoutTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parse_data();
    void parse();
    void parse_badFieldKeepsThePreviousControlsValue();
    void doubleWidth_scalesLeftAndWidthOnly();
    void zeroClientArea_andBack();
    void designSize_roundTripIsExact();
    void repeatedResizing_accumulatesNoError();
    void zeroDesignSize_leavesControlsAlone();
    void fontsAreNotScaled();
};

void ControlLayoutTest::parse_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<Fields>("previous");
    QTest::addColumn<Fields>("expected");

    const Fields zero{};
    const Fields prev{1, 2, 3, 4};
    QTest::newRow("four fields") << u"4440 840 12495 10695 "_qs << zero << Fields{4440, 840, 12495, 10695};
    QTest::newRow("no trailing space: height reads 0")
        << u"4440 840 12495 10695"_qs << prev << Fields{4440, 840, 12495, 0};
    QTest::newRow("two fields") << u"10 20 "_qs << prev << Fields{10, 20, 0, 0};
    QTest::newRow("empty tag") << QString() << prev << Fields{0, 0, 0, 0};
    QTest::newRow("non-number keeps previous") << u"10 abc 30 40 "_qs << prev << Fields{10, 2, 30, 40};
    QTest::newRow("empty field keeps previous") << u"10  30 40 "_qs << prev << Fields{10, 2, 30, 40};
    QTest::newRow("fractions") << u"1.5 2.25 3 4 "_qs << zero << Fields{1.5, 2.25, 3, 4};
    QTest::newRow("negative and large") << u"-15 -30 2000000000 99999999999 "_qs << zero
                                        << Fields{-15, -30, 2000000000.0, 99999999999.0};
    QTest::newRow("extra fields ignored") << u"1 2 3 4 5 6 "_qs << zero << Fields{1, 2, 3, 4};
}

void ControlLayoutTest::parse()
{
    QFETCH(QString, record);
    QFETCH(Fields, previous);
    QFETCH(Fields, expected);
    Fields fields = previous;
    LayoutRecord::parse(record, fields);
    QCOMPARE(fields, expected);
}

void ControlLayoutTest::parse_badFieldKeepsThePreviousControlsValue()
{
    // The values travel from control to control within one pass, and only within it.
    Rig rig;
    auto *text1 = rig.window->findChild<QWidget *>(u"Text1"_qs);
    auto *command1 = rig.window->findChild<QWidget *>(u"Command1"_qs);
    text1->setProperty("Tag", u"x 240 6255 345 "_qs);      // first control: bad left reads 0
    command1->setProperty("Tag", u"6960 y 1215 375 "_qs);  // bad top: Text1's 240
    ApplyLayout(*rig.window, rig.window->controls(), rig.window->designSize());
    QCOMPARE(rig.twips("Text1"), QRect(0, 240, 6255, 345));
    QCOMPARE(rig.twips("Command1"), QRect(6960, 240, 1215, 375));
}

void ControlLayoutTest::doubleWidth_scalesLeftAndWidthOnly()
{
    Rig rig;
    const QList<QRect> before = rig.geometries();
    rig.window->resize(rig.window->width() * 2, rig.window->height());
    QCOMPARE(rig.twips("Webys"), QRect(8880, 840, 24990, 10695));
    const QList<QRect> after = rig.geometries();
    for (qsizetype i = 0; i < before.size(); ++i) {
        QCOMPARE(after[i].x(), before[i].x() * 2);
        QCOMPARE(after[i].width(), before[i].width() * 2);
        QCOMPARE(after[i].y(), before[i].y());
        QCOMPARE(after[i].height(), before[i].height());
    }
}

void ControlLayoutTest::zeroClientArea_andBack()
{
    Rig rig;
    const QList<QRect> design = rig.geometries();
    rig.window->resize(0, 0);
    for (const QWidget *control : rig.window->controls())
        QCOMPARE(control->geometry(), QRect(0, 0, 0, 0));
    rig.window->resize(575, 391);
    QCOMPARE(rig.twips("Webys"), QRect(2220, 420, 6240, 5340));
    rig.window->resize(1151, 783);
    QCOMPARE(rig.geometries(), design);
}

void ControlLayoutTest::designSize_roundTripIsExact()
{
    // As a real top-level window, where resizes come back from the window system.
    CallLog log;
    FakeHtmlView html{log};
    FakeTreeView tree{log};
    FakeSkin skin{log};
    FakeMessageBox messages{log};
    MainWindow window(WindowParts{new QWidget, &html, new QWidget, &tree, &skin, &messages, [] { return u"/x"_qs; }});
    const auto geometries = [&window] {
        QList<QRect> out;
        for (const QWidget *control : window.controls())
            out << control->geometry();
        return out;
    };
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QList<QRect> design = geometries();
    window.resize(1600, 1000);
    QTRY_COMPARE(window.findChild<QWidget *>(u"Webys"_qs)->geometry(), QRect(411, 72, 1158, 911));
    window.resize(1151, 783);
    QTRY_COMPARE(geometries(), design);
}

void ControlLayoutTest::repeatedResizing_accumulatesNoError()
{
    Rig rig;
    const QList<QRect> design = rig.geometries();
    for (int i = 0; i < 50; ++i)
        rig.window->resize(700 + (i * 37) % 900, 400 + (i * 53) % 700);
    rig.window->resize(1151, 783);
    QCOMPARE(rig.geometries(), design);
}

void ControlLayoutTest::zeroDesignSize_leavesControlsAlone()
{
    Rig rig;
    rig.window->resize(0, 0);
    const DesignSize none = SaveLayout(*rig.window, rig.window->controls());
    QCOMPARE(none.DesignWidth, 0);
    rig.window->resize(800, 600);
    const QList<QRect> before = rig.geometries();
    ApplyLayout(*rig.window, rig.window->controls(), none);
    QCOMPARE(rig.geometries(), before);
}

void ControlLayoutTest::fontsAreNotScaled()
{
    Rig rig;
    auto *button = rig.window->findChild<QWidget *>(u"Command1"_qs);
    const QFont font = button->font();
    rig.window->resize(2302, 1566);
    QCOMPARE(button->font(), font);
    QCOMPARE(rig.twips("Command1"), QRect(13920, 480, 2430, 750));
}

QTEST_MAIN(ControlLayoutTest)
#include "tst_controllayout.moc"
