# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads a .docx with python-docx and prints what it found as JSON: the page, and
each paragraph's text, alignment, first-line indent, font and East Asian font."""
import json
import sys

import docx
from docx.oxml.ns import qn


def east_asia(run):
    rpr = run._element.rPr
    if rpr is None or rpr.rFonts is None:
        return None
    return rpr.rFonts.get(qn("w:eastAsia"))


def main(path):
    document = docx.Document(path)
    section = document.sections[0]
    out = {
        "page": [round(section.page_width.mm, 1), round(section.page_height.mm, 1)],
        "margins": [round(m.mm, 1) for m in (section.top_margin, section.bottom_margin,
                                             section.left_margin, section.right_margin)],
        "paragraphs": [],
        "tables": [[[cell.text for cell in row.cells] for row in table.rows] for table in document.tables],
        "footer": [p.text for p in section.footer.paragraphs],
        "core_title": document.core_properties.title,
    }
    for p in document.paragraphs:
        runs = p.runs
        out["paragraphs"].append({
            "text": p.text,
            "alignment": str(p.alignment).split(" ")[0] if p.alignment is not None else None,
            "first_line_pt": round(p.paragraph_format.first_line_indent.pt, 1)
            if p.paragraph_format.first_line_indent is not None else 0,
            "line_pt": round(p.paragraph_format.line_spacing.pt, 2)
            if hasattr(p.paragraph_format.line_spacing, "pt") else None,
            "font": runs[0].font.name if runs else None,
            "east_asia": east_asia(runs[0]) if runs else None,
            "size_pt": runs[0].font.size.pt if runs and runs[0].font.size else None,
            "bold": bool(runs[0].font.bold) if runs else None,
        })
    json.dump(out, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main(sys.argv[1])
