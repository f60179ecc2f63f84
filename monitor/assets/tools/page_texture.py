#!/usr/bin/env python3
"""Writes svg/page.svg: the dark brushed texture of the page panels.
Fixed seed, so the drawing only changes when this script does."""
import random
import pathlib

W, H = 458, 253
rnd = random.Random(1998)
out = [
    '<?xml version="1.0" encoding="UTF-8"?>',
    '<!-- Page panel texture, 458 x 253. Written by tools/page_texture.py. -->',
    f'<svg xmlns="http://www.w3.org/2000/svg" width="{W}" height="{H}" viewBox="0 0 {W} {H}" version="1.2" baseProfile="tiny">',
    '  <defs><linearGradient id="g" x1="0" y1="0" x2="0" y2="1">'
    '<stop offset="0" stop-color="#3a3a3a"/><stop offset="1" stop-color="#2e2e2e"/></linearGradient></defs>',
    f'  <rect width="{W}" height="{H}" fill="url(#g)"/>',
]
# brushed grain: one faint line per row, lighter or darker
for y in range(H):
    shade = rnd.choice(("#ffffff", "#000000"))
    out.append(f'  <rect y="{y}" width="{W}" height="1" fill="{shade}" fill-opacity="{rnd.uniform(0.01, 0.05):.3f}"/>')
# short scratches along the grain
for _ in range(260):
    x, y = rnd.randrange(W), rnd.randrange(H)
    w = rnd.randrange(4, 40)
    shade = rnd.choice(("#ffffff", "#000000", "#000000"))
    out.append(f'  <rect x="{x}" y="{y}" width="{w}" height="1" fill="{shade}" fill-opacity="{rnd.uniform(0.04, 0.10):.3f}"/>')
# specks
for _ in range(500):
    x, y = rnd.randrange(W), rnd.randrange(H)
    shade = rnd.choice(("#ffffff", "#000000"))
    out.append(f'  <rect x="{x}" y="{y}" width="1" height="1" fill="{shade}" fill-opacity="{rnd.uniform(0.06, 0.16):.3f}"/>')
out.append('</svg>')
pathlib.Path(__file__).resolve().parent.parent.joinpath("svg", "page.svg").write_text("\n".join(out) + "\n")
