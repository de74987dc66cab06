// SPDX-License-Identifier: GPL-3.0-or-later
// How long the document commands wait for the page script on a 2 MB template
// page (the script's answer, then reading it and finding the documents), next
// to the least any script can do: the page's innerText, in the same engine.
// The first command on a page lists it whole, and so does one after the page
// changed; a later one, the page unchanged, is told only which block is meant. Where the first one's time goes is
// printed below it.
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

bool load(QWebEnginePage &page, const QString &path)
{
    bool loaded = false;
    bool ok = false;
    const QMetaObject::Connection c = QObject::connect(&page, &QWebEnginePage::loadFinished, &page, [&](bool success) {
        loaded = true;
        ok = success;
    });
    page.load(QUrl::fromLocalFile(path));
    while (!loaded)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QObject::disconnect(c);
    return ok;
}

// The script's own stages, timed inside the page: walking the page, and
// encoding the answer. The rest of a first command is the engine handing the
// answer over.
QString stagesScript()
{
    QFile file(u":/juanzong/documentui/pagescript.js"_s);
    const QString library = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    return u"(function () {\n" + library + uR"(
        const t0 = performance.now();
        const blocks = collectBlocks();
        const t1 = performance.now();
        const text = JSON.stringify({request: 0, at: blockAt(blocks, null, null), version: '', blocks: blocks.map(encode)});
        return [t1 - t0, performance.now() - t1, text.length];
    })())";
}

struct Command
{
    double answer = 0; // the script's answer, in the view
    double reading = 0; // reading it
    double finding = 0; // finding the documents, or taking the held ones
    double total() const { return answer + reading + finding; }
};

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
    std::vector<double> bare, bareAgain, walk, encode, transfer;
    std::vector<Command> first, later, menu, changed;
    std::vector<double> keystroke;
    qsizetype blocks = 0, documents = 0, firstChars = 0, laterChars = 0;
    const QString stages = stagesScript();
    for (int i = 0; i < runs; ++i) {
        // A fresh page each run: nothing kept from the one before.
        if (!load(page, path))
            return 1;
        QVariant answer;
        bare.push_back(timeScript(page, u"document.body.innerText.length"_s, &answer));

        QList<FoundDocument> held;
        QString version;
        qsizetype heldBlocks = 0;
        auto command = [&](std::optional<QPointF> at, std::vector<Command> &into) {
            Command c;
            c.answer = timeScript(page, PageScript::listBlocks(i, at, version), &answer);
            QElapsedTimer timer;
            timer.start();
            const std::optional<PageScript::Listing> listing = PageScript::readListing(answer);
            c.reading = timer.nsecsElapsed() / 1e6;
            timer.restart();
            if (listing && !listing->same) {
                held = findModelDocuments(listing->blocks);
                version = listing->version;
                heldBlocks = listing->blocks.size();
            }
            const bool usable = listing && listing->version == version && listing->at < heldBlocks;
            c.finding = timer.nsecsElapsed() / 1e6;
            into.push_back(c);
            return usable ? answer.toString().size() : -1;
        };
        firstChars = command(std::nullopt, first);
        laterChars = command(std::nullopt, later);
        if (command(QPointF(300, 200), menu) < 0 || firstChars < 0 || laterChars < 0)
            return 1;
        bareAgain.push_back(timeScript(page, u"document.body.innerText.length"_s, &answer));
        // Anything the page changes, here an attribute no style reads, and it is listed whole again.
        timeScript(page, u"document.body.dataset.run = '%1'"_s.arg(i), &answer);
        const QString before = version;
        if (command(std::nullopt, changed) < 0 || version == before)
            return 1;
        blocks = heldBlocks;
        documents = held.size();

        // A value typed in the fill panel: the page shows it in place of its blank.
        const QString blank = u"×××"_s;
        for (const FoundDocument &d : std::as_const(held)) {
            const qsizetype at = d.document.paragraphs.value(4).text.indexOf(blank);
            if (at < 0 || d.sources.size() < 5)
                continue;
            const BlockSpan &source = d.sources.at(4);
            keystroke.push_back(timeScript(page, PageScript::show({{source.block, source.start + int(at), 3, u"张三"_s, blank}}),
                                           &answer));
            if (answer.toInt() != 1)
                return 1;
            timeScript(page, PageScript::restore(), &answer);
            break;
        }

        timeScript(page, stages, &answer);
        const QVariantList times = answer.toList();
        walk.push_back(times.value(0).toDouble());
        encode.push_back(times.value(1).toDouble());
        transfer.push_back(first.back().answer - walk.back() - encode.back());
    }
    auto column = [](const std::vector<Command> &commands, double Command::*part) {
        std::vector<double> values;
        for (const Command &c : commands)
            values.push_back(part ? c.*part : c.total());
        return median(values);
    };
    std::printf("page script on a %.1f MB page (%lld blocks, %lld model documents), median of %d runs:\n",
                html.size() / 1048576.0, qlonglong(blocks), qlonglong(documents), runs);
    std::printf("  baseline document.body.innerText     %8.1f ms on the fresh page, %.1f ms later\n", median(bare),
                median(bareAgain));
    std::printf("  first command (answer %7lld chars) %8.1f ms\n", qlonglong(firstChars), column(first, nullptr));
    std::printf("    answer in the view                 %8.1f ms\n", column(first, &Command::answer));
    std::printf("      walking the page                 %8.1f ms\n", median(walk));
    std::printf("      encoding the answer              %8.1f ms\n", median(encode));
    std::printf("      handing it over                  %8.1f ms\n", median(transfer));
    std::printf("    reading it                         %8.1f ms\n", column(first, &Command::reading));
    std::printf("    finding the documents              %8.1f ms\n", column(first, &Command::finding));
    std::printf("  command after the page changed       %8.1f ms\n", column(changed, nullptr));
    std::printf("  later command, keys (%5lld chars)   %8.1f ms (limit 50 ms)\n", qlonglong(laterChars),
                column(later, nullptr));
    std::printf("  later command, menu at a point       %8.1f ms (limit 50 ms)\n", column(menu, nullptr));
    std::printf("  a value typed in the fill panel      %8.1f ms\n", keystroke.empty() ? -1.0 : median(keystroke));
    return 0;
}
