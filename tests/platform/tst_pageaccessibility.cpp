// SPDX-License-Identifier: GPL-3.0-or-later
// Whether the program asks the engine to expose its pages, against what the user has set.
#include "platform/pageaccessibility.h"

#include <QTest>

using namespace Juanzong;

class PageAccessibilityTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void followSetting_data();
    void followSetting();
};

void PageAccessibilityTest::followSetting_data()
{
    // A null column is a variable that is not set at all.
    QTest::addColumn<QByteArray>("follow");
    QTest::addColumn<QByteArray>("engineFlags");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray unset;
    QTest::newRow("nothing set_follows Qt") << unset << unset << QByteArray("1");
    QTest::newRow("user asked to follow_left alone") << QByteArray("1") << unset << unset;
    QTest::newRow("user switched it off_left alone") << QByteArray("0") << unset << unset;
    QTest::newRow("user set it empty_left alone") << QByteArray("") << unset << unset;
    QTest::newRow("engine flags turn the pages off_respected")
        << unset << QByteArray("--disable-gpu --disable-renderer-accessibility") << unset;
    QTest::newRow("flag among tabs and newlines_respected")
        << unset << QByteArray("\t--disable-renderer-accessibility\n") << unset;
    QTest::newRow("other engine flags_follows Qt") << unset << QByteArray("--disable-gpu") << QByteArray("1");
    QTest::newRow("longer flag of the same prefix_follows Qt")
        << unset << QByteArray("--disable-renderer-accessibility-checks") << QByteArray("1");
    QTest::newRow("renderer accessibility forced by the user_follows Qt too")
        << unset << QByteArray("--force-renderer-accessibility") << QByteArray("1");
}

void PageAccessibilityTest::followSetting()
{
    QFETCH(QByteArray, follow);
    QFETCH(QByteArray, engineFlags);
    QFETCH(QByteArray, expected);

    const auto setting = PageAccessibility::followSetting([&](const char *name) -> std::optional<QByteArray> {
        const QByteArray &value = qstrcmp(name, PageAccessibility::FollowVariable) == 0 ? follow
            : qstrcmp(name, PageAccessibility::EngineFlagsVariable) == 0              ? engineFlags
                                                                                       : QByteArray();
        if (value.isNull())
            return std::nullopt;
        return value;
    });

    QCOMPARE(setting.has_value(), !expected.isNull());
    if (setting)
        QCOMPARE(*setting, expected);
}

QTEST_GUILESS_MAIN(PageAccessibilityTest)
#include "tst_pageaccessibility.moc"
