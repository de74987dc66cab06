// SPDX-License-Identifier: GPL-3.0-or-later
// The page as a reader sees it, block by block, for the document commands; and
// the values being filled in, put in place of their blanks.
//
// Runs in the view's isolated world: the page's scripts can neither call these
// functions nor see the state kept in J. The C++ side decides what the blocks
// mean; this file only lists them with their computed style and maps offsets
// into a block's text back to the text nodes they came from.
//
// Listing a large page costs far more than any one command may take, so the
// listing is kept between commands, under a version, until anything the
// reader could see may have changed; a caller holding that version is told
// only which block is meant. Our own edits (the values of a fill) never count
// as a change: they go into copies, and the page's own nodes stay as listed.
//
// Each call appends its action to this file: a return of one of the functions below.
/* exported listBlocks, show, restore */
'use strict';

const J = window.__juanzongFill || (window.__juanzongFill = {
    saved: null,
    style: null,
    listing: null,
    // Versions name this document's listings only: a page loaded afresh
    // starts again with another token.
    token: Array.from(crypto.getRandomValues(new Uint32Array(2)), (n) => n.toString(16)).join(''),
    serial: 0,
    observer: null,
});

// What one answer may hold at most: a page beyond this is read up to here.
const MaxBlocks = 20000;
const MaxBlockText = 20000;
const MaxCells = 2000;

// By local name, which is lower case in HTML and XHTML alike.
const NeverShown = new Set(['script', 'style', 'noscript', 'template', 'head', 'title', 'meta', 'link',
                            'iframe', 'object', 'embed', 'svg', 'math', 'select', 'textarea']);
const ChromeTags = new Set(['header', 'nav', 'footer', 'aside']);
const Alignments = {center: 'center', middle: 'center', right: 'end', justify: 'justify', left: 'start'};
const ChromeRoles = new Set(['banner', 'navigation', 'contentinfo', 'complementary']);
const Inline = /^(inline|inline-block|contents|ruby|ruby-text)$/;

function isChromeElement(element) {
    return ChromeTags.has(element.localName) || ChromeRoles.has(element.getAttribute('role'));
}

function isLabelElement(element) {
    return element.localName === 'div' && element.classList.contains('ws-label');
}

// A web site sets its whole article in a table to place it on the page; a
// form's table has cells of a few lines each.
function isLayoutTable(table) {
    const cells = table.querySelectorAll('td, th');
    if (cells.length <= 1 || table.querySelector('table, h1, h2, h3, h4, h5, h6'))
        return true;
    for (const cell of cells)
        if (cell.querySelectorAll('p, div, li').length > 5)
            return true;
    return false;
}

function pixels(value) {
    const n = parseFloat(value);
    return Number.isFinite(n) ? n : 0;
}

function alignOf(style) {
    switch (style.textAlign) {
    case 'center': case '-webkit-center': return 'center';
    case 'right': case 'end': case '-webkit-right': return style.direction === 'rtl' ? 'start' : 'end';
    case 'justify': return 'justify';
    default: return 'start';
    }
}

// Computed style is by far the dearest thing to ask of the page, and a page
// written by a word processor repeats the same few looks thousands of times.
// Elements alike in their tag, their classes, id and style attributes and
// those of every ancestor have the same computed style for the rules pages
// use, so it is asked once for each such chain.
class Looks {
    constructor() {
        this.byChain = new Map();
    }
    of(element, parent) {
        const alignAttribute = element.getAttribute('align');
        const chain = parent.id + '>' + element.localName + '.' + element.className + '#' + element.id + '['
            + (element.getAttribute('style') || '') + '|' + (alignAttribute || '') + ']';
        let look = this.byChain.get(chain);
        if (!look) {
            const s = getComputedStyle(element);
            const weight = parseInt(s.fontWeight, 10);
            look = {
                id: this.byChain.size + 1,
                display: s.display,
                visible: s.visibility === 'visible',
                collapse: s.whiteSpace === 'normal' || s.whiteSpace === 'nowrap',
                align: alignOf(s),
                // Word processors write a paragraph's alignment in its align
                // attribute, and LibreOffice then sets every p to the left in
                // its style sheet, which browsers let win. The attribute is
                // what the document says, and what the index reads.
                // A table's own align places the table, not its text.
                alignAttribute: (element.localName !== 'table' && Alignments[(alignAttribute || '').toLowerCase()])
                    || parent.alignAttribute || '',
                fontSize: pixels(s.fontSize),
                bold: weight >= 600 || s.fontWeight === 'bold',
                indent: pixels(s.textIndent) + pixels(s.marginLeft) + pixels(s.paddingLeft),
                pageBreak: s.breakBefore === 'page' || s.pageBreakBefore === 'always',
            };
            this.byChain.set(chain, look);
        }
        return look;
    }
    root(element) {
        return this.of(element, {id: 0, alignAttribute: ''});
    }
}

const Collapsible = /[ \t\n\r\f]+/g;
const Newline = /\n/g;

// A block of text being collected: its characters, and for every piece of them
// the text node it came from, so that an offset into the text finds its node.
class Run {
    constructor(look, context) {
        this.look = look;
        this.context = context;
        this.text = '';
        this.pieces = []; // [textStart, node, nodeOffset, length, exact]
        this.space = false; // a collapsible space is waiting to be written
        this.weights = new Map(); // look -> visible characters in it
    }
    addText(node, look) {
        if (this.text.length >= MaxBlockText)
            return;
        const data = node.data;
        const before = this.text.length;
        const pattern = look.collapse ? Collapsible : Newline;
        pattern.lastIndex = 0;
        let from = 0;
        for (let m = pattern.exec(data); ; m = pattern.exec(data)) {
            const to = m ? m.index : data.length;
            if (to > from) {
                if (this.space && this.text.length && !this.text.endsWith('\n'))
                    this.append(' ', node, from, false);
                this.space = false;
                this.append(data.substring(from, to), node, from, true);
            }
            if (!m)
                break;
            if (look.collapse)
                this.space = true;
            else
                this.lineBreak();
            from = m.index + m[0].length;
        }
        const added = this.text.length - before;
        if (added)
            this.weights.set(look, (this.weights.get(look) || 0) + added);
    }
    append(text, node, offset, exact) {
        this.pieces.push([this.text.length, node, offset, text.length, exact]);
        this.text += text;
    }
    lineBreak() {
        this.space = false;
        this.text += '\n';
    }
    // The look most of its characters are in: Word puts the size and the
    // weight on spans inside the paragraph, not on the paragraph.
    dominantLook() {
        let best = this.look;
        let most = -1;
        for (const [look, count] of this.weights)
            if (count > most) {
                best = look;
                most = count;
            }
        return best;
    }
}

// The rendered blocks of the page in reading order.
function collectBlocks() {
    const looks = new Looks();
    const blocks = [];
    let pendingAnchor = '';
    let pendingBreak = false;
    let run = null;

    const flush = () => {
        if (!run)
            return;
        const text = run.text.replace(/\n+$/, '');
        if (text.trim().length && blocks.length < MaxBlocks) {
            const font = run.dominantLook();
            blocks.push({
                text: text,
                align: run.look.alignAttribute || run.look.align,
                fontSize: font.fontSize,
                bold: font.bold,
                indent: run.look.indent,
                pageBreakBefore: pendingBreak,
                anchor: pendingAnchor,
                chrome: run.context.chrome,
                label: run.context.label,
                pieces: run.pieces,
                first: run.pieces[0][1],
                last: run.pieces[run.pieces.length - 1][1],
            });
            pendingAnchor = '';
            pendingBreak = false;
        }
        run = null;
    };

    const table = (element, context, look) => {
        flush();
        const rows = [];
        let cells = 0;
        for (const row of element.rows) {
            if (looks.of(row, look).display === 'none')
                continue;
            const texts = [];
            for (const cell of row.cells) {
                if (++cells > MaxCells)
                    break;
                texts.push(cell.innerText.slice(0, MaxBlockText));
            }
            if (texts.length)
                rows.push(texts);
        }
        if (rows.length && blocks.length < MaxBlocks) {
            blocks.push({text: '', rows: rows, align: 'start', fontSize: 0, bold: false, indent: 0,
                         pageBreakBefore: pendingBreak || look.pageBreak, anchor: pendingAnchor,
                         chrome: context.chrome, label: context.label, pieces: [], first: element, last: element});
            pendingAnchor = '';
            pendingBreak = false;
        }
    };

    // look is the element's, block that of the block its text belongs to.
    const walk = (element, context, look, block) => {
        for (let node = element.firstChild; node && blocks.length < MaxBlocks; node = node.nextSibling) {
            if (node.nodeType === Node.TEXT_NODE) {
                if (!look.visible)
                    continue;
                if (!run)
                    run = new Run(block, context);
                run.addText(node, look);
                continue;
            }
            if (node.nodeType !== Node.ELEMENT_NODE || NeverShown.has(node.localName))
                continue;
            const inner = looks.of(node, look);
            if (inner.display === 'none' || node.hidden)
                continue;
            const anchor = node.id || node.getAttribute('name') || '';
            if (anchor && !pendingAnchor)
                pendingAnchor = anchor;
            if (node.localName === 'br') {
                if (inner.pageBreak) {
                    flush();
                    pendingBreak = true;
                } else if (run) {
                    run.lineBreak();
                }
                continue;
            }
            let innerContext = context;
            if (!context.chrome && isChromeElement(node))
                innerContext = {chrome: true, label: context.label};
            else if (!context.label && isLabelElement(node))
                innerContext = {chrome: context.chrome, label: true};
            if (node.localName === 'table' && !isLayoutTable(node)) {
                table(node, innerContext, inner);
                continue;
            }
            if (Inline.test(inner.display) && innerContext === context) {
                walk(node, context, inner, block);
                continue;
            }
            // A block of its own: what came before it in its parent ends there.
            flush();
            if (inner.pageBreak)
                pendingBreak = true;
            walk(node, innerContext, inner, inner);
            flush();
        }
    };

    if (document.body) {
        const body = looks.root(document.body);
        walk(document.body, {chrome: false, label: false}, body, body);
    }
    flush();
    return blocks;
}

function rectOf(block) {
    if (block.first === block.last && block.first.nodeType === Node.ELEMENT_NODE)
        return block.first.getBoundingClientRect();
    const range = document.createRange();
    range.setStartBefore(block.first);
    range.setEndAfter(block.last);
    return range.getBoundingClientRect();
}

// The first block whose rectangle passes test, where test is false for every
// block before it and true from it on (reading order is top to bottom).
function firstBlockWhere(blocks, test) {
    let low = 0;
    let high = blocks.length;
    while (low < high) {
        const middle = (low + high) >> 1;
        if (test(rectOf(blocks[middle])))
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

// The block under a point (CSS pixels of the view), or the first one not yet
// scrolled past when there is no point.
function blockAt(blocks, x, y) {
    if (!blocks.length)
        return -1;
    if (x === null)
        return Math.min(firstBlockWhere(blocks, (r) => r.bottom > 40), blocks.length - 1);
    const caret = document.caretRangeFromPoint ? document.caretRangeFromPoint(x, y) : null;
    const node = caret ? caret.startContainer : null;
    const under = node ? blocks.findIndex((b) => b.pieces.some((p) => p[1] === node)) : -1;
    if (under >= 0)
        return under;
    const hit = document.elementFromPoint(x, y);
    const cell = hit && hit.closest ? hit.closest('table') : null;
    if (cell) {
        const index = blocks.findIndex((b) => b.first === cell);
        if (index >= 0)
            return index;
    }
    // In a margin or between two blocks: the last one starting above.
    return Math.max(firstBlockWhere(blocks, (r) => r.top > y) - 1, 0);
}

// Anything the page changes in its document, from its text to an attribute,
// may change what a reader sees; so may a style sheet arriving or being
// edited, and a new viewport (media queries). Records pending when one of our
// calls starts are the page's; those our own edits leave are taken at its end.
function watch() {
    if (J.observer)
        return;
    J.observer = new MutationObserver(() => {
        J.listing = null;
    });
    J.observer.observe(document, {childList: true, subtree: true, characterData: true, attributes: true});
}

function settle() {
    watch();
    if (J.observer.takeRecords().length)
        J.listing = null;
}

function ownEditsDone() {
    J.observer.takeRecords();
}

function surroundings() {
    let sheets = window.innerWidth + 'x' + window.innerHeight + '@' + window.devicePixelRatio
        + '|' + (document.adoptedStyleSheets ? document.adoptedStyleSheets.length : 0);
    for (const sheet of document.styleSheets) {
        let rules = '?';
        try {
            rules = sheet.cssRules.length;
        } catch (e) {
            // Another origin's sheet keeps its rules to itself; its arrival still counts.
        }
        sheets += ',' + rules + (sheet.disabled ? '-' : '');
    }
    return sheets;
}

// The listing of the page as it is now, kept from an earlier call where nothing changed since.
function currentListing() {
    settle();
    const around = surroundings();
    if (!J.listing || J.listing.around !== around)
        J.listing = {version: J.token + '.' + ++J.serial, blocks: collectBlocks(), around: around};
    return J.listing;
}

// A block as it travels: [text or rows, flags, fontSize, indent, anchor],
// trailing defaults left out. flags: alignment (0 start, 1 center, 2 end,
// 3 justify), then 4 bold, 8 page break before, 16 chrome, 32 label.
const AlignCodes = {start: 0, center: 1, end: 2, justify: 3};

function encode(b) {
    const out = [b.rows || b.text,
                 (AlignCodes[b.align] || 0) | (b.bold ? 4 : 0) | (b.pageBreakBefore ? 8 : 0)
                     | (b.chrome ? 16 : 0) | (b.label ? 32 : 0),
                 b.fontSize, b.indent, b.anchor];
    let n = out.length;
    while (n > 2 && !out[n - 1])
        --n;
    out.length = n;
    return out;
}

// held is the version the caller already has the blocks of, '' for none.
function listBlocks(request, x, y, held) {
    // Values of a fill are on show: the listing kept is the template's, whose
    // nodes are put aside for now, so the page as shown is read afresh and not kept.
    if (J.saved) {
        settle();
        const shown = collectBlocks();
        return JSON.stringify({request: request, at: blockAt(shown, x, y), version: '', blocks: shown.map(encode)});
    }
    const listing = currentListing();
    const answer = {request: request, at: blockAt(listing.blocks, x, y), version: listing.version};
    if (held !== listing.version)
        answer.blocks = listing.blocks.map(encode);
    return JSON.stringify(answer);
}

function restore() {
    settle();
    // Ours by reference, never by a name the page could give one of its own elements.
    if (J.style) {
        J.style.remove();
        J.style = null;
    }
    if (!J.saved) {
        ownEditsDone();
        return 0;
    }
    for (const s of J.saved)
        s.element.replaceChildren(...s.nodes);
    // The page's own nodes were out of the document while the values were on
    // show, where no observer sees them; changed there, the listing is stale.
    if (J.saved.some((s) => s.element.textContent !== s.text))
        J.listing = null;
    const count = J.saved.length;
    J.saved = null;
    ownEditsDone();
    return count;
}

// Where an offset into a block's text lies in the page: a text node and an
// offset into it. A collapsed space stands for the run of white space it came from.
function positionOf(block, offset, atEnd) {
    for (const [start, node, nodeOffset, length, exact] of block.pieces) {
        if (offset < start || offset > start + length || (!atEnd && offset === start + length))
            continue;
        return exact ? [node, nodeOffset + offset - start] : [node, nodeOffset];
    }
    return null;
}

// Each node of a subtree with its copy.
function pairUp(node, copy, copies) {
    copies.set(node, copy);
    for (let a = node.firstChild, b = copy.firstChild; a && b; a = a.nextSibling, b = b.nextSibling)
        pairUp(a, b, copies);
}

// The values typed in the panel in place of their blanks, visibly marked, after
// undoing any earlier fill. A fill whose blank is no longer where the panel
// saw it (the page changed its text since) is left out rather than put astray.
function show(fills) {
    restore();
    const blocks = currentListing().blocks;
    const targets = [];
    for (const f of fills) {
        const block = blocks[f.block];
        if (!block || block.rows || block.text.substr(f.start, f.length) !== f.blank)
            continue;
        const from = positionOf(block, f.start, false);
        const to = positionOf(block, f.start + f.length, true);
        if (from && to)
            targets.push({fill: f, from: from, to: to});
    }
    // Every element whose text changes shows copies of its children instead,
    // and keeps its own to be given back.
    const touched = new Set();
    for (const t of targets) {
        touched.add(t.from[0].parentNode);
        touched.add(t.to[0].parentNode);
        const range = document.createRange();
        range.setStart(t.from[0], t.from[1]);
        range.setEnd(t.to[0], t.to[1]);
        const common = range.commonAncestorContainer;
        touched.add(common.nodeType === Node.ELEMENT_NODE ? common : common.parentNode);
    }
    const roots = Array.from(touched).filter((e) => e && !Array.from(touched).some((o) => o !== e && o && o.contains(e)));
    const copies = new Map();
    J.saved = roots.map((e) => {
        const nodes = Array.from(e.childNodes);
        const text = e.textContent;
        const shown = nodes.map((n) => n.cloneNode(true));
        nodes.forEach((n, i) => pairUp(n, shown[i], copies));
        e.replaceChildren(...shown);
        return {element: e, nodes: nodes, text: text};
    });
    const ranges = targets.map((t) => {
        const range = document.createRange();
        range.setStart(copies.get(t.from[0]), t.from[1]);
        range.setEnd(copies.get(t.to[0]), t.to[1]);
        return range;
    });

    // Marked on screen, plain on paper: a printed fill is the user's document.
    const style = J.style = document.createElement('style');
    style.textContent = '.jz-filled{background:#fff1a8;color:#8a1c1c;border-bottom:2px solid #d4a017;border-radius:2px}'
        + '@media print{.jz-filled{background:none;color:inherit;border:0}}';
    (document.head || document.documentElement).appendChild(style);
    // From the end backwards, so that the ranges before each change stay put.
    let shown = 0;
    for (let i = ranges.length - 1; i >= 0; --i) {
        const range = ranges[i];
        range.deleteContents();
        const mark = document.createElement('span');
        mark.className = 'jz-filled';
        mark.title = targets[i].fill.blank;
        mark.textContent = targets[i].fill.value;
        range.insertNode(mark);
        ++shown;
    }
    ownEditsDone();
    return shown;
}
