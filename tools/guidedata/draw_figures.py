#!/usr/bin/python3
"""Draws the user guide's figures from the numbers tandrel-guide-data wrote.

Usage: draw_figures.py DATA_DIR OUTPUT_DIR [EDITOR_SNAPSHOT.png]

Every figure is a PNG that comes out byte for byte the same on every run with
the same matplotlib: the Agg backend, the fonts matplotlib ships, no time stamp
or version in the file, and a fixed palette (the figures are quantised to a
few colours, which also keeps them small).
"""

import io
import json
import os
import sys

import matplotlib

matplotlib.use("Agg")

import matplotlib.pyplot as plt  # noqa: E402
from matplotlib.patches import FancyArrowPatch, FancyBboxPatch  # noqa: E402
from PIL import Image  # noqa: E402

# The editor's own colours, so the figures look like the product.
PURPLE = "#8a2be2"
GREEN = "#8fbf1f"
GREY = "#6e6e6e"
DRY = "#9a9a9a"
INK = "#222222"
CURVES = [PURPLE, GREEN, "#e07b00", "#1f77b4"]

DPI = 100

plt.rcParams.update({
    "font.family": "DejaVu Sans",
    "font.size": 9,
    "axes.titlesize": 9.5,
    "axes.labelsize": 9,
    "legend.fontsize": 8,
    "axes.spines.top": False,
    "axes.spines.right": False,
    "axes.edgecolor": "#555555",
    "svg.hashsalt": "tandrel",
    "path.simplify": False,
})


def save(fig, path, colours=48):
    """PNG without metadata, quantised to a small palette."""
    buffer = io.BytesIO()
    fig.savefig(buffer, format="png", dpi=DPI, metadata={"Software": None}, facecolor="white")
    plt.close(fig)
    buffer.seek(0)
    image = Image.open(buffer).convert("RGB")
    image = image.quantize(colors=colours, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    image.save(path, format="PNG", optimize=True)


def load(folder, name):
    with open(os.path.join(folder, name), encoding="utf-8") as f:
        return json.load(f)


def frequency_axis(ax, ticks=True):
    ax.set_xscale("log")
    ax.set_xlim(50, 20000)
    if ticks:
        ax.set_xticks([100, 1000, 10000])
        ax.set_xticklabels(["100 Hz", "1 kHz", "10 kHz"])
    ax.minorticks_off()
    ax.grid(True, which="major", color="#e4e4e4", linewidth=0.6)


def level_change(value):
    return "%+.1f dB" % value


# --- One group of segments ---------------------------------------------------
def draw_stage_group(data, path):
    n = data["segments"]
    w = data["samplesPerSegment"]
    positions = data["segmentPositions"]
    moved = {i for pair in data["movedPairs"] for i in pair}
    samples = list(range(len(data["input"])))
    runs = data["runs"]
    cut = runs[0]["segments"]

    fig = plt.figure(figsize=(8.4, 6.6))
    grid = fig.add_gridspec(3, 2, height_ratios=[1.25, 1, 1], hspace=0.9, wspace=0.18)

    top = fig.add_subplot(grid[0, :])
    top.plot(samples, data["input"], color=DRY, linewidth=1.2, marker="o", markersize=3, label="input samples")
    for k, (x, y) in enumerate(zip(positions, cut)):
        colour = PURPLE if k in moved else GREEN
        top.plot([x, x], [0, y], color=colour, linewidth=1.6)
        top.plot([x], [y], "s", color=colour, markersize=4.5)
        top.annotate(str(k), (x, y), textcoords="offset points", xytext=(0, 6 if y >= 0 else -12),
                     ha="center", fontsize=7, color=colour)
    span = max(abs(v) for v in data["input"] + cut)
    for a, b in data["movedPairs"]:
        xa, xb = positions[a], positions[b]
        height = span * 1.3
        arc = FancyArrowPatch((xa, height), (xb, height), arrowstyle="<->", mutation_scale=8,
                              connectionstyle="arc3,rad=-0.12", color=PURPLE, linewidth=0.9)
        top.add_patch(arc)
    top.axhline(0, color="#bbbbbb", linewidth=0.6)
    top.set_xlim(-0.5, samples[-1] + 0.5)
    top.set_ylim(-span * 1.35, span * 2.6)
    top.set_xlabel("input sample (44.1 kHz)")
    top.set_title("The input and the %d segment values one group cuts from it\n(N Segs %d, Seg Size %g \u00b5s = %.2f samples "
                  "per segment at 44.1 kHz)" % (n, n, data["microseconds"], w), loc="left")
    top.plot([], [], "s", color=PURPLE, label="segments that move (mirrored pairs)")
    top.plot([], [], "s", color=GREEN, label="segments that stay")
    top.plot([], [], color=INK, linewidth=1.4, label="rebuilt output (below)")
    top.legend(loc="upper center", bbox_to_anchor=(0.5, -0.28), ncol=4, frameon=False)

    for index, run in enumerate(runs):
        ax = fig.add_subplot(grid[1 + index // 2, index % 2])
        ax.plot(samples, data["input"], color=DRY, linewidth=1.0, label="input")
        ax.plot(samples, run["rebuilt"], color=INK, linewidth=1.4, label="rebuilt output")
        for k, (x, y) in enumerate(zip(positions, run["segments"])):
            colour = PURPLE if k in moved else GREEN
            ax.plot([x, x], [0, y], color=colour, linewidth=1.4)
            ax.plot([x], [y], "s", color=colour, markersize=3.5)
        ax.axhline(0, color="#bbbbbb", linewidth=0.6)
        ax.set_xlim(-0.5, samples[-1] + 0.5)
        ax.set_ylim(-span * 1.35, span * 1.35)
        ax.set_title("Seg Mix %g %%" % run["mix"], loc="left")
        if index >= 2:
            ax.set_xlabel("input sample")
    save(fig, path)


# --- Spectra -----------------------------------------------------------------
def draw_control(centres, dry, figure, path):
    fig, (ax, change) = plt.subplots(2, 1, figsize=(7.2, 4.3), sharex=True, gridspec_kw={"height_ratios": [1.5, 1]})
    ax.plot(centres, dry["bands"], color=DRY, linewidth=1.4, linestyle="--", label="dry (the demo signal)")
    change.axhline(0, color=DRY, linewidth=1.2, linestyle="--")
    for colour, curve in zip(CURVES, figure["curves"]):
        ax.plot(centres, curve["bands"], color=colour, linewidth=1.5,
                label="%s (%s)" % (curve["label"], level_change(curve["levelChange"])))
        change.plot(centres, [w - d for w, d in zip(curve["bands"], dry["bands"])], color=colour, linewidth=1.5)
    frequency_axis(ax)
    frequency_axis(change)
    ax.set_ylabel("level per 1/6 octave, dB")
    ax.set_ylim(-95, -5)
    ax.legend(loc="lower left", frameon=False, ncol=1)
    change.set_ylabel("against dry, dB")
    change.set_ylim(-30, 15)
    change.set_yticks([-30, -20, -10, 0, 10])
    fig.tight_layout(pad=0.4, h_pad=0.6)
    save(fig, path)


def draw_preset(centres, dry, preset, path):
    fig, ax = plt.subplots(figsize=(3.6, 1.25))
    ax.plot(centres, dry["bands"], color=DRY, linewidth=1.0, linestyle="--")
    ax.plot(centres, preset["bands"], color=PURPLE, linewidth=1.4)
    frequency_axis(ax)
    ax.set_ylim(-95, -5)
    ax.set_yticks([-80, -50, -20])
    ax.tick_params(labelsize=7, length=2, pad=1)
    ax.text(0.99, 0.96, level_change(preset["levelChange"]), transform=ax.transAxes, ha="right", va="top",
            fontsize=8, color=INK, fontweight="bold")
    fig.subplots_adjust(left=0.11, right=0.99, top=0.97, bottom=0.2)
    save(fig, path, colours=24)


# --- Signal flow -------------------------------------------------------------
def box(ax, x, y, text, colour, width=1.9, height=0.8):
    ax.add_patch(FancyBboxPatch((x - width / 2, y - height / 2), width, height, boxstyle="round,pad=0.02,rounding_size=0.12",
                                facecolor="white", edgecolor=colour, linewidth=2))
    ax.text(x, y, text, ha="center", va="center", fontsize=8, color=INK, linespacing=1.25)


def arrow(ax, start, end, colour=INK, style="-|>", dashed=False):
    ax.add_patch(FancyArrowPatch(start, end, arrowstyle=style, mutation_scale=10, color=colour, linewidth=1.2,
                                 linestyle="--" if dashed else "-", shrinkA=0, shrinkB=0))


def draw_routing(data, path):
    d = data["stageDelay"]
    latency = data["latency"]
    fig, (series, parallel) = plt.subplots(2, 1, figsize=(8.4, 5.2), gridspec_kw={"height_ratios": [1, 1.3]})
    for ax in (series, parallel):
        ax.set_xlim(0, 12.4)
        ax.axis("off")
    series.set_ylim(0, 3)
    parallel.set_ylim(0, 4.2)

    def stage_box(ax, x, y, s):
        box(ax, x, y, "Stage %d\nsegments\n%d samples" % (s, d), PURPLE if s == 1 else GREEN, width=1.15, height=0.95)

    def tone_box(ax, x, y, s):
        box(ax, x, y, "Tone\nshelf %d" % s, GREY, width=0.95, height=0.7)

    def dry_line(ax, y_from, y_line, text):
        ax.plot([0.55, 0.55, 11.85], [y_from, y_line, y_line], color=DRY, linestyle="--", linewidth=1.2)
        arrow(ax, (11.85, y_line), (11.85, y_from), colour=DRY, dashed=True)
        ax.text(6.2, y_line + 0.1, text, ha="center", fontsize=7.5, color=GREY)

    ax = series
    ax.set_title("Series: each stage works on what the one before it made", loc="left")
    y = 2.0
    box(ax, 0.55, y, "input", GREY, width=0.9, height=0.6)
    xs = [1.95, 3.2, 4.6, 5.85, 7.25, 8.5]
    for s in range(3):
        stage_box(ax, xs[2 * s], y, s + 1)
        tone_box(ax, xs[2 * s + 1], y, s + 1)
    box(ax, 11.85, y, "output", GREY, width=1.0, height=0.6)
    edges = [(1.0, 1.375), (2.525, 2.725), (3.675, 4.025), (5.175, 5.375), (6.325, 6.675), (7.825, 8.025), (8.975, 11.35)]
    for a, b in edges:
        arrow(ax, (a, y), (b, y))
    ax.text(10.15, y + 0.12, "any stage on", ha="center", fontsize=7.5, color=INK)
    dry_line(ax, y - 0.3, 0.55, "dry line, %d samples: heard only while every stage is off" % latency)

    ax = parallel
    ax.set_title("Parallel: the stages cut the same input; each is added and the sum passes the later shelves", loc="left")
    y, top, feed = 1.75, 3.15, 3.95
    box(ax, 0.55, y, "input", GREY, width=0.9, height=0.6)
    box(ax, 1.85, y, "delay\n%d samples" % (2 * d), GREY, width=1.2, height=0.7)
    stage_box(ax, 3.35, y, 1)
    tone_box(ax, 4.7, y, 1)
    sums = (6.05, 8.75)
    for x in sums:
        ax.add_patch(plt.Circle((x, y), 0.22, facecolor="white", edgecolor=INK, linewidth=1.2))
        ax.text(x, y, "+", ha="center", va="center", fontsize=11)
    tone_box(ax, 7.4, y, 2)
    tone_box(ax, 10.1, y, 3)
    stage_box(ax, sums[0], top, 2)
    stage_box(ax, sums[1], top, 3)
    box(ax, 11.85, y, "output", GREY, width=1.0, height=0.6)
    for a, b in ((1.0, 1.25), (2.45, 2.775), (3.925, 4.225), (5.175, 5.83), (6.27, 6.925), (7.875, 8.53), (8.97, 9.625),
                 (10.575, 11.35)):
        arrow(ax, (a, y), (b, y))
    ax.plot([2.6, 2.6, sums[1]], [y, feed, feed], color=INK, linewidth=1.2)
    for x in sums:
        arrow(ax, (x, feed), (x, top + 0.475))
        arrow(ax, (x, top - 0.475), (x, y + 0.22))
    ax.text(9.35, top + 0.55, "a stage that is off\nadds nothing", ha="left", fontsize=7.5, color=GREY)
    dry_line(ax, y - 0.3, 0.45, "dry line, %d samples: heard only while every stage is off" % latency)

    fig.text(0.01, 0.01, "Every route is %d samples late at 44.1 kHz (%.1f ms), whatever the block size; the host is told "
             "and lines the track up." % (latency, 1000.0 * latency / data["sampleRate"]), fontsize=7.5, color=GREY)
    fig.tight_layout(pad=0.3)
    save(fig, path, colours=32)


# --- The editor, labelled ----------------------------------------------------
EDITOR_CALLOUTS = [
    # (label, x, y) in the 550 x 550 editor, beside the control it names
    ("1", 33, 47),    # undo, redo
    ("2", 72, 47),    # preset browser
    ("3", 338, 47),   # previous / next preset
    ("4", 375, 47),   # reload
    ("5", 405, 47),   # new
    ("6", 435, 47),   # random
    ("7", 128, 113),  # stage light
    ("8", 523, 133),  # N Segs
    ("9", 523, 157),  # Seg Size
    ("10", 523, 181), # Seg Mix
    ("11", 172, 478), # Mode
    ("12", 531, 478), # Tone (Presence)
    ("13", 336, 514), # hint line and its switch
]


def draw_editor(snapshot, path):
    image = Image.open(snapshot).convert("RGB")
    width, height = image.size
    fig = plt.figure(figsize=(width / DPI, height / DPI))  # one pixel per editor pixel
    ax = fig.add_axes([0, 0, 1, 1])
    ax.imshow(image, interpolation="nearest")
    ax.set_xlim(-0.5, width - 0.5)
    ax.set_ylim(height - 0.5, -0.5)
    ax.axis("off")
    for label, x, y in EDITOR_CALLOUTS:
        ax.add_patch(plt.Circle((x, y), 9.5, facecolor="#ffd400", edgecolor=INK, linewidth=1.0))
        ax.text(x, y + 0.5, label, ha="center", va="center", fontsize=8.5, fontweight="bold", color=INK)
    save(fig, path, colours=32)


def main(argv):
    if len(argv) not in (3, 4):
        sys.stderr.write("usage: draw_figures.py DATA_DIR OUTPUT_DIR [EDITOR_SNAPSHOT.png]\n")
        return 2
    data_dir, out_dir = argv[1], argv[2]
    os.makedirs(os.path.join(out_dir, "presets"), exist_ok=True)

    draw_stage_group(load(data_dir, "stage.json"), os.path.join(out_dir, "stage-group.png"))

    controls = load(data_dir, "controls.json")
    for figure in controls["figures"]:
        draw_control(controls["bandCentres"], controls["dry"], figure,
                     os.path.join(out_dir, "control-%s.png" % figure["name"]))

    presets = load(data_dir, "presets.json")
    for preset in presets["presets"]:
        draw_preset(presets["bandCentres"], presets["dry"], preset,
                    os.path.join(out_dir, "presets", "%02d.png" % preset["index"]))

    draw_routing(load(data_dir, "routing.json"), os.path.join(out_dir, "routing.png"))

    if len(argv) == 4:
        draw_editor(argv[3], os.path.join(out_dir, "editor.png"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
