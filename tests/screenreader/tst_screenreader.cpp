// SPDX-License-Identifier: GPL-3.0-or-later
// The program as a screen reader meets it: on its own X display and session bus
// with Qt's accessibility switched on, its tree read over AT-SPI by reader.py.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

using Node = QJsonObject;

QJsonArray childrenOf(const Node &node)
{
    return node.value(u"children").toArray();
}

QString role(const Node &node)
{
    return node.value(u"role").toString();
}

QString name(const Node &node)
{
    return node.value(u"name").toString();
}

// Every node under node, in reading order, node first.
QList<Node> flattened(const Node &node)
{
    QList<Node> out{node};
    for (const QJsonValue &child : childrenOf(node))
        out += flattened(child.toObject());
    return out;
}

} // namespace

class ScreenReaderTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();

    void focus_movesInTheDesignsTabOrderAndIsReported();
    void pages_stayReadable_data();
    void pages_stayReadable();

private:
    QJsonValue reader(const QStringList &arguments);
    Node tree() { return reader({u"tree"_s}).toObject(); }
    Node frame();
    Node document();
    bool waitForDocument(const std::function<bool(const QList<Node> &)> &condition);
    void run(const QString &program, const QStringList &arguments);

    QTemporaryDir m_dir;
    QProcessEnvironment m_env;
    QProcess m_xvfb;
    QProcess m_program;
    qint64 m_busPid = 0;
};

QJsonValue ScreenReaderTest::reader(const QStringList &arguments)
{
    QProcess python;
    python.setProcessEnvironment(m_env);
    python.start(u"/usr/bin/python3"_s, QStringList{QStringLiteral(READER_SCRIPT)} + arguments);
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        qWarning("reader.py %s: %s", qPrintable(arguments.join(u' ')), python.readAllStandardError().constData());
        return {};
    }
    const QJsonDocument answer = QJsonDocument::fromJson(python.readAllStandardOutput());
    return answer.isArray() ? QJsonValue(answer.array()) : QJsonValue(answer.object());
}

void ScreenReaderTest::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessEnvironment(m_env);
    process.start(program, arguments);
    QVERIFY2(process.waitForFinished(30000) && process.exitCode() == 0,
             qPrintable(program + u": " + QString::fromLocal8Bit(process.readAllStandardError())));
}

Node ScreenReaderTest::frame()
{
    const QJsonArray windows = childrenOf(tree());
    return windows.isEmpty() ? Node() : windows.first().toObject();
}

Node ScreenReaderTest::document()
{
    for (const Node &node : flattened(frame()))
        if (role(node) == u"document web")
            return node;
    return {};
}

// The page is built and exposed some time after it loads: ask again until it reads as expected.
bool ScreenReaderTest::waitForDocument(const std::function<bool(const QList<Node> &)> &condition)
{
    for (int attempt = 0; attempt < 40; ++attempt) {
        if (condition(flattened(document())))
            return true;
        QTest::qWait(500);
    }
    return false;
}

void ScreenReaderTest::initTestCase()
{
    for (const char *tool : {"Xvfb", "dbus-daemon", "xdotool"})
        QVERIFY2(!QStandardPaths::findExecutable(QLatin1StringView(tool)).isEmpty(), tool);
    QVERIFY2(QProcess::execute(u"/usr/bin/python3"_s, {u"-c"_s, u"import pyatspi"_s}) == 0,
             "the system's python3 has no pyatspi");

    // The program finds its content beside itself and writes its search there.
    QVERIFY(m_dir.isValid());
    const QString program = m_dir.filePath(u"juanzong"_s);
    QVERIFY(QFile::copy(QStringLiteral(JUANZONG_PROGRAM), program));
    QCOMPARE(QProcess::execute(u"cp"_s, {u"-r"_s, QStringLiteral(JUANZONG_CONTENT_DIR "/ws"), m_dir.path()}), 0);
    QVERIFY(QFile::copy(QStringLiteral(JUANZONG_CONTENT_DIR "/black.she"), m_dir.filePath(u"black.she"_s)));

    m_xvfb.start(u"Xvfb"_s, {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1400x900x24"_s, u"-nolisten"_s,
                              u"tcp"_s});
    QVERIFY(m_xvfb.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(m_xvfb.canReadLine(), 20000);
    const QString display = u':' + QString::fromLatin1(m_xvfb.readLine().trimmed());

    m_env = QProcessEnvironment::systemEnvironment();
    m_env.insert(u"DISPLAY"_s, display);
    m_env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    // Qt's accessibility on whatever the desktop says; the program decides the pages itself.
    m_env.insert(u"QT_LINUX_ACCESSIBILITY_ALWAYS_ON"_s, u"1"_s);
    m_env.remove(u"QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"_s);
    m_env.remove(u"QTWEBENGINE_CHROMIUM_FLAGS"_s);
    // The bus's accessibility settings live in memory, never in the user's own.
    m_env.insert(u"GSETTINGS_BACKEND"_s, u"memory"_s);
    if (::geteuid() == 0)
        m_env.insert(u"QTWEBENGINE_DISABLE_SANDBOX"_s, u"1"_s);

    // A session bus of its own: it prints its address, then its pid.
    QProcess bus;
    bus.setProcessEnvironment(m_env);
    bus.start(u"dbus-daemon"_s, {u"--session"_s, u"--fork"_s, u"--print-address=1"_s, u"--print-pid=1"_s});
    QVERIFY(bus.waitForFinished(20000) && bus.exitCode() == 0);
    const QList<QByteArray> lines = bus.readAllStandardOutput().split('\n');
    QVERIFY(lines.size() >= 2);
    m_env.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, QString::fromLatin1(lines.at(0)));
    m_busPid = lines.at(1).toLongLong();
    QVERIFY(m_busPid > 0);

    m_program.setProcessEnvironment(m_env);
    m_program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_program.setStandardOutputFile(QProcess::nullDevice());
    m_program.start(program, QStringList());
    QVERIFY(m_program.waitForStarted());

    QTRY_VERIFY_WITH_TIMEOUT(name(frame()) == u"卷宗范本 V2.0.0", 60000);
    // No window manager runs here: give the window the keyboard as one would.
    run(u"xdotool"_s, {u"search"_s, u"--sync"_s, u"--onlyvisible"_s, u"--name"_s, u"卷宗范本 V2.0.0"_s,
                        u"windowfocus"_s, u"--sync"_s});
}

void ScreenReaderTest::cleanupTestCase()
{
    if (m_program.state() != QProcess::NotRunning) {
        m_program.terminate();
        if (!m_program.waitForFinished(10000))
            m_program.kill();
        m_program.waitForFinished(5000);
    }
    if (m_busPid > 0)
        ::kill(pid_t(m_busPid), SIGTERM);
    m_xvfb.terminate();
    m_xvfb.waitForFinished(5000);
}

void ScreenReaderTest::focus_movesInTheDesignsTabOrderAndIsReported()
{
    // The page has the focus first: it comes first in the tab order.
    QTRY_VERIFY_WITH_TIMEOUT(document().value(u"focused").toBool(), 20000);
    const QJsonArray moves = reader({u"keys"_s, u"10"_s, u"Tab"_s}).toArray();
    QStringList focused;
    for (const QJsonValue &move : moves)
        focused << move.toString().section(u':', 0, 0) + u':'
                       + (move.toString().startsWith(u"document") ? QString() : move.toString().section(u':', 1));
    const QStringList expected = {u"push button:搜索"_s, u"tree:目录"_s,        u"push button:关闭"_s,
                                  u"text:搜索关键词"_s,  u"push button:前进"_s, u"push button:后退"_s,
                                  u"push button:关于"_s, u"push button:打印"_s, u"document web:"_s,
                                  u"push button:搜索"_s};
    QCOMPARE(focused, expected);
}

void ScreenReaderTest::pages_stayReadable_data()
{
    // Rows run in order, each from where the one before left the view.
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("heading");

    QTest::newRow("start page_its heading") << QString() << QString() << u"民事诉讼文书制作规范"_s;
    // Down from the start page's row: two groups, then 管辖, then 回避. One page a
    // row, so that each one is loaded before the next is asked for.
    QTest::newRow("catalogue row chosen by keyboard_its template") << u"catalogue"_s << u"3"_s << u"管辖"_s;
    QTest::newRow("next catalogue row_its template") << u"catalogue"_s << u"1"_s << u"回避"_s;
    QTest::newRow("back_the template before") << u"press"_s << u"后退"_s << u"管辖"_s;
    QTest::newRow("about_its heading") << u"press"_s << u"关于"_s << u"卷宗范本 V2.0.0"_s;
}

void ScreenReaderTest::pages_stayReadable()
{
    QFETCH(QString, step);
    QFETCH(QString, argument);
    QFETCH(QString, heading);

    if (step == u"catalogue") {
        reader({u"act"_s, u"push button"_s, u"搜索"_s, u"SetFocus"_s});
        // Tab from the Search button lands on the catalogue, as the tab order says.
        run(u"xdotool"_s, {u"key"_s, u"Tab"_s});
        for (int i = 0; i < argument.toInt(); ++i)
            run(u"xdotool"_s, {u"key"_s, u"Down"_s});
    } else if (step == u"press") {
        QVERIFY(reader({u"act"_s, u"push button"_s, argument, u"Press"_s}).toObject().value(u"done").toBool());
    }
    const bool read = waitForDocument([&](const QList<Node> &page) {
        return std::any_of(page.begin(), page.end(),
                           [&](const Node &n) { return role(n) == u"heading" && name(n) == heading; });
    });
    QVERIFY2(read, qPrintable(QString::fromUtf8(QJsonDocument(document()).toJson())));
}

QTEST_GUILESS_MAIN(ScreenReaderTest)
#include "tst_screenreader.moc"
