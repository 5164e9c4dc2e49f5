#!/usr/bin/python3
"""Prints what a spreadsheet reader sees in an .xlsx file, one fact per line.

Values, merges, widths, sheet names and print titles come from openpyxl; each cell's number
format, alignment and borders come from the file's own style and sheet XML, because openpyxl
reports merged cells other than the first without a style of their own.
"""
import re
import sys
import zipfile
import xml.etree.ElementTree as ET

import openpyxl

NS = {"m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main"}


BUILTIN_FORMATS = {0: "General", 1: "0", 2: "0.00", 3: "#,##0", 4: "#,##0.00"}


def raw_styles(path):
    """(sheet index, cell reference) -> (number format, horizontal, vertical, borders)."""
    with zipfile.ZipFile(path) as z:
        styles = ET.fromstring(z.read("xl/styles.xml"))
        formats = dict(BUILTIN_FORMATS)
        num_fmts = styles.find("m:numFmts", NS)
        for f in num_fmts if num_fmts is not None else []:
            formats[int(f.get("numFmtId"))] = f.get("formatCode")
        borders = []
        for b in styles.find("m:borders", NS):
            edges = []
            for edge in ("left", "top", "right", "bottom"):
                e = b.find("m:" + edge, NS)
                edges.append(e.get("style") if e is not None and e.get("style") else "-")
            borders.append(",".join(edges))
        xfs = []
        for xf in styles.find("m:cellXfs", NS):
            align = xf.find("m:alignment", NS)
            xfs.append((formats.get(int(xf.get("numFmtId", "0")), "?"),
                        align.get("horizontal") if align is not None else None,
                        align.get("vertical") if align is not None else None,
                        borders[int(xf.get("borderId", "0"))]))
        result = {}
        sheet_files = sorted((n for n in z.namelist() if re.match(r"xl/worksheets/sheet\d+\.xml$", n)),
                             key=lambda n: int(re.findall(r"\d+", n)[0]))
        for index, name in enumerate(sheet_files):
            sheet = ET.fromstring(z.read(name))
            for c in sheet.iter("{%s}c" % NS["m"]):
                result[(index, c.get("r"))] = xfs[int(c.get("s", "0"))]
        book = ET.fromstring(z.read("xl/workbook.xml"))
        defined = [(d.get("name"), d.text) for d in book.iter("{%s}definedName" % NS["m"])]
        return result, defined


def main(path):
    wb = openpyxl.load_workbook(path)
    styles, defined = raw_styles(path)
    print("sheets " + "|".join(wb.sheetnames))
    for name, text in sorted(defined):
        print("defined %s %s" % (name, text))
    for index, ws in enumerate(wb.worksheets):
        print("sheet %d %s" % (index + 1, ws.title))
        print("title_rows %s" % ws.print_title_rows)
        for letter, dim in sorted(ws.column_dimensions.items()):
            if dim.width:
                print("width %s %s" % (letter, dim.width))
        for merged in sorted(str(r) for r in ws.merged_cells.ranges):
            print("merge " + merged)
        for row in ws.iter_rows():
            for cell in row:
                ref = cell.coordinate
                if (index, ref) not in styles and cell.value is None:
                    continue
                value = cell.value
                if value is None:
                    shown = "empty"
                elif isinstance(value, (int, float)):
                    shown = "n:%d" % value if float(value).is_integer() else "n:%s" % value
                else:
                    shown = "s:%s" % value
                fmt, horizontal, vertical, border = styles.get((index, ref), ("General", None, None, "-,-,-,-"))
                print("cell %s %s fmt=%s h=%s v=%s border=%s" % (ref, shown, fmt, horizontal, vertical, border))


if __name__ == "__main__":
    main(sys.argv[1])
