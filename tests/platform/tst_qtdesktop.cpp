// SPDX-License-Identifier: GPL-3.0-or-later
// Where the save dialogs open: the user's documents folder, else home, never
// the folder the program happened to be started from.
#include "platform/qt/qtdesktop.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Juanzong;
using namespace Qt::StringLiterals;

class QtDesktopTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void saveDialogs_openInDocumentsElseHome_data();
    void saveDialogs_openInDocumentsElseHome();
};

void QtDesktopTest::saveDialogs_openInDocumentsElseHome_data()
{
    QTest::addColumn<bool>("word");
    QTest::addColumn<bool>("documentsExist");
    QTest::addColumn<QString>("expected"); // under the home folder
    QTest::newRow("PDF, documents folder") << false << true << u"/Documents"_s;
    QTest::newRow("PDF, no documents folder") << false << false << QString();
    QTest::newRow("Word, documents folder") << true << true << u"/Documents"_s;
    QTest::newRow("Word, no documents folder") << true << false << QString();
}

void QtDesktopTest::saveDialogs_openInDocumentsElseHome()
{
    QFETCH(bool, word);
    QFETCH(bool, documentsExist);
    QFETCH(QString, expected);
    QTemporaryDir home;
    QTemporaryDir elsewhere;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(u".config"_s)));
    if (documentsExist)
        QVERIFY(QDir(home.path()).mkdir(u"Documents"_s));
    // The folder the program was started from, which the dialog fell back to.
    const QString started = QDir::currentPath();
    QVERIFY(QDir::setCurrent(elsewhere.path()));

    QString opened;
    QTimer::singleShot(0, this, [&] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
            opened = dialog->directory().absolutePath();
            dialog->reject();
        }
    });
    QtDesktop desktop;
    const QString answer = word ? desktop.askDocxFile(u"起诉状.docx"_s) : desktop.askPdfFile(u"起诉状.pdf"_s);
    QDir::setCurrent(started);
    QVERIFY(answer.isEmpty());
    QCOMPARE(opened, QDir(home.path()).absolutePath() + expected);
}

QTEST_MAIN(QtDesktopTest)

#include "tst_qtdesktop.moc"
