# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes template pages the way other programs write them: .docx files made
with python-docx, whose layout lives in real paragraph properties (alignment,
bold, sizes, indents), converted by LibreOffice headless with both its HTML and
its XHTML export. The pages land in OUT/libreoffice-html and OUT/libreoffice-xhtml.

    make_pages.py OUT
"""
import os
import shutil
import subprocess
import sys
import tempfile

import docx
from docx.enum.table import WD_TABLE_ALIGNMENT
from docx.enum.text import WD_ALIGN_PARAGRAPH
from docx.oxml.ns import qn
from docx.shared import Pt

BODY = Pt(16)   # 三号, the official body size
COURT = Pt(18)
DOCTYPE = Pt(22)


def paragraph(doc, text, align=None, bold=False, size=BODY, indent=False):
    p = doc.add_paragraph()
    if align is not None:
        p.alignment = align
    if indent:
        p.paragraph_format.first_line_indent = Pt(32)
    run = p.add_run(text)
    run.bold = bold
    run.font.size = size
    run.font.name = "FangSong"
    run._element.rPr.rFonts.set(qn("w:eastAsia"), "仿宋")
    return p


def titles(doc, court, doctype, use=None):
    paragraph(doc, court, WD_ALIGN_PARAGRAPH.CENTER, bold=True, size=COURT)
    paragraph(doc, doctype, WD_ALIGN_PARAGRAPH.CENTER, bold=True, size=DOCTYPE)
    if use:
        paragraph(doc, use, WD_ALIGN_PARAGRAPH.CENTER)


def right(doc, *lines):
    for line in lines:
        paragraph(doc, line, WD_ALIGN_PARAGRAPH.RIGHT)


def body(doc, *lines):
    for line in lines:
        paragraph(doc, line, WD_ALIGN_PARAGRAPH.JUSTIFY, indent=True)


def table(doc, rows):
    t = doc.add_table(rows=len(rows), cols=len(rows[0]))
    t.style = "Table Grid"
    t.alignment = WD_TABLE_ALIGNMENT.CENTER
    for r, cells in enumerate(rows):
        for c, text in enumerate(cells):
            t.cell(r, c).text = text


def labelled():
    """Two documents under the official set's labels, each with its notes."""
    doc = docx.Document()
    paragraph(doc, "民事诉讼文书样式", WD_ALIGN_PARAGRAPH.CENTER, bold=True, size=DOCTYPE)
    paragraph(doc, "样式一", size=Pt(12))
    titles(doc, "××××人民法院", "民事判决书")
    right(doc, "（××××）……民初……号")
    body(doc,
         "原告：×××，男/女，××××年××月××日出生，×族，……（写明工作单位和职务或者职业），住……。",
         "被告：×××，……。",
         "原告×××与被告×××……（写明案由）一案，本院于××××年××月××日立案后，依法适用普通程序，公开开庭进行了审理。")
    paragraph(doc, "当事人情况", bold=True, indent=True)
    table(doc, [["当事人类型", "□自然人　□法人　□非法人组织"], ["是否同意调解", "□是　□否"]])
    body(doc, "案件受理费……元，鉴定费　　元，由　　负担。")
    right(doc, "审判长　×××", "审判员　×××", "二〇××年××月××日", "书记员　×××")
    paragraph(doc, "说明：", bold=True)
    body(doc, "1．本样式根据《中华人民共和国民事诉讼法》第一百五十五条制定。")
    paragraph(doc, "样式二", size=Pt(12))
    titles(doc, "××××人民法院", "民事裁定书", "（准许撤诉用）")
    right(doc, "（××××）……民初……号")
    body(doc, "原告×××于××××年××月××日向本院提起诉讼，后又以……为由申请撤诉。", "准许原告×××撤诉。")
    right(doc, "审判员　×××", "二〇××年××月××日", "书记员　×××")
    paragraph(doc, "【说明】")
    body(doc, "本样式供人民法院准许原告撤诉时用。")
    return doc


def unlabelled():
    """Two documents without labels: each starts at its court line."""
    doc = docx.Document()
    titles(doc, "××××人民法院", "民事裁定书", "（驳回起诉用）")
    right(doc, "（××××）……民初……号")
    body(doc, "原告×××与被告×××……（写明案由）一案，本院于××××年××月××日立案。", "驳回原告×××的起诉。")
    right(doc, "审判员　×××", "二〇××年××月××日")
    titles(doc, "××××人民法院", "民事调解书")
    right(doc, "（××××）……民初……号")
    body(doc, "本案审理过程中，经本院主持调解，当事人自愿达成如下协议：", "案件受理费……元，由……负担。")
    right(doc, "审判长　×××", "二〇××年××月××日")
    return doc


def convert(sources, target, out, profile):
    subprocess.run(["soffice", "-env:UserInstallation=file://" + profile, "--headless", "--norestore",
                    "--convert-to", target, "--outdir", out] + sources,
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)


def main():
    out = os.path.abspath(sys.argv[1])
    docs = os.path.join(out, "docx")
    for folder in (docs, os.path.join(out, "libreoffice-html"), os.path.join(out, "libreoffice-xhtml")):
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
    sources = []
    for name, make in (("labelled", labelled), ("unlabelled", unlabelled)):
        path = os.path.join(docs, name + ".docx")
        make().save(path)
        sources.append(path)
    # A profile of its own, so that no other LibreOffice running holds it.
    with tempfile.TemporaryDirectory() as profile:
        convert(sources, "html", os.path.join(out, "libreoffice-html"), profile)
        convert(sources, "xhtml:XHTML Writer File:UTF8", os.path.join(out, "libreoffice-xhtml"), profile)
    for folder in ("libreoffice-html", "libreoffice-xhtml"):
        made = sorted(os.listdir(os.path.join(out, folder)))
        if len(made) != len(sources):
            sys.exit("LibreOffice wrote %s into %s" % (made, folder))


if __name__ == "__main__":
    main()
