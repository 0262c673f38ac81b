#!/usr/bin/python3
"""Measures `koma export` for every format, opaque and transparent, on the benchmark scenes, and
the other encoders on the same frames: CPU time (user + system) and wall time of the whole
process, its peak resident memory, and the size of what it wrote.

koma's own frames serve the other encoders: its BMP files (opaque), its PNG sequence (opaque
PNG input) and its transparent PNG sequence (frames with alpha). Their time does not include
making them. Peers: optipng -o1 (PNG sequence), ffmpeg palettegen + paletteuse and gifsicle -O3
(GIF), apngasm with its defaults (APNG), img2webp -lossless (WebP).

With --baseline OTHER_BUILD the koma of another build (the one before a change) runs right
before koma on every measurement, so that both see the same load.

Usage: measure_exports.py BUILD_DIR [--scenes walk,photo,...] [--steps 91] [--runs 1]
                          [--formats bmp,png,gif,apng,webp] [--no-peers] [--opaque-only]
                          [--baseline OTHER_BUILD] [--koma-args "--effort max"] [--json FILE]
"""
import argparse
import glob
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

parser = argparse.ArgumentParser()
parser.add_argument("build")
parser.add_argument("--scenes", default="walk,gradient,plain,photo,flat")
parser.add_argument("--steps", type=int, default=91)
parser.add_argument("--runs", type=int, default=1)
parser.add_argument("--formats", default="bmp,png,gif,apng,webp")
parser.add_argument("--no-peers", action="store_true")
parser.add_argument("--opaque-only", action="store_true")
parser.add_argument("--json", help="append one JSON line per measurement to this file")
parser.add_argument("--work", help="folder for the scenes (default: a new temporary one)")
parser.add_argument("--baseline", help="another build whose koma runs before koma, interleaved")
parser.add_argument("--koma-args", default="", help="more arguments for koma export")
args = parser.parse_args()

build = os.path.abspath(args.build)
koma = f"{build}/koma"
baseline = f"{os.path.abspath(args.baseline)}/koma" if args.baseline else None
scenes = args.scenes.split(",")
formats = args.formats.split(",")
work = args.work or tempfile.mkdtemp(prefix="koma-measure-")
os.makedirs(work, exist_ok=True)
subprocess.run([f"{build}/koma_export_scene", work, "--steps", str(args.steps), *scenes],
               check=True, stdout=subprocess.DEVNULL)


def run_once(command, cwd=None):
    """Wall seconds, CPU seconds (user + system) and peak RSS in MiB of one process."""
    with tempfile.TemporaryFile() as err:
        start = time.perf_counter()
        process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=err, cwd=cwd)
        _, status, usage = os.wait4(process.pid, 0)
        wall = time.perf_counter() - start
        process.returncode = os.waitstatus_to_exitcode(status)
        if process.returncode != 0:
            err.seek(0)
            raise RuntimeError(f"{command[0]} failed ({process.returncode}): "
                               f"{err.read().decode(errors='replace')[-500:]}")
    return wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024


def measure(commands, before=None):
    """The commands run one after the other, `runs` times: the run of median CPU time, as wall,
    CPU (summed over the commands) and peak RSS (the largest of them)."""
    results = []
    for _ in range(args.runs):
        if before:
            before()
        wall = cpu = rss = 0.0
        for command in commands:
            w, c, r = run_once(command)
            wall, cpu, rss = wall + w, cpu + c, max(rss, r)
        results.append((cpu, wall, rss))
    results.sort()
    cpu, wall, rss = results[len(results) // 2]
    return {"wall": wall, "cpu": cpu, "rss_mb": rss}


def size_of(paths):
    return sum(os.path.getsize(p) for p in paths)


def fresh(folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)


rows = []
load = os.getloadavg()
print(f"load average {load[0]:.1f} {load[1]:.1f} {load[2]:.1f} at the start", flush=True)


def record(scene, fmt, transparent, encoder, result, files):
    row = dict(scene=scene, steps=args.steps, format=fmt, transparent=transparent,
               encoder=encoder, size=size_of(files), files=len(files), **result)
    rows.append(row)
    print(f"{scene:9} {args.steps:3} {fmt:5} {'T' if transparent else 'O'} {encoder:34} "
          f"cpu {row['cpu']:8.2f} s  wall {row['wall']:8.2f} s  rss {row['rss_mb']:7.1f} MB  "
          f"{row['size']:11d} B", flush=True)
    if args.json:
        with open(args.json, "a") as out:
            out.write(json.dumps(row) + "\n")


for scene in scenes:
    root = f"{work}/{scene}"
    pst = f"{root}/scene/scene.pst"
    bmps = sorted(glob.glob(f"{root}/frames/walk*.bmp"))
    variants = [False] if args.opaque_only else [False, True]
    inputs = {}  # transparent -> PNG frames for the peers
    for transparent in variants:
        tag = "t" if transparent else "o"
        for fmt in formats:
            if fmt == "bmp" and transparent:
                continue  # BMP holds no transparency: the same files as opaque
            out = f"{root}/koma-{fmt}-{tag}"
            options = ["--format", fmt, "--basename", "k", *args.koma_args.split()]
            if transparent:
                options.append("--transparent")
            if baseline:
                before_out = f"{root}/before-{fmt}-{tag}"
                result = measure([[baseline, "export", pst, "--out", before_out, *options]],
                                 before=lambda: fresh(before_out))
                record(scene, fmt, transparent, "koma before",
                       result, sorted(glob.glob(f"{before_out}/k*")))
            command = [koma, "export", pst, "--out", out, *options]
            result = measure([command], before=lambda: fresh(out))
            files = sorted(glob.glob(f"{out}/k*"))
            record(scene, fmt, transparent, "koma", result, files)
            if fmt == "png":
                inputs[transparent] = files
        if args.no_peers:
            continue
        pngs = inputs.get(transparent)
        frames = pngs if transparent else bmps
        peers = f"{root}/peers-{tag}"
        fresh(peers)
        if "png" in formats and frames:
            out = f"{peers}/optipng"
            result = measure([["optipng", "-quiet", "-o1", "-force", "-dir", out, *frames]],
                             before=lambda: fresh(out))
            record(scene, "png", transparent, "optipng -o1", result,
                   sorted(glob.glob(f"{out}/*.png")))
        if "gif" in formats and frames:
            gif, palette = f"{peers}/ffmpeg.gif", f"{peers}/palette.png"
            pattern = f"{root}/koma-png-t/k%02d.png" if transparent else \
                f"{root}/frames/walk%02d.bmp"
            source = ["-framerate", "12.5", "-i", pattern]
            result = measure([["ffmpeg", "-y", "-v", "error", *source, "-vf", "palettegen",
                               palette],
                              ["ffmpeg", "-y", "-v", "error", *source, "-i", palette, "-lavfi",
                               "paletteuse=dither=none:diff_mode=rectangle", gif]])
            record(scene, "gif", transparent, "ffmpeg palettegen+paletteuse", result, [gif])
            for name, source_gif in (("ffmpeg's", gif), ("koma's", f"{root}/koma-gif-{tag}/k.gif")):
                if not os.path.exists(source_gif):
                    continue
                optimised = f"{peers}/gifsicle-{name[:-2]}.gif"
                result = measure([["gifsicle", "-O3", source_gif, "-o", optimised]])
                record(scene, "gif", transparent, f"gifsicle -O3 on {name} GIF", result,
                       [optimised])
        if "apng" in formats and pngs:
            apng = f"{peers}/apngasm.png"
            result = measure([["apngasm", apng, *pngs, "8", "100"]])
            record(scene, "apng", transparent, "apngasm (defaults)", result, [apng])
        if "webp" in formats and pngs:
            webp = f"{peers}/img2webp.webp"
            result = measure([["img2webp", "-loop", "0", "-lossless", "-d", "80", *pngs, "-o",
                               webp]])
            record(scene, "webp", transparent, "img2webp -lossless", result, [webp])

load = os.getloadavg()
print(f"load average {load[0]:.1f} {load[1]:.1f} {load[2]:.1f} at the end; files in {work}")
