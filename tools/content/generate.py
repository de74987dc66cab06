#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the sample content folder content/ws from the documents in this directory.

    python3 tools/content/generate.py            # rewrite content/ws
    python3 tools/content/generate.py --check    # exit 1 if content/ws is stale

The program reads undeclared pages and the index in the Chinese Windows code
page, so every file is written as GBK with CR LF line ends and no page names a
character set. The catalogue (keys, labels, parents) is read from
src/core/catalogue.tsv, the table the program compiles in, so a page can never
drift from its node.
"""

import argparse
import html
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parents[1]
sys.dont_write_bytecode = True  # keep the source tree free of __pycache__
sys.path.insert(0, str(HERE))

import court_docs  # noqa: E402
import party_docs  # noqa: E402
import state_docs  # noqa: E402
import static_pages  # noqa: E402
from model import PAGES, SIGNATURES, WITH_CLERK, Doc  # noqa: E402

ENCODING = "gbk"
LEAF_PREFIX = "juanzongfanben-"
CN_DIGITS = "〇一二三四五六七八九"
COURT_DATE = "二〇××年××月××日"
PARTY_DATE = "××××年××月××日"


# ---------------------------------------------------------------- catalogue

def read_catalogue(source: Path):
    """(parent, key, label) rows in tree order, as the program adds them."""
    rows = []
    for line in source.read_text(encoding="utf-8").splitlines():
        if not line or line.startswith("#"):
            continue
        parent, key, label, _action = line.split("\t")
        rows.append(("" if parent == "-" else parent, key, label))
    if len(rows) != 102:
        raise SystemExit(f"{source}: expected 102 catalogue rows, found {len(rows)}")
    return rows


def trail(rows, key):
    """Labels of the ancestors of key, outermost first."""
    parent_of = {k: p for p, k, _ in rows}
    label_of = {k: label for _, k, label in rows}
    labels = []
    node = parent_of[key]
    while node:
        labels.append(label_of[node])
        node = parent_of[node]
    return list(reversed(labels))


# ---------------------------------------------------------------- rendering

def esc(text: str) -> str:
    return html.escape(text, quote=False)


def cn_number(n: int) -> str:
    if n < 10:
        return CN_DIGITS[n]
    tens, ones = divmod(n, 10)
    return ("" if tens == 1 else CN_DIGITS[tens]) + "十" + (CN_DIGITS[ones] if ones else "")


def paragraphs(lines, cls=""):
    out = []
    attr = f' class="{cls}"' if cls else ""
    for line in lines:
        if line.startswith("## "):
            out.append(f'<h3 class="sub">{esc(line[3:])}</h3>')
        else:
            out.append(f"<p{attr}>{esc(line)}</p>")
    return out


def numbered(orders):
    if len(orders) == 1:
        return list(orders)
    return [f"{cn_number(i)}、{text}" for i, text in enumerate(orders, 1)]


def signature(doc: Doc):
    out = ['<div class="sign">']
    if doc.kind == "party":
        out.append(f'<p class="sig">{esc(doc.signer)}（签名或者盖章）</p>')
        out.append(f'<p class="date">{PARTY_DATE}</p>')
    else:
        out += [f'<p class="sig">{esc(name)}</p>' for name in SIGNATURES[doc.sign]]
        out.append(f'<p class="date">{COURT_DATE}</p>')
        out.append('<p class="seal">（院印）</p>')
        if doc.sign in WITH_CLERK:
            out.append('<p class="verify">本件与原本核对无异</p>')
            out.append('<p class="sig">书记员　×××</p>')
    out.append("</div>")
    return out


def render_doc(doc: Doc, anchor: str, number: int):
    out = [f'<div class="ws" id="{anchor}"><a name="{anchor}"></a>',
           f'<div class="ws-label">范本{cn_number(number)}　{esc(doc.title)}</div>']
    if doc.kind in ("court", "notice"):
        out.append('<p class="court">××××人民法院</p>')
    out.append(f'<p class="doctype">{esc(doc.doctype)}</p>')
    if doc.caseno:
        out.append(f'<p class="caseno">{esc(doc.caseno)}</p>')
    if doc.to:
        out.append(f'<p class="to">{esc(doc.to)}</p>')
    if doc.parties:
        out += ['<div class="parties">'] + paragraphs(doc.parties) + ["</div>"]
    out += ['<div class="text">'] + paragraphs(doc.body) + ["</div>"]
    if doc.orders:
        out += ['<div class="orders">'] + paragraphs(numbered(doc.orders)) + ["</div>"]
    if doc.after:
        out += ['<div class="after">'] + paragraphs(doc.after) + ["</div>"]
    if doc.kind == "party":
        out += ['<p class="greet">此致</p>', f'<p class="court-to">{esc(doc.court_to)}</p>']
    if doc.attach:
        out += paragraphs(doc.attach, "attach")
    if doc.sign != "none":
        out += signature(doc)
    if doc.note:
        out += ['<div class="note"><p class="note-h">说　明</p><ol>']
        out += [f"<li>{esc(n)}</li>" for n in doc.note]
        out += ["</ol></div>"]
    out += ['<p class="totop"><a href="#top">返回本页目录</a></p>', "</div>"]
    return out


def head(title: str):
    # No charset on purpose: the viewer decodes undeclared pages as GBK.
    return ["<html>", "<head>",
            '<meta http-equiv="Content-Type" content="text/html">',
            f"<title>{esc(title)} - 卷宗范本</title>",
            '<link rel="stylesheet" type="text/css" href="css.css">',
            "</head>"]


def render_leaf(rows, key, label, intro, docs):
    out = head(label) + ['<body class="fb"><a name="top" id="top"></a>', '<div class="sheet">',
                         f'<div class="crumb">{" &gt; ".join(esc(t) for t in trail(rows, key))}</div>',
                         f'<h1 class="proc">{esc(label)}</h1>',
                         f'<p class="intro">{esc(intro)}</p>',
                         '<ol class="toc">']
    out += [f'<li><a href="#ws{i}">{esc(d.title)}</a></li>' for i, d in enumerate(docs, 1)]
    out.append("</ol>")
    for i, doc in enumerate(docs, 1):
        out += render_doc(doc, f"ws{i}", i)
    out += ["</div>", "</body>", "</html>"]
    return out


def render_prose(title, body, cls):
    return head(title) + [f'<body class="{cls}">', '<div class="sheet prose">', body.strip(), "</div>", "</body>", "</html>"]


# ---------------------------------------------------------------- output

def build(rows):
    """File name -> text, for every file of the content folder."""
    pages = PAGES

    leaves = [(k, label) for _, k, label in rows if k.startswith(LEAF_PREFIX)]
    missing = [k for k, _ in leaves if k not in pages]
    unknown = sorted(pages.keys() - {k for k, _ in leaves})
    if missing or unknown:
        raise SystemExit(f"catalogue mismatch: no page for {missing}, no node for {unknown}")

    files = {}
    index = []
    for key, label in leaves:
        intro, docs = pages[key]
        if not docs:
            raise SystemExit(f"{key} has no documents")
        files[f"{key}.html"] = "\n".join(render_leaf(rows, key, label, intro, docs))
        index += [f'{key}.html#ws{i}">{d.title}' for i, d in enumerate(docs, 1)]

    guide = f'<h1 class="guide-title">{static_pages.GUIDE_TITLE}</h1>\n' + static_pages.GUIDE
    files["wszzgf.html"] = "\n".join(render_prose(static_pages.GUIDE_TITLE, guide, "guide"))
    files["index.html"] = "\n".join(render_prose("关于", static_pages.ABOUT, "about"))
    files["alllist.txt"] = "\n".join(index) + "\n"
    files["searchmoban.txt"] = static_pages.SEARCH_TEMPLATE + "\n"
    files["css.css"] = (HERE / "css.css").read_text(encoding="utf-8")
    return files


def encode(text: str) -> bytes:
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode(ENCODING)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", type=Path, default=ROOT / "content" / "ws")
    parser.add_argument("--check", action="store_true", help="compare instead of writing")
    args = parser.parse_args()

    files = {name: encode(text) for name, text in build(read_catalogue(ROOT / "src/core/catalogue.tsv")).items()}
    if args.check:
        stale = [n for n, data in files.items()
                 if not (args.out / n).is_file() or (args.out / n).read_bytes() != data]
        if stale:
            print("stale:", " ".join(sorted(stale)))
            return 1
        return 0
    args.out.mkdir(parents=True, exist_ok=True)
    for name, data in files.items():
        (args.out / name).write_bytes(data)
    print(f"wrote {len(files)} files to {args.out}, {len(files['alllist.txt'].splitlines())} index lines")
    return 0


if __name__ == "__main__":
    sys.exit(main())
