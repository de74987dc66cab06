// SPDX-License-Identifier: GPL-3.0-or-later
#include "documentui/pagescript.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace Juanzong::PageScript {

namespace {

// The same functions for every call: each call runs the library and then one action.
const char Library[] = R"JS(
const J = window.__juanzongFill || (window.__juanzongFill = {saved: null});
const Skip = 'div.ws-label, div.note, p.totop, ol.toc, div.crumb, script, style, noscript';
const Blocks = 'p, h1, h2, h3, h4, h5, h6, li, table';
function units() {
    const list = Array.from(document.querySelectorAll('div.ws'));
    return list.length ? list : (document.body ? [document.body] : []);
}
function unitAt(x, y) {
    const list = units();
    if (!list.length)
        return -1;
    if (x === null) {
        // The first one not yet scrolled past: on a page just opened, the first.
        for (let i = 0; i < list.length; ++i)
            if (list[i].getBoundingClientRect().bottom > 40)
                return i;
        return list.length - 1;
    }
    const hit = document.elementFromPoint(x, y);
    const unit = hit && hit.closest ? hit.closest('div.ws') : null;
    if (unit && list.indexOf(unit) >= 0)
        return list.indexOf(unit);
    // Between two of them, or in the page's margin: the last one starting above.
    let best = 0;
    for (let i = 0; i < list.length; ++i)
        if (list[i].getBoundingClientRect().top <= y)
            best = i;
    return best;
}
function blocks(unit) {
    const out = [];
    const walk = (element) => {
        for (const child of element.children) {
            if (child.matches(Skip))
                continue;
            if (child.matches(Blocks))
                out.push(child);
            else
                walk(child);
        }
    };
    walk(unit);
    return out;
}
function roleOf(element) {
    const c = element.classList;
    if (element.tagName === 'TABLE') return 'table';
    if (c.contains('court')) return 'court';
    if (c.contains('doctype')) return 'doctype';
    if (c.contains('caseno')) return 'caseno';
    if (/^H[1-6]$/.test(element.tagName)) return 'heading';
    if (c.contains('to') || c.contains('court-to')) return 'plain';
    if (element.closest('div.sign')) return c.contains('date') ? 'date' : 'sign';
    return 'body';
}
function headingOf(unit) {
    const label = unit.querySelector('div.ws-label');
    if (label)
        return label.textContent.trim().replace(/^范本[一二三四五六七八九十百〇零0-9]+[\s\u3000]*/, '');
    const kind = unit.querySelector('p.doctype');
    if (kind)
        return kind.textContent.trim();
    return document.title.replace(/\s*-\s*卷宗范本$/, '');
}
function extract(index) {
    const unit = units()[index];
    if (!unit)
        return null;
    const paragraphs = blocks(unit).map((b) => b.tagName === 'TABLE'
        ? {role: 'table', rows: Array.from(b.rows).map((r) => Array.from(r.cells).map((c) => c.textContent))}
        : {role: roleOf(b), text: b.textContent});
    return JSON.stringify({unit: index, heading: headingOf(unit), paragraphs: paragraphs});
}
function restore() {
    const style = document.getElementById('juanzong-fill-style');
    if (style)
        style.remove();
    if (!J.saved)
        return 0;
    for (const s of J.saved)
        s.element.replaceChildren(...s.nodes);
    const count = J.saved.length;
    J.saved = null;
    return count;
}
function rangeOf(element, start, end) {
    const walker = document.createTreeWalker(element, NodeFilter.SHOW_TEXT);
    const range = document.createRange();
    let pos = 0;
    let started = false;
    for (let n = walker.nextNode(); n; n = walker.nextNode()) {
        const length = n.data.length;
        if (!started && start <= pos + length) {
            range.setStart(n, start - pos);
            started = true;
        }
        if (started && end <= pos + length) {
            range.setEnd(n, end - pos);
            return range;
        }
        pos += length;
    }
    return null;
}
function show(index, fills) {
    restore();
    const unit = units()[index];
    if (!unit)
        return -1;
    const list = blocks(unit);
    const touched = Array.from(new Set(fills.map((f) => f.p))).filter((p) => list[p]);
    J.saved = touched.map((p) => ({element: list[p], nodes: Array.from(list[p].childNodes).map((n) => n.cloneNode(true))}));
    // Marked on screen, plain on paper: a printed fill is the user's document.
    const style = document.createElement('style');
    style.id = 'juanzong-fill-style';
    style.textContent = '.jz-filled{background:#fff1a8;color:#8a1c1c;border-bottom:2px solid #d4a017;border-radius:2px}'
        + '@media print{.jz-filled{background:none;color:inherit;border:0}}';
    (document.head || document.documentElement).appendChild(style);
    // From the end backwards, so that every offset still counts template text.
    fills.sort((a, b) => b.p - a.p || b.start - a.start);
    let shown = 0;
    for (const f of fills) {
        if (!list[f.p])
            continue;
        const range = rangeOf(list[f.p], f.start, f.start + f.length);
        if (!range)
            continue;
        range.deleteContents();
        const mark = document.createElement('span');
        mark.className = 'jz-filled';
        mark.title = f.blank;
        mark.textContent = f.value;
        range.insertNode(mark);
        ++shown;
    }
    return shown;
}
)JS";

QString scriptReturning(const QString &action)
{
    return u"(function () {" + QString::fromUtf8(Library) + u"\nreturn " + action + u";\n})()";
}

QString cssPixels(double value)
{
    return QString::number(value, 'f', 2);
}

} // namespace

QString extract(std::optional<QPointF> at)
{
    const QString x = at ? cssPixels(at->x()) : QStringLiteral("null");
    const QString y = at ? cssPixels(at->y()) : QStringLiteral("null");
    return scriptReturning(u"extract(unitAt(" + x + u", " + y + u"))");
}

QString extractUnit(int unit)
{
    return scriptReturning(u"extract(" + QString::number(unit) + u")");
}

QString show(int unit, const QList<Fill> &fills)
{
    QJsonArray list;
    for (const Fill &fill : fills)
        list.append(QJsonObject{{u"p"_s, fill.paragraph},
                                {u"start"_s, fill.start},
                                {u"length"_s, fill.length},
                                {u"value"_s, fill.value},
                                {u"blank"_s, fill.blank}});
    // JSON is a JavaScript literal: the values reach the page as data only.
    const QString data = QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact));
    return scriptReturning(u"show(" + QString::number(unit) + u", " + data + u")");
}

QString restore()
{
    return scriptReturning(QStringLiteral("restore()"));
}

} // namespace Juanzong::PageScript
