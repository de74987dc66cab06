// SPDX-License-Identifier: GPL-3.0-or-later
// The save dialogs leave nothing behind in the user's settings.
#include "platform/qt/qtdesktop.h"

#include <QApplication>
#include <QDirIterator>
#include <QFileDialog>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Juanzong;
using namespace Qt::StringLiterals;

namespace {
// The home and configuration folders the process was started with, empty at first.
QTemporaryDir *home = nullptr;

QStringList filesUnder(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    return files;
}
} // namespace

class QtDesktopTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void dialog_writesNoSettings_data();
    void dialog_writesNoSettings();
};

void QtDesktopTest::dialog_writesNoSettings_data()
{
    QTest::addColumn<bool>("keepNoSettings");
    // Qt's own behaviour first: it shows that a file written would be seen.
    QTest::newRow("Qt as it comes_writes its settings") << false;
    QTest::newRow("kept from it_writes nothing") << true;
}

void QtDesktopTest::dialog_writesNoSettings()
{
    QFETCH(bool, keepNoSettings);
    QDir(home->path()).removeRecursively();
    QVERIFY(QDir().mkpath(home->path()));
    if (keepNoSettings)
        QtDesktop::keepNoSettings();
    QTemporaryDir elsewhere;
    const QString chosen = elsewhere.filePath(u"判决书.docx"_s);
    bool accepted = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->selectFile(chosen);
        QMetaObject::invokeMethod(dialog, "accept");
        accepted = true;
    });
    QtDesktop desktop;
    QCOMPARE(desktop.askDocxFile(chosen), chosen);
    QVERIFY(accepted);
    const QStringList written = filesUnder(home->path());
    if (keepNoSettings)
        QVERIFY2(written.isEmpty(), qPrintable(written.join(u' ')));
    else
        QVERIFY(!written.isEmpty());
}

int main(int argc, char *argv[])
{
    QTemporaryDir dir;
    home = &dir;
    qputenv("HOME", QFile::encodeName(dir.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(u"config"_s)));
    QApplication app(argc, argv);
    QtDesktopTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_qtdesktop.moc"
