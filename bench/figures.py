#!/usr/bin/env python3
"""Prints the rows of bench/run-all.sh from a Google Benchmark JSON report.

    figures.py KIND REPORT.json
KIND: paste (ExcelProduction at 1, 10 and 50 MB, and FreshMemory, the floor under the
10 MB figure), utf8, codecs or methods.
"""
import json
import sys


def row(figure, ours, peer="", target=""):
    print(f"{figure:<46} {ours:<30} {peer:<40} {target}")


def main():
    kind, path = sys.argv[1], sys.argv[2]
    runs = json.load(open(path))["benchmarks"]
    label = sys.argv[3] if len(sys.argv) > 3 else ""
    if kind == "paste":
        cpu_ms = {}
        floor = ""
        for run in runs:
            parts = run["name"].split("/")
            if parts[0] == "ExcelProduction":
                cpu_ms[int(parts[1])] = run["cpu_time"]  # the benchmark reports milliseconds
            elif parts[0] == "FreshMemory":
                floor = f"writing {run['MB']:.0f} MB fresh: {run['cpu_time']:.0f}"
        if not all(mb in cpu_ms for mb in (1, 10, 50)):
            row(f"clean-up {label}", "missing")
            return
        row(f"10 MB, {label} (CPU ms)", f"{cpu_ms[10]:.0f}", floor, "<= 150")
        per1, per50 = cpu_ms[1], cpu_ms[50] / 50
        row(f"per MB at 50 MB / at 1 MB, {label}",
            f"{per50 / per1:.2f} ({per50:.1f} / {per1:.1f} ms/MB)", "", "<= 1.25")
    elif kind == "utf8":
        for run in runs:
            row(run["name"].split("/")[0] + " (MB/s)",
                f"{run['qorva_MBps']:.0f} (x{run['qorva_vs_iconv']:.2f})",
                f"iconv {run['iconv_MBps']:.0f}", ">= 1000")
    elif kind == "codecs":
        for run in runs:
            if "qorva_MBps" not in run:
                continue
            name = run["name"].split("/")[0]
            row(name + " (MB/s)", f"{run['qorva_MBps']:.0f} (x{run['qorva_vs_gmime']:.2f})",
                f"GMime {run['gmime_MBps']:.0f}",
                ">= 1.0 x GMime" if "QpEncode" in name else "")
    elif kind == "methods":
        for run in runs:
            if "peak_ratio" not in run:
                continue
            name = run["name"].split("/")[0]
            floors = []
            if "fresh_floor_MBps" in run:
                floors.append(f"writing it fresh: {run['fresh_floor_MBps']:.0f}")
            if "files_floor_MBps" in run:
                floors.append(f"its files: {run['files_floor_MBps']:.0f}")
            floor = ", ".join(floors)
            row(f"{name} {label} (MB/s)", f"{run['bytes_per_second'] / 1e6:.0f}", floor, ">= 300")
            row("  peak added / message bytes",
                f"{run['peak_ratio']:.2f} ({run['peak_MB']:.0f} MB of {run['message_MB']:.1f})",
                "", "<= 2")


main()
