// SPDX-License-Identifier: GPL-3.0-or-later
// How long the document commands wait for the page script on a 2 MB template
// page (the script's answer, then reading it and finding the documents), next
// to the least any script can do: the page's innerText, in the same engine.
#include "document/pageblocks.h"
#include "documentui/pagescript.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <unistd.h>

using namespace Juanzong;
using namespace Qt::StringLiterals;

namespace {

// Model documents in the markup of a word processor's filtered web page, until
// the page is bytes long.
QByteArray templatePage(qsizetype bytes)
{
    QByteArray page = "<html><head><meta charset=\"utf-8\"><title>bench</title></head><body>";
    for (int n = 1; page.size() < bytes; ++n) {
        page += QStringLiteral(
                    "<p class=MsoNormal><b><span style='font-size:14pt'>样式%1</span></b></p>"
                    "<p class=MsoNormal align=center><b><span style='font-size:22pt'>××××人民法院</span></b></p>"
                    "<p class=MsoNormal align=center><b><span style='font-size:22pt'>民事判决书</span></b></p>"
                    "<p class=MsoNormal align=right><span style='font-size:16pt'>（××××）……民初……号</span></p>")
                    .arg(n)
                    .toUtf8();
        for (int i = 0; i < 20; ++i)
            page += "<p class=MsoNormal style='text-indent:32pt'><span style='font-size:16pt'>原告×××与被告×××"
                    "……（写明案由）一案，本院于××××年××月××日立案后，依法适用普通程序，公开开庭进行了审理。"
                    "<o:p></o:p></span></p>";
        page += "<table border=1><tr><td>当事人</td><td>□自然人 □法人</td></tr></table>"
                "<p class=MsoNormal align=right><span style='font-size:16pt'>审判长　×××<br>"
                "二〇××年××月××日</span></p><p class=MsoNormal><b>说明：</b>本样式供……</p>";
    }
    return page + "</body></html>";
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Runs script in the program's world and waits for its answer; the time in ms.
double timeScript(QWebEnginePage &page, const QString &script, QVariant *answer)
{
    bool done = false;
    QElapsedTimer timer;
    timer.start();
    page.runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant &value) {
        *answer = value;
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 9;

    QTemporaryDir dir;
    const QString path = dir.filePath(u"page.html"_s);
    QFile file(path);
    const QByteArray html = templatePage(2 * 1024 * 1024);
    if (!file.open(QIODevice::WriteOnly) || file.write(html) != html.size())
        return 1;
    file.close();

    QWebEnginePage page;
    bool loaded = false;
    QObject::connect(&page, &QWebEnginePage::loadFinished, &app, [&](bool ok) { loaded = ok || loaded; });
    page.load(QUrl::fromLocalFile(path));
    while (!loaded)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);

    std::vector<double> bare, script, parse;
    qsizetype blocks = 0, documents = 0, answerChars = 0;
    for (int i = 0; i < runs; ++i) {
        QVariant answer;
        bare.push_back(timeScript(page, u"document.body.innerText.length"_s, &answer));
        script.push_back(timeScript(page, PageScript::listBlocks(i, std::nullopt), &answer));
        QElapsedTimer timer;
        timer.start();
        const std::optional<PageScript::Listing> listing = PageScript::readListing(answer);
        const QList<FoundDocument> found = listing ? findModelDocuments(listing->blocks) : QList<FoundDocument>();
        parse.push_back(timer.nsecsElapsed() / 1e6);
        blocks = listing ? listing->blocks.size() : 0;
        documents = found.size();
        answerChars = answer.toString().size();
    }
    std::printf("page script on a %.1f MB page (%lld blocks, %lld model documents, answer %lld characters), "
                "median of %d runs:\n",
                html.size() / 1048576.0, qlonglong(blocks), qlonglong(documents), qlonglong(answerChars), runs);
    std::printf("  baseline document.body.innerText  %8.1f ms\n", median(bare));
    std::printf("  listBlocks answer                 %8.1f ms\n", median(script));
    std::printf("  reading it and finding documents  %8.1f ms\n", median(parse));
    std::printf("  answer and finding together       %8.1f ms (limit 50 ms)\n", median(script) + median(parse));
    return 0;
}
