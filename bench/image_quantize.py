#!/usr/bin/env python3
"""Runs the image benchmark (build/native/bench/image_quantize_bench) with repetitions
and prints the median times side by side, with the ratios between them, from one run.

    python3 bench/image_quantize.py [--bench build/native/bench/image_quantize_bench]
                                    [--repetitions 5]

ImageMagick's time includes its start-up and reading the PPM file; the ratios marked
"- read" take off the median of the same command without -colors.
"""

import argparse
import json
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bench", default=os.path.join(ROOT, "build/native/bench/image_quantize_bench"))
    parser.add_argument("--repetitions", type=int, default=5)
    args = parser.parse_args()
    out = subprocess.run(
        [args.bench, "--benchmark_format=json", "--benchmark_repetitions=%d" % args.repetitions,
         "--benchmark_report_aggregates_only=true"],
        check=True, capture_output=True, text=True).stdout
    real, cpu = {}, {}
    for run in json.loads(out)["benchmarks"]:
        if run.get("aggregate_name") == "median" and not run.get("error_occurred"):
            real[run["run_name"]] = run["real_time"]
            cpu[run["run_name"]] = run["cpu_time"]
    ours = real.get("BM_QuantizeToIndexed")
    literal = real.get("BM_LiteralQuantize/iterations:1")
    magick = real.get("BM_ImageMagickColors256")
    plain = real.get("BM_ImageMagickColors256NoDither")
    read = real.get("BM_ImageMagickReadOnly")
    print("1920x1080 photo-like picture, median of %d repetitions, wall clock (ms)"
          " [own CPU time (ms)]; load average %.2f" % (args.repetitions, os.getloadavg()[0]))

    def show(name, key, value=None):
        value = real.get(key) if value is None else value
        own = cpu.get(key)
        if value is None:
            print("  %-46s %10s" % (name, "n/a"))
        elif own is not None and not key.startswith("BM_ImageMagick"):
            print("  %-46s %10.1f   [%.1f]" % (name, value, own))
        else:
            print("  %-46s %10.1f" % (name, value))

    show("QuantizeToIndexed", "BM_QuantizeToIndexed")
    show("literal transcription", "BM_LiteralQuantize/iterations:1")
    show("convert -colors 256 (start-up and read too)", "BM_ImageMagickColors256")
    show("convert +dither -colors 256", "BM_ImageMagickColors256NoDither")
    show("convert, read only", "BM_ImageMagickReadOnly")
    show("JPEG quality 90 encode", "BM_JpegEncodeQuality90")
    show("noise 640x480: QuantizeToIndexed", "BM_QuantizeNoise640x480")
    show("noise 640x480: literal transcription", "BM_LiteralNoise640x480/iterations:1")

    def ratio(name, top, bottom):
        if top and bottom:
            print("  %-46s %10.2fx" % (name, top / bottom))

    print("ratios (wall clock)")
    ratio("literal / QuantizeToIndexed", literal, ours)
    if ours and literal:
        print("  %-46s %10.2fx" % ("same on own CPU time",
                                   cpu["BM_LiteralQuantize/iterations:1"] / cpu["BM_QuantizeToIndexed"]))
    ratio("noise: literal / QuantizeToIndexed", real.get("BM_LiteralNoise640x480/iterations:1"),
          real.get("BM_QuantizeNoise640x480"))
    ratio("convert -colors 256 / QuantizeToIndexed", magick, ours)
    if read:
        ratio("(convert -colors 256 - read only) / ours", magick and magick - read, ours)
        ratio("(convert +dither -colors 256 - read) / ours", plain and plain - read, ours)
    return 0


if __name__ == "__main__":
    sys.exit(main())
