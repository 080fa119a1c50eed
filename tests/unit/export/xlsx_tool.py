#!/usr/bin/python3
"""Independent reader and template mangler for the export tests (openpyxl and
the standard zipfile module, nothing of Korvex).

  xlsx_tool.py dump FILE
      JSON: {"sheets": [names], "cells": {sheet: {"row,col": text}},
             "heading": {sheet: [{"col", "bold", "fill", "border", "vertical"}]},
             "widths": {sheet: {letter: width}}, "freeze": {sheet: ref},
             "ordered": {sheet: bool}, "dimension": {sheet: ref}, "parts": [names],
             "calcchain_refs": bool, "workbook_type": [content type of xl/workbook.xml],
             "bold": {sheet: ["row,col" of cells with a value in bold]}, "row2_vertical": {sheet: [vertical alignment of row 2's cells with a value]}}
  xlsx_tool.py drop-sheet IN OUT NAME        the template without sheet NAME
  xlsx_tool.py replace IN OUT PART TEXT      part PART replaced by TEXT
  xlsx_tool.py drop-part IN OUT PART         the template without part PART
  xlsx_tool.py add-calcchain IN OUT          adds a calculation chain part
  xlsx_tool.py as-template IN OUT            the workbook as a spreadsheet template (.xltx)
"""
import json
import posixpath
import re
import sys
import zipfile
import xml.etree.ElementTree as ET

import openpyxl

MAIN = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"


def col_of(ref):
    n = 0
    for ch in re.match(r"[A-Z]+", ref).group(0):
        n = n * 26 + ord(ch) - 64
    return n


def dump(path):
    wb = openpyxl.load_workbook(path)
    out = {"sheets": wb.sheetnames, "cells": {}, "heading": {}, "widths": {}, "freeze": {},
           "ordered": {}, "dimension": {}}
    for ws in wb.worksheets:
        cells = {}
        for row in ws.iter_rows():
            for c in row:
                if c.value is not None:
                    cells["%d,%d" % (c.row, c.column)] = str(c.value)
        out["cells"][ws.title] = cells
        out.setdefault("bold", {})[ws.title] = sorted(
            "%d,%d" % (c.row, c.column) for row in ws.iter_rows() for c in row if c.value is not None and c.font.b)
        heading = []
        for c in ws[1]:
            heading.append({"col": c.column, "bold": bool(c.font.b),
                            "fill": (c.fill.fgColor.rgb if c.fill and c.fill.fill_type else None),
                            "border": c.border.left.style, "vertical": c.alignment.vertical})
        out["heading"][ws.title] = heading
        out.setdefault("row2_vertical", {})[ws.title] = [c.alignment.vertical for c in ws[2] if c.value is not None] if ws.max_row >= 2 else []
        out["widths"][ws.title] = {k: v.width for k, v in ws.column_dimensions.items()}
        out["freeze"][ws.title] = ws.freeze_panes
    with zipfile.ZipFile(path) as z:
        out["parts"] = z.namelist()
        out["workbook_type"] = [o.get("ContentType") for o in ET.fromstring(z.read("[Content_Types].xml"))
                                if o.get("PartName") == "/xl/workbook.xml"]
        out["calcchain_refs"] = any(b"calcChain" in z.read(n)
                                    for n in ("[Content_Types].xml", "xl/_rels/workbook.xml.rels"))
        rels = ET.fromstring(z.read("xl/_rels/workbook.xml.rels"))
        targets = {r.get("Id"): r.get("Target") for r in rels}
        book = ET.fromstring(z.read("xl/workbook.xml"))
        for s in book.iter(MAIN + "sheet"):
            rid = s.get("{http://schemas.openxmlformats.org/officeDocument/2006/relationships}id")
            target = targets[rid]
            target = target[1:] if target.startswith("/") else posixpath.normpath("xl/" + target)
            root = ET.fromstring(z.read(target))
            ordered = True
            last_row = 0
            for row in root.iter(MAIN + "row"):
                r = int(row.get("r"))
                ordered = ordered and r > last_row
                last_row = r
                last_col = 0
                for c in row.iter(MAIN + "c"):
                    col = col_of(c.get("r"))
                    ordered = ordered and col > last_col
                    last_col = col
            dim = root.find(MAIN + "dimension")
            out["ordered"][s.get("name")] = ordered
            out["dimension"][s.get("name")] = dim.get("ref") if dim is not None else None
    json.dump(out, sys.stdout)


def rewrite(src, dst, change):
    with zipfile.ZipFile(src) as zin, zipfile.ZipFile(dst, "w", zipfile.ZIP_DEFLATED) as zout:
        for item in zin.infolist():
            data = change(item.filename, zin.read(item.filename))
            if data is not None:
                zout.writestr(item.filename, data)
        extra = change(None, None)
        if extra:
            for name, data in extra:
                zout.writestr(name, data)


def main():
    cmd = sys.argv[1]
    if cmd == "dump":
        dump(sys.argv[2])
    elif cmd == "drop-sheet":
        wb = openpyxl.load_workbook(sys.argv[2])
        del wb[sys.argv[4]]
        wb.save(sys.argv[3])
    elif cmd == "replace":
        part, text = sys.argv[4], sys.argv[5].encode()
        rewrite(sys.argv[2], sys.argv[3], lambda n, d: (text if n == part else d) if n is not None else None)
    elif cmd == "drop-part":
        part = sys.argv[4]
        rewrite(sys.argv[2], sys.argv[3], lambda n, d: None if n == part else d)
    elif cmd == "add-calcchain":
        def change(name, data):
            if name is None:
                return [("xl/calcChain.xml",
                         b'<calcChain xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
                         b'<c r="A1" i="1"/></calcChain>')]
            if name == "xl/_rels/workbook.xml.rels":
                return data.replace(b"</Relationships>",
                                    b'<Relationship Id="rId99" Type="http://schemas.openxmlformats.org/'
                                    b'officeDocument/2006/relationships/calcChain" Target="calcChain.xml"/>'
                                    b"</Relationships>")
            if name == "[Content_Types].xml":
                return data.replace(b"</Types>",
                                    b'<Override PartName="/xl/calcChain.xml" ContentType="application/'
                                    b'vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml"/></Types>')
            return data
        rewrite(sys.argv[2], sys.argv[3], change)
    elif cmd == "as-template":
        rewrite(sys.argv[2], sys.argv[3],
                lambda n, d: d.replace(b"spreadsheetml.sheet.main+xml", b"spreadsheetml.template.main+xml")
                if n == "[Content_Types].xml" else (d if n is not None else None))
    else:
        sys.stderr.write("unknown command\n")
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main())
