#!/usr/bin/env python3
"""Runs the canvas benchmark (build/native/bench/photo_canvas_bench) with repetitions,
times Pillow's equivalent of each operation in this process on the same 1920x1080
picture, and prints the medians side by side with the ratio Pillow / ours (above 1:
ours is faster).

    python3 bench/photo_canvas.py [--bench build/native/bench/photo_canvas_bench]
                                  [--repetitions 5]

Pillow's grey is its "L" conversion, which writes one channel where the canvas writes
three; its resize is its bilinear filter, which widens when shrinking as ours does. The
JPEG exports both write a quality-100 file.
"""

import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def pillow():
    try:
        from PIL import Image, ImageOps  # noqa: F401
        return True
    except ImportError:
        return False


def time_pillow(ppm, repetitions):
    from PIL import Image, ImageOps
    image = Image.open(ppm).convert("RGB")
    image.load()
    folder = tempfile.mkdtemp(prefix="qorva-bench-pillow-")
    target = os.path.join(folder, "out.jpg")
    sepia = (0.393, 0.769, 0.189, 0, 0.349, 0.686, 0.168, 0, 0.272, 0.534, 0.131, 0)
    brighten = [min(255, v + 5) for v in range(256)] * 3
    transpose = getattr(Image, "Transpose", Image)
    resample = getattr(Image, "Resampling", Image)
    cases = {
        "RotateRight": lambda: image.transpose(transpose.ROTATE_270),
        "MirrorLeftRight": lambda: image.transpose(transpose.FLIP_LEFT_RIGHT),
        "MirrorUpDown": lambda: image.transpose(transpose.FLIP_TOP_BOTTOM),
        "ApplyGray": lambda: image.convert("L"),
        "ApplyInvert": lambda: ImageOps.invert(image),
        "ApplySepia": lambda: image.convert("RGB", sepia),
        "Brighten": lambda: image.point(brighten),
        "ResizeToHalf": lambda: image.resize((image.width // 2, image.height // 2),
                                             resample.BILINEAR),
        "ExportJpeg": lambda: image.save(target, "JPEG", quality=100),
    }
    medians = {}
    for name, run in cases.items():
        run()  # warm up
        samples = []
        for _ in range(repetitions):
            # As Google Benchmark does: enough runs for a stable mean per repetition.
            count, start = 0, time.thread_time()
            while True:
                run()
                count += 1
                elapsed = time.thread_time() - start
                if elapsed > 0.2 or count >= 200:
                    break
            samples.append(elapsed / count * 1000.0)
        medians[name] = statistics.median(samples)
    return medians


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bench", default=os.path.join(ROOT, "build/native/bench/photo_canvas_bench"))
    parser.add_argument("--repetitions", type=int, default=5)
    args = parser.parse_args()
    if not pillow():
        # Debian's own Python carries Pillow where another Python comes first on the path.
        if sys.executable != "/usr/bin/python3" and os.path.exists("/usr/bin/python3"):
            os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
        print("Pillow is not installed (Debian: python3-pil)")
        return 1
    out = subprocess.run(
        [args.bench, "--benchmark_format=json", "--benchmark_repetitions=%d" % args.repetitions,
         "--benchmark_report_aggregates_only=true"],
        check=True, capture_output=True, text=True).stdout
    ours, wall, ppm = {}, {}, None
    for run in json.loads(out)["benchmarks"]:
        if run.get("label"):
            ppm = run["label"]
        if run.get("aggregate_name") == "median" and not run.get("error_occurred"):
            ours[run["run_name"]] = run["cpu_time"]
            wall[run["run_name"]] = run["real_time"]
    if not ppm:
        print("the benchmark did not name its picture")
        return 1
    theirs = time_pillow(ppm, args.repetitions)
    print("1920x1080 photo-like RGB picture, median of %d repetitions, thread CPU time (ms);"
          " load average %.2f" % (args.repetitions, os.getloadavg()[0]))
    print("  %-16s %10s %10s %16s %14s" % ("operation", "canvas", "Pillow", "Pillow / canvas",
                                           "canvas (wall)"))
    for name in theirs:
        mine = ours.get(name)
        if mine is None:
            print("  %-16s %10s %10.2f" % (name, "n/a", theirs[name]))
            continue
        print("  %-16s %10.2f %10.2f %15.2fx %14.2f" % (name, mine, theirs[name],
                                                       theirs[name] / mine, wall[name]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
