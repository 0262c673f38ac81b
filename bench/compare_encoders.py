#!/usr/bin/python3
"""Times koma's exports against the encoders a user would otherwise pick, whole process against
whole process, on the benchmark scenes, and checks that every file decodes to the 91 composed
frames.

GIF: ImageMagick, ffmpeg and Pillow (and gifsicle -O3 on ImageMagick's GIF, for size).
APNG: apngasm and ffmpeg's APNG muxer.  WebP: img2webp -lossless.
The other encoders get the frames koma composed (BMP, or PNG where they need PNG or alpha);
their time does not include making them.

Usage: compare_encoders.py BUILD_DIR [RUNS] [SCENES] [FORMATS]   (run through
compare_encoders.sh; SCENES a comma list of walk,gradient,plain, FORMATS of gif,apng,webp)
"""
import glob
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from PIL import Image

build = os.path.abspath(sys.argv[1])
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
scenes = (sys.argv[3] if len(sys.argv) > 3 else "walk,gradient,plain").split(",")
formats = (sys.argv[4] if len(sys.argv) > 4 else "gif,apng,webp").split(",")
work = tempfile.mkdtemp(prefix="koma-compare-")
subprocess.run([f"{build}/koma_export_scene", work, *scenes], check=True, stdout=subprocess.DEVNULL)
koma = f"{build}/koma"
# The plain scene's background colour (bench/export_scene.h), exported transparent.
plain_sky = (0x87, 0xBE, 0xEB)
# Debian's ImageMagick itself, not whatever wrapper an earlier PATH entry may put in front of it.
magick = "/usr/bin/convert" if os.path.exists("/usr/bin/convert") else "convert"
magick_env = dict(os.environ, MAGICK_THREAD_LIMIT="1")


def timed(commands, env=None):
    """Median wall time and median CPU time (user + system) in seconds of running the
    commands one after the other. CPU time grows less than wall time when other processes
    share the machine."""
    walls, cpus = [], []
    for _ in range(runs):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        start = time.perf_counter()
        for command in commands:
            subprocess.run(command, check=True, env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
        walls.append(time.perf_counter() - start)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpus.append(after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime)
    return statistics.median(walls), statistics.median(cpus)


def normalised(data):
    """RGBA bytes with every fully transparent pixel as 0,0,0,0."""
    data = bytearray(data)
    for i in range(3, len(data), 4):
        if data[i] == 0:
            data[i - 3:i] = b"\0\0\0"
    return bytes(data)


def rgba_bytes(image):
    """RGBA bytes with every fully transparent pixel as 0,0,0,0, whatever colour it holds."""
    return normalised(image.convert("RGBA").tobytes())


def check_ffmpeg(path, expected):
    """As check, decoding with ffmpeg. For APNG both decoders are asked: Pillow 9 composes
    blended frames of RGB APNGs wrongly, ffmpeg 5 sub-frames of palette APNGs."""
    raw = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-f", "rawvideo", "-pix_fmt",
                          "rgba", "-"], check=True, capture_output=True).stdout
    size = len(expected[0])
    frames = [normalised(raw[i:i + size]) for i in range(0, len(raw), size)]
    wrong = sum(1 for a, b in zip(frames, expected) if a != b)
    return len(frames), wrong + abs(len(frames) - len(expected))


def check(path, expected):
    """Images in the file, and how many decoded frames differ from the composed ones."""
    image = Image.open(path)
    count = getattr(image, "n_frames", 1)
    wrong = 0
    for i in range(min(count, len(expected))):
        image.seek(i)
        if rgba_bytes(image) != expected[i]:
            wrong += 1
    return count, wrong + abs(count - len(expected))


pillow_gif = (
    "import sys\nfrom PIL import Image\n"
    "frames = [Image.open(f) for f in sys.argv[2:]]\n"
    "frames[0].save(sys.argv[1], save_all=True, append_images=frames[1:], duration=80,"
    " loop=0, optimize=True, disposal=int(sys.argv[1].endswith('-t.gif')) * 2)\n")

report = []
for scene in scenes:
    root = f"{work}/{scene}"
    out = f"{root}/out"
    pst = f"{root}/scene/scene.pst"
    bmps = sorted(glob.glob(f"{root}/frames/walk*.bmp"))
    assert len(bmps) == 91, len(bmps)
    transparent = scene == "plain"
    # PNG frames for the encoders that take PNG, with alpha 0 on the plain background.
    os.makedirs(f"{root}/png", exist_ok=True)
    pngs, expected = [], []
    for i, bmp in enumerate(bmps):
        frame = Image.open(bmp).convert("RGBA")
        if transparent:
            frame.putdata([(0, 0, 0, 0) if p[:3] == plain_sky else p for p in frame.getdata()])
        pngs.append(f"{root}/png/walk{i:02d}.png")
        frame.save(pngs[-1])
        expected.append(rgba_bytes(frame))
    inputs = pngs if transparent else bmps
    koma_flags = ["--transparent"] if transparent else []

    def koma_export(fmt, name):
        return [koma, "export", pst, "--format", fmt, "--out", out, "--basename", name,
                *koma_flags]

    rows = []  # (format, encoder, (wall, cpu), file or None)
    if "gif" in formats:
        rows.append(("gif", "koma export --format gif", timed([koma_export("gif", "koma")]),
                     f"{out}/koma.gif"))
        im_gif = f"{out}/imagemagick.gif"
        dispose = ["-dispose", "Background"] if transparent else []
        rows.append(("gif", "ImageMagick convert -layers Optimize",
                     timed([[magick, "-delay", "8", "-loop", "0", *dispose, *inputs, "-layers",
                             "Optimize", im_gif]], env=magick_env), im_gif))
        ff_gif, palette = f"{out}/ffmpeg.gif", f"{out}/palette.png"
        pattern = f"{root}/{'png' if transparent else 'frames'}/walk%02d." + (
            "png" if transparent else "bmp")
        ff_in = ["-framerate", "12.5", "-i", pattern]
        rows.append(("gif", "ffmpeg palettegen + paletteuse",
                     timed([["ffmpeg", "-y", "-v", "error", *ff_in, "-vf", "palettegen", palette],
                            ["ffmpeg", "-y", "-v", "error", *ff_in, "-i", palette, "-lavfi",
                             "paletteuse=dither=none:diff_mode=rectangle", ff_gif]]), ff_gif))
        pil_gif = f"{out}/pillow{'-t' if transparent else ''}.gif"
        rows.append(("gif", "Pillow save_all optimize=True",
                     timed([["/usr/bin/python3", "-c", pillow_gif, pil_gif, *inputs]]), pil_gif))
        gs_gif = f"{out}/gifsicle.gif"
        rows.append(("gif", "gifsicle -O3 (on ImageMagick's GIF)",
                     timed([["gifsicle", "-O3", im_gif, "-o", gs_gif]]), gs_gif))
    if "apng" in formats:
        rows.append(("apng", "koma export --format apng", timed([koma_export("apng", "koma")]),
                     f"{out}/koma.png"))
        asm = f"{out}/apngasm.png"
        rows.append(("apng", "apngasm (7zip, 15 iterations)",
                     timed([["apngasm", asm, *pngs, "8", "100"]]), asm))
        ff_apng = f"{out}/ffmpeg.apng"
        rows.append(("apng", "ffmpeg -f apng",
                     timed([["ffmpeg", "-y", "-v", "error", "-framerate", "12.5", "-i",
                             f"{root}/png/walk%02d.png", "-plays", "0", "-f", "apng",
                             ff_apng]]), ff_apng))
    if "webp" in formats:
        rows.append(("webp", "koma export --format webp", timed([koma_export("webp", "koma")]),
                     f"{out}/koma.webp"))
        i2w = f"{out}/img2webp.webp"
        rows.append(("webp", "img2webp -lossless",
                     timed([["img2webp", "-loop", "0", "-lossless", "-d", "80", *pngs, "-o",
                             i2w]]), i2w))
    report.append((scene, rows, expected))

load = os.getloadavg()
print(f"{runs} runs each, medians; load average {load[0]:.1f} {load[1]:.1f} {load[2]:.1f} "
      f"(1, 5, 15 min) at the end, {os.cpu_count()} CPUs")
for scene, rows, expected in report:
    print(f"\nscene {scene}: 91 steps, 462 x 110{', transparent' if scene == 'plain' else ''}")
    print(f"{'encoder':40} {'wall':>9} {'cpu':>9} {'size':>9}  frames  lossless")
    for fmt, name, (wall, cpu), path in rows:
        count, wrong = check(path, expected)
        verdict = 'yes' if wrong == 0 else f'no ({wrong} frames differ)'
        if fmt == "apng":
            _, ff_wrong = check_ffmpeg(path, expected)
            verdict = (f"Pillow {verdict}, ffmpeg "
                       f"{'yes' if ff_wrong == 0 else f'no ({ff_wrong} frames differ)'}")
        size = os.path.getsize(path)
        print(f"{name:40} {wall * 1000:7.1f}ms {cpu * 1000:7.1f}ms {size:7d} B  {count:6}  "
              f"{verdict}")
print(f"\nfiles in {work}")
