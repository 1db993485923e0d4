#!/usr/bin/python3
# Draws the project's own tracer charts into bench/charts/, in the form the tracer benchmark
# reads (NAME.json, NAME.png, NAME.jpg, NAME.truth.tsv; see bench_autoline): kinds of curve
# that the Autoline tracer must follow and that a public set may lack.
#
#   /usr/bin/python3 bench/make_charts.py [OUTDIR]
#
# Needs matplotlib, numpy and Pillow (Debian python3-matplotlib, python3-pil). The charts are
# drawn from a fixed seed, so a run draws the same pictures again.
import json
import os
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402
from PIL import Image  # noqa: E402

W, H, DPI = 1000, 750, 100
LEFT, RIGHT, TOP, BOTTOM = 90, 960, 52, 682  # the plot area, px


def to_px(ax, x, y):
    dx, dy = ax.transData.transform((x, y))
    return float(dx), float(H - dy)


def exact_pixel(img, px, py, rgb, reach=3):
    """The pixel nearest (px, py) in its column, or a neighbour's, of exactly the curve colour."""
    i, j = int(np.floor(px)), int(np.floor(py))
    for dj in sorted(range(-reach, reach + 1), key=abs):
        for di in (0, 1, -1):
            if tuple(img[j + dj, i + di][:3]) == tuple(rgb):
                return i + di, j + dj
    raise SystemExit("no pixel of the curve colour near %.1f, %.1f" % (px, py))


def chart(out, name, description, curves, xr=(0.0, 20.0), yr=(0.0, 100.0), grid=False):
    fig = plt.figure(figsize=(W / DPI, H / DPI), dpi=DPI)
    ax = fig.add_axes([LEFT / W, 1 - BOTTOM / H, (RIGHT - LEFT) / W, (BOTTOM - TOP) / H])
    ax.set_xlim(*xr)
    ax.set_ylim(*yr)
    if grid:
        ax.grid(True, color="#c8c8c8", linewidth=0.8)
        ax.minorticks_on()
        ax.grid(True, which="minor", color="#e4e4e4", linewidth=0.6)
    for c in curves:
        ax.plot(c["x"], c["y"], color=c["hex"], linewidth=c["width"] * 72 / DPI, antialiased=True,
                solid_joinstyle="miter", **c.get("style_kw", {}))
    png = os.path.join(out, name + ".png")
    fig.savefig(png, dpi=DPI)
    img = np.asarray(Image.open(png).convert("RGB"))
    Image.fromarray(img).save(png)
    Image.fromarray(img).save(os.path.join(out, name + ".jpg"), quality=75, subsampling=2)

    meta = {"format_version": 1, "name": name, "description": description,
            "images": {"png": name + ".png", "jpg": name + ".jpg"}, "jpeg_quality": 75,
            "width": W, "height": H, "plot_area_px": {"left": LEFT, "right": RIGHT, "top": TOP, "bottom": BOTTOM},
            "axes": {}, "curves": []}
    x0, y0 = to_px(ax, xr[0], yr[0])
    x1, _ = to_px(ax, xr[1], yr[0])
    _, y1 = to_px(ax, xr[0], yr[1])
    meta["axes"]["x"] = {"log": False, "range": list(xr),
                         "ref": [{"px": [x0, y0], "value": xr[0]}, {"px": [x1, y0], "value": xr[1]}]}
    meta["axes"]["y"] = {"log": False, "range": list(yr),
                         "ref": [{"px": [x0, y0], "value": yr[0]}, {"px": [x0, y1], "value": yr[1]}]}
    lines = []
    for k, c in enumerate(curves):
        rgb = [int(c["hex"][i:i + 2], 16) for i in (1, 3, 5)]
        entry = {"id": k, "rgb": rgb, "hex": c["hex"], "line_width_px": c["width"], "antialiased": True,
                 "style": c["kind"]}
        for what, xd in (("start", c["start"]), ("end", c["end"])):
            px, py = to_px(ax, xd, float(np.interp(xd, c["x"], c["y"])))
            i, j = exact_pixel(img, px, py, rgb)
            entry[what] = {"px": [i + 0.5, j + 0.5], "pixel": [i, j], "data": [xd, float(np.interp(xd, c["x"], c["y"]))]}
        # The distance point: about 10 px right of the start.
        sx = entry["start"]["px"][0]
        xd = float(ax.transData.inverted().transform((sx + 10, 0))[0])
        px, py = to_px(ax, xd, float(np.interp(xd, c["x"], c["y"])))
        i, j = exact_pixel(img, px, py, rgb)
        entry["step"] = {"px": [i + 0.5, j + 0.5], "pixel": [i, j], "data": [xd, float(np.interp(xd, c["x"], c["y"]))]}
        meta["curves"].append(entry)
        lines += ["%d\t%.10g\t%.10g" % (k, x, y) for x, y in zip(c["x"], c["y"])]
    plt.close(fig)
    with open(os.path.join(out, name + ".json"), "w") as f:
        json.dump(meta, f, indent=1)
    with open(os.path.join(out, name + ".truth.tsv"), "w") as f:
        f.write("\n".join(lines) + "\n")


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "charts")
    os.makedirs(out, exist_ok=True)
    rng = np.random.default_rng(20)
    smooth = np.linspace(0, 20, 400)

    # Thick lines over a grid: 10 and 14 px wide, far apart.
    chart(out, "thick", "two smooth curves 10 px and 14 px wide over a major and minor grid", [
        {"x": smooth, "y": 70 + 12 * np.sin(smooth / 3.2), "hex": "#1f77b4", "width": 10, "kind": "solid",
         "start": 1.0, "end": 19.0},
        {"x": smooth, "y": 28 + 0.02 * (smooth - 9) ** 3, "hex": "#d62728", "width": 14, "kind": "solid",
         "start": 1.0, "end": 19.0},
    ], grid=True)

    # Jagged data: a noisy series, a vertex every 3 to 6 px, straight between them.
    xs = [0.2]
    while xs[-1] < 19.9:
        xs.append(xs[-1] + rng.uniform(3, 6) * 20 / (RIGHT - LEFT))
    xs = np.array(xs)
    jag = 60 + 10 * np.sin(xs / 2.5) + np.cumsum(rng.normal(0, 0.5, xs.size)) + rng.normal(0, 1.6, xs.size)
    xs2 = xs + 0.01
    jag2 = 20 + 0.8 * xs2 + rng.normal(0, 2.2, xs2.size)
    chart(out, "jagged", "two noisy series, straight segments with sharp turns every 3 to 6 px, 1.5 px wide", [
        {"x": xs, "y": jag, "hex": "#2ca02c", "width": 1.5, "kind": "jagged", "start": 1.0, "end": 19.0},
        {"x": xs2, "y": jag2, "hex": "#9467bd", "width": 1.5, "kind": "jagged", "start": 1.0, "end": 19.0},
    ])

    # Circle markers on every vertex: filled and open, 9 and 11 px.
    xm = np.linspace(0.5, 19.5, 25)
    chart(out, "circles", "measured series with circle markers on every vertex: filled 9 px, open 11 px", [
        {"x": xm, "y": 20 + 30 * np.sqrt(xm / 20) + rng.normal(0, 3, xm.size), "hex": "#ff7f0e", "width": 2,
         "kind": "solid+circles", "start": 1.2, "end": 19.2,
         "style_kw": {"marker": "o", "markersize": 9 * 72 / DPI}},
        {"x": xm, "y": 82 - 20 * (xm / 20) ** 2 + rng.normal(0, 3, xm.size), "hex": "#1f77b4", "width": 2,
         "kind": "solid+open circles", "start": 1.2, "end": 19.2,
         "style_kw": {"marker": "o", "markersize": 11 * 72 / DPI, "markerfacecolor": "white",
                      "markeredgewidth": 2 * 72 / DPI}},
    ])


if __name__ == "__main__":
    main()
