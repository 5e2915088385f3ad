#!/usr/bin/env python3
"""Writes data/ColorTable.htm, the colour reference page shipped beside the
program: the 16 basic HTML colours, the 216 web-safe colours and the named
CSS colours grouped by hue, each as a swatch with its code and name.

The page is shown in Qt's rich-text browser, which understands only a subset
of HTML: tables with bgcolor, <font color>, no CSS layout. Run it again after
changing it; the result is committed."""
import colorsys
import html
import os
import re

BASIC = [  # name, code, Chinese name
    ("black", "000000", "黑色"), ("silver", "C0C0C0", "银色"), ("gray", "808080", "灰色"),
    ("white", "FFFFFF", "白色"), ("maroon", "800000", "栗色"), ("red", "FF0000", "红色"),
    ("purple", "800080", "紫色"), ("fuchsia", "FF00FF", "品红"), ("green", "008000", "绿色"),
    ("lime", "00FF00", "酸橙绿"), ("olive", "808000", "橄榄色"), ("yellow", "FFFF00", "黄色"),
    ("navy", "000080", "海军蓝"), ("blue", "0000FF", "蓝色"), ("teal", "008080", "水鸭色"),
    ("aqua", "00FFFF", "水绿色"),
]

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def read_named():
    """The named CSS colours, from the list the program itself compiles in."""
    path = os.path.join(ROOT, "colour", "CssNamedColors.inc")
    with open(path, encoding="utf-8") as f:
        return re.findall(r'^\{"([a-z]+)", 0x([0-9A-F]{6})\},$', f.read(), re.M)


NAMED = read_named()

# Hue families, in the order a designer scans a colour wheel.
FAMILIES = [
    ("红色系", 345, 15), ("橙色与棕色系", 15, 45), ("黄色系", 45, 70), ("绿色系", 70, 165),
    ("青色系", 165, 200), ("蓝色系", 200, 255), ("紫色系", 255, 290), ("粉色与品红系", 290, 345),
]


def rgb(code):
    return tuple(int(code[i:i + 2], 16) for i in (0, 2, 4))


def ink(code):
    """Black or white, whichever reads better on the colour."""
    r, g, b = rgb(code)
    return "000000" if 0.299 * r + 0.587 * g + 0.114 * b >= 140 else "FFFFFF"


def family(code):
    r, g, b = (c / 255 for c in rgb(code))
    h, l, s = colorsys.rgb_to_hls(r, g, b)
    if s < 0.12 or l > 0.94 or l < 0.06:
        return None  # whites, greys and blacks
    deg = h * 360
    for name, lo, hi in FAMILIES:
        if (lo > hi and (deg >= lo or deg < hi)) or lo <= deg < hi:
            return name
    return None


def swatch(code, label, width):
    # The thin border keeps white and near-white swatches visible.
    return (f'<td bgcolor="#{code}" width="{width}" align="center" '
            f'style="white-space: nowrap; border: 1px solid #A0A0A0;">'
            f'<font color="#{ink(code)}">{label}</font></td>')


def named_table(entries, columns=3):
    rows = []
    for i in range(0, len(entries), columns):
        cells = []
        for name, code, *extra in entries[i:i + columns]:
            title = html.escape(name) + (f"<br>{extra[0]}" if extra else "")
            cells.append(swatch(code, "&nbsp;" * 6, 44))
            cells.append(f'<td width="150">{title}<br><tt>#{code}</tt></td>')
        rows.append("<tr>" + "".join(cells) + "</tr>")
    return ('<table cellspacing="4" cellpadding="4" border="0">\n' + "\n".join(rows)
            + "\n</table>\n")


def websafe_table():
    steps = ["00", "33", "66", "99", "CC", "FF"]
    rows = []
    for r in steps:
        for g_pair in (steps[0:2], steps[2:4], steps[4:6]):
            cells = [swatch(r + g + b, f"<tt>{r}{g}{b}</tt>", 50) for g in g_pair for b in steps]
            rows.append("<tr>" + "".join(cells) + "</tr>")
    return ('<table cellspacing="1" cellpadding="3" border="0">\n'
            + "\n".join(rows) + "\n</table>\n")


def page():
    out = ['<!DOCTYPE html>\n<html><head><meta charset="utf-8"><title>标准颜色表</title></head>',
           '<body bgcolor="#FFFFFF">',
           '<h1>标准颜色表</h1>',
           '<p>网页与平面设计常用颜色参照：每个色块旁标有十六进制颜色代码和颜色名称。'
           '目录：<a href="#basic">基本颜色</a> · <a href="#websafe">网页安全色</a> · '
           '<a href="#named">CSS 命名颜色</a></p>',
           '<h2><a name="basic"></a>HTML 基本 16 色</h2>',
           named_table(BASIC, columns=3),
           '<h2><a name="websafe"></a>网页安全色（216 色）</h2>',
           '<p>红、绿、蓝三个分量都取 00、33、66、99、CC、FF 之一的颜色，'
           '在只能显示 256 色的显示器上也不会抖动。色块上的文字即其十六进制代码。</p>',
           websafe_table(),
           f'<h2><a name="named"></a>CSS 命名颜色（{len(NAMED)} 个名称）</h2>',
           '<p>CSS 中可直接用名称引用的颜色，按色系排列；同一颜色的别名'
           '（如 aqua 与 cyan、gray 与 grey）分别列出。</p>']
    groups = {name: [] for name, _, _ in FAMILIES}
    neutral = []
    for name, code in NAMED:
        fam = family(code)
        (groups[fam] if fam else neutral).append((name, code))
    for fam, _, _ in FAMILIES:
        entries = sorted(groups[fam], key=lambda e: colorsys.rgb_to_hls(
            *(c / 255 for c in rgb(e[1])))[1])
        out.append(f"<h3>{fam}</h3>")
        out.append(named_table(entries))
    neutral.sort(key=lambda e: -sum(rgb(e[1])))
    out.append("<h3>白色、灰色与黑色</h3>")
    out.append(named_table(neutral))
    out.append("</body></html>\n")
    return "\n".join(out)


if __name__ == "__main__":
    with open(os.path.join(ROOT, "data", "ColorTable.htm"), "w", encoding="utf-8") as f:
        f.write(page())
