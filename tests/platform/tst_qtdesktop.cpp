// SPDX-License-Identifier: GPL-3.0-or-later
// The save dialogs: where they open, and that they leave nothing behind in
// the user's settings.
#include "platform/qt/qtdesktop.h"

#include <QApplication>
#include <QDir>
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
    void saveDialogs_openInDocumentsElseHome();
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

// Where they open: the user's documents folder, else home, never the folder
// the program happened to be started from.
void QtDesktopTest::saveDialogs_openInDocumentsElseHome()
{
    // The Word dialog where there is no documents folder, the PDF one where there is.
    for (const bool documentsExist : {false, true}) {
        QTemporaryDir home;
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(u".config"_s)));
        if (documentsExist)
            QVERIFY(QDir(home.path()).mkdir(u"Documents"_s));
        QString opened;
        QTimer::singleShot(0, this, [&] {
            if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                opened = dialog->directory().absolutePath();
                dialog->reject();
            }
        });
        Juanzong::QtDesktop desktop;
        QVERIFY((documentsExist ? desktop.askPdfFile(u"起诉状.pdf"_s) : desktop.askDocxFile(u"起诉状.docx"_s)).isEmpty());
        QCOMPARE(opened, QDir(home.path()).absolutePath() + (documentsExist ? u"/Documents"_s : QString()));
    }
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
