// SPDX-License-Identifier: GPL-3.0-or-later
// Proportional layout: the record's reading rules, and controls as their window is resized.
#include "window/controllayout.h"

#include <QTest>
#include <QWidget>

#include <array>

using namespace Qt::StringLiterals;

using namespace Juanzong;

using Fields = std::array<double, 4>;
Q_DECLARE_METATYPE(Fields)

namespace {

// A window of the design size with two controls, laid out on every resize as the main window is.
class Window final : public QWidget
{
public:
    Window()
    {
        resize(1151, 783);
        text->setGeometry(24, 16, 417, 23);
        view->setGeometry(296, 56, 833, 713);
        design = SaveLayout(*this, controls);
    }
    QList<QRect> geometries() const { return {text->geometry(), view->geometry()}; }

    QWidget *text = new QWidget(this);
    QWidget *view = new QWidget(this);
    QList<QWidget *> controls{text, view};
    DesignSize design;

protected:
    void resizeEvent(QResizeEvent *) override { ApplyLayout(*this, controls, design); }
};

} // namespace

class ControlLayoutTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parse_data();
    void parse();
    void resize_data();
    void resize();
    void badField_keepsThePreviousControlsValue();
    void zeroDesignSize_leavesControlsAlone();
};

void ControlLayoutTest::parse_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<Fields>("previous");
    QTest::addColumn<Fields>("expected");

    const Fields zero{};
    const Fields prev{1, 2, 3, 4};
    QTest::newRow("four fields_read") << u"4440 840 12495 10695 "_s << zero << Fields{4440, 840, 12495, 10695};
    QTest::newRow("no trailing space_height reads 0") << u"4440 840 12495 10695"_s << prev << Fields{4440, 840, 12495, 0};
    QTest::newRow("two fields_the rest 0") << u"10 20 "_s << prev << Fields{10, 20, 0, 0};
    QTest::newRow("empty tag_all 0") << QString() << prev << Fields{0, 0, 0, 0};
    QTest::newRow("non-number_keeps previous") << u"10 abc 30 40 "_s << prev << Fields{10, 2, 30, 40};
    QTest::newRow("empty field_keeps previous") << u"10  30 40 "_s << prev << Fields{10, 2, 30, 40};
    QTest::newRow("fractions_read") << u"1.5 2.25 3 4 "_s << zero << Fields{1.5, 2.25, 3, 4};
    QTest::newRow("negative and large_read") << u"-15 -30 2000000000 99999999999 "_s << zero
                                             << Fields{-15, -30, 2000000000.0, 99999999999.0};
    QTest::newRow("extra fields_ignored") << u"1 2 3 4 5 6 "_s << zero << Fields{1, 2, 3, 4};
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

void ControlLayoutTest::resize_data()
{
    QTest::addColumn<QList<QSize>>("sizes"); // in turn
    QTest::addColumn<QRect>("view");         // the view's geometry at the last one, in twips

    QTest::newRow("double width_left and width double")
        << QList<QSize>{{2302, 783}} << QRect(8880, 840, 24990, 10695);
    QTest::newRow("empty client area_all zero") << QList<QSize>{{0, 0}} << QRect();
    QTest::newRow("half size after empty_scaled from the design")
        << QList<QSize>{{0, 0}, {575, 391}} << QRect(2220, 420, 6240, 5340);
    QList<QSize> many;
    for (int i = 0; i < 50; ++i)
        many << QSize(700 + (i * 37) % 900, 400 + (i * 53) % 700);
    QTest::newRow("back to the design size_design layout exactly")
        << (QList<QSize>{{0, 0}, {1600, 1000}} + many + QList<QSize>{{1151, 783}}) << QRect(4440, 840, 12495, 10695);
}

void ControlLayoutTest::resize()
{
    QFETCH(QList<QSize>, sizes);
    QFETCH(QRect, view);
    Window window;
    window.show(); // a real top-level window: resizes come back from the window system
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect text = window.text->geometry();
    for (const QSize size : sizes)
        window.resize(size);
    const QRect pixels(view.x() / TwipsPerPixel, view.y() / TwipsPerPixel, view.width() / TwipsPerPixel,
                       view.height() / TwipsPerPixel);
    QTRY_COMPARE(window.view->geometry(), view.isNull() ? QRect(0, 0, 0, 0) : pixels);
    if (window.size() == QSize(1151, 783))
        QCOMPARE(window.text->geometry(), text);
}

void ControlLayoutTest::badField_keepsThePreviousControlsValue()
{
    // The values travel from control to control within one pass, and only within it.
    Window window;
    window.text->setProperty("Tag", u"x 240 6255 345 "_s); // first control: bad left reads 0
    window.view->setProperty("Tag", u"4440 y 12495 10695 "_s); // bad top: the text's 240
    ApplyLayout(window, window.controls, window.design);
    QCOMPARE(window.text->geometry(), QRect(0, 16, 417, 23));
    QCOMPARE(window.view->geometry(), QRect(296, 16, 833, 713));
}

void ControlLayoutTest::zeroDesignSize_leavesControlsAlone()
{
    Window window;
    window.resize(0, 0);
    const DesignSize none = SaveLayout(window, window.controls);
    QCOMPARE(none.DesignWidth, 0);
    window.resize(800, 600);
    const QList<QRect> before = window.geometries();
    ApplyLayout(window, window.controls, none);
    QCOMPARE(window.geometries(), before);
}

QTEST_MAIN(ControlLayoutTest)
#include "tst_controllayout.moc"
