#!/usr/bin/python3
"""Times koma's GIF export against the encoders a user would otherwise pick, on the export
benchmark's scene, and checks that every GIF decodes to the 91 composed frames.

Usage: compare_encoders.py BUILD_DIR [RUNS]   (run through compare_encoders.sh)
"""
import glob
import os
import resource
import statistics
import subprocess
import sys
import tempfile
import time

from PIL import Image

build = os.path.abspath(sys.argv[1])
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
work = tempfile.mkdtemp(prefix="koma-compare-")
subprocess.run([f"{build}/koma_export_scene", work], check=True)
frames = sorted(glob.glob(f"{work}/frames/walk*.bmp"))
assert len(frames) == 91, len(frames)
out = f"{work}/out"
pst = f"{work}/scene/scene.pst"


def timed(commands, env=None):
    """Median wall time and median CPU time (user + system) in seconds of running the
    commands one after the other. CPU time does not grow when other processes share the
    machine; wall time does."""
    walls, cpus = [], []
    for _ in range(runs):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        start = time.perf_counter()
        for command in commands:
            subprocess.run(command, check=True, env=env, stdout=subprocess.DEVNULL)
        walls.append(time.perf_counter() - start)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpus.append(after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime)
    return statistics.median(walls), statistics.median(cpus)


pillow_script = (
    "import sys\nfrom PIL import Image\n"
    "frames = [Image.open(f) for f in sys.argv[2:]]\n"
    "frames[0].save(sys.argv[1], save_all=True, append_images=frames[1:], duration=80,"
    " loop=0, optimize=True)\n")
magick_env = dict(os.environ, MAGICK_THREAD_LIMIT="1")
# Debian's ImageMagick itself, not whatever wrapper an earlier PATH entry may put in front of it.
magick = "/usr/bin/convert" if os.path.exists("/usr/bin/convert") else "convert"

results = []  # (name, seconds or None, file)
koma_gif = f"{out}/koma.gif"
results.append(("koma export --format gif (whole process)",
                timed([[f"{build}/koma", "export", pst, "--format", "gif", "--out", out,
                        "--basename", "koma"]]), koma_gif))
results.append(("koma export --format bmp (91 files, whole process)",
                timed([[f"{build}/koma", "export", pst, "--format", "bmp", "--out", out,
                        "--basename", "koma"]]), None))
im_gif = f"{out}/imagemagick.gif"
results.append(("ImageMagick convert -layers Optimize",
                timed([[magick, "-delay", "8", "-loop", "0", *frames, "-layers", "Optimize",
                        im_gif]], env=magick_env), im_gif))
ff_gif = f"{out}/ffmpeg.gif"
palette = f"{out}/palette.png"
ff_input = ["-framerate", "12.5", "-i", f"{work}/frames/walk%02d.bmp"]
results.append(("ffmpeg palettegen + paletteuse",
                timed([["ffmpeg", "-y", "-v", "error", *ff_input, "-vf", "palettegen",
                        palette],
                       ["ffmpeg", "-y", "-v", "error", *ff_input, "-i", palette,
                        "-lavfi", "paletteuse=dither=none:diff_mode=rectangle", ff_gif]]),
                ff_gif))
pil_gif = f"{out}/pillow.gif"
results.append(("Pillow save_all optimize=True",
                timed([["/usr/bin/python3", "-c", pillow_script, pil_gif, *frames]]), pil_gif))
gs_gif = f"{out}/gifsicle.gif"
results.append(("gifsicle -O3 (on ImageMagick's GIF)",
                timed([["gifsicle", "-O3", im_gif, "-o", gs_gif]]), gs_gif))

expected = [Image.open(f).convert("RGB").tobytes() for f in frames]


def check(path):
    """Images in the file, and how many decoded frames differ from the composed ones."""
    image = Image.open(path)
    count = getattr(image, "n_frames", 1)
    wrong = 0
    for i in range(min(count, len(expected))):
        image.seek(i)
        if image.convert("RGB").tobytes() != expected[i]:
            wrong += 1
    return count, wrong + abs(count - len(expected))


print(f"scene: 91 steps, 462 x 110, {runs} runs each, medians; load average "
      f"{os.getloadavg()[0]:.1f} on {os.cpu_count()} CPUs")
print(f"{'encoder':52} {'wall':>8} {'cpu':>8} {'size':>9}  frames  lossless")
for name, (wall, cpu), path in results:
    line = f"{name:52} {wall * 1000:6.1f}ms {cpu * 1000:6.1f}ms"
    if path is None:
        print(line)
        continue
    count, wrong = check(path)
    size = os.path.getsize(path)
    print(f"{line} {size:7d} B  {count:6}  "
          f"{'yes' if wrong == 0 else f'no ({wrong} frames differ)'}")
print(f"files in {work}")
