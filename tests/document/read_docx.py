# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads a .docx with python-docx and prints what it found as JSON: the page and its
grid, the footers, the default and fallback fonts, each paragraph's text and the
properties that carry its layout, and the tables with their borders."""
import json
import re
import sys

import docx
from docx.oxml.ns import qn


def name_of(value):
    return str(value).split(" ")[0] if value is not None else None


def pt(length):
    return round(length.pt, 2) if length is not None else 0


def first_run(p):
    runs = p.runs
    return runs[0] if runs else None


def rpr_value(run, tag, attribute):
    rpr = run._element.rPr if run is not None else None
    element = rpr.find(qn(tag)) if rpr is not None else None
    return element.get(qn(attribute)) if element is not None else None


def paragraph(p):
    run = first_run(p)
    spacing = rpr_value(run, "w:spacing", "w:val")
    return {
        "text": p.text,
        "alignment": name_of(p.alignment),
        "first_line_pt": pt(p.paragraph_format.first_line_indent),
        "right_pt": pt(p.paragraph_format.right_indent),
        "line_pt": pt(p.paragraph_format.line_spacing) if hasattr(p.paragraph_format.line_spacing, "pt") else None,
        "line_rule": name_of(p.paragraph_format.line_spacing_rule),
        "font": run.font.name if run else None,
        "east_asia": rpr_value(run, "w:rFonts", "w:eastAsia"),
        "size_pt": run.font.size.pt if run and run.font.size else None,
        "bold": bool(run.font.bold) if run else None,
        "char_spacing": int(spacing) if spacing is not None else None,
    }


def footer(part):
    p = part.paragraphs[0]
    return dict(paragraph(p), field=" ".join(t.text for t in p._element.iter(qn("w:instrText"))).strip())


def main(path):
    document = docx.Document(path)
    section = document.sections[0]
    body = document.element.body
    grid = section._sectPr.find(qn("w:docGrid"))
    defaults = document.styles.element.find(qn("w:docDefaults"))
    font_table = next(p for p in document.part.package.iter_parts() if p.partname == "/word/fontTable.xml")
    out = {
        "page": [round(section.page_width.mm, 1), round(section.page_height.mm, 1)],
        "margins": [round(m.mm, 1) for m in (section.top_margin, section.bottom_margin,
                                             section.left_margin, section.right_margin)],
        "grid": [grid.get(qn("w:type")), grid.get(qn("w:linePitch"))] if grid is not None else None,
        "default_east_asia": defaults.find(".//" + qn("w:rFonts")).get(qn("w:eastAsia")),
        "alt_names": [v.decode() for v in re.findall(rb'<w:altName w:val="([^"]+)"', font_table.blob)],
        "odd_and_even_footers": document.settings.odd_and_even_pages_header_footer,
        "footers": {"odd": footer(section.footer), "even": footer(section.even_page_footer)},
        "paragraphs": [paragraph(p) for p in document.paragraphs],
        "tables": [[[cell.text for cell in row.cells] for row in table.rows] for table in document.tables],
        "table_borders": [[b.tag.split("}")[1] for b in t._tbl.iter() if b.get(qn("w:val")) == "single"]
                          for t in document.tables],
        "ends_in_paragraph": [c.tag for c in body if c.tag != qn("w:sectPr")][-1] == qn("w:p"),
        "core_title": document.core_properties.title,
    }
    json.dump(out, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main(sys.argv[1])
