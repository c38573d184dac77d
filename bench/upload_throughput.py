#!/usr/bin/env python3
"""Uploads one large file to PHP's built-in server on 127.0.0.1, in turns with
`qorva call postImageToServer` and with `curl -F`, and prints the throughput and the
peak memory (maximum resident set) of both, side by side from the same run.

    python3 bench/upload_throughput.py [--qorva build/native/src/qorva] [--size-mb 200]
                                       [--rounds 3]

The upload page answers with the size PHP's multipart parser received, which is
checked for every upload, so a failed upload cannot pass for a fast one.
"""

import argparse
import os
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PAGE_FOLDER = os.path.join(ROOT, "tests", "data", "transfer", "upload_page")
GNU_TIME = "/usr/bin/time"


def free_port():
    with socket.socket() as sock:
        sock.bind(("127.0.0.1", 0))
        return sock.getsockname()[1]


def start_php():
    port = free_port()
    server = subprocess.Popen(
        ["php", "-n", "-d", "upload_max_filesize=4G", "-d", "post_max_size=4G", "-d",
         "memory_limit=-1", "-S", "127.0.0.1:%d" % port, "-t", PAGE_FOLDER],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.time() + 15
    while time.time() < deadline:
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return server, port
        except OSError:
            time.sleep(0.05)
    server.kill()
    sys.exit("PHP's built-in server did not come up")


def run(command, folder):
    """Runs `command`; returns (seconds, peak resident kilobytes, standard output).

    GNU time starts the command and reports its maximum resident set: a child forked
    from this Python process would count the interpreter's own memory as well."""
    report = os.path.join(folder, "time")
    with open(os.path.join(folder, "out"), "w+b") as out, \
            open(os.path.join(folder, "err"), "w+b") as err:
        start = time.perf_counter()
        status = subprocess.call([GNU_TIME, "-f", "%M", "-o", report] + command,
                                 stdout=out, stderr=err)
        seconds = time.perf_counter() - start
        out.seek(0)
        err.seek(0)
        if status != 0:
            sys.exit("%s failed (%d): %s" % (command[0], status, err.read().decode()))
        with open(report) as figures:
            peak = int(figures.read().split()[-1])
        return seconds, peak, out.read().decode(errors="replace").strip()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--qorva", default=os.path.join(ROOT, "build", "native", "src", "qorva"))
    parser.add_argument("--size-mb", type=int, default=200)
    parser.add_argument("--rounds", type=int, default=3)
    args = parser.parse_args()
    for tool in (args.qorva, "curl", "php", GNU_TIME):
        if not shutil.which(tool):
            sys.exit("missing: %s" % tool)

    folder = tempfile.mkdtemp(prefix="qorva-upload-bench-")
    path = os.path.join(folder, "upload.bin")
    size = args.size_mb * 1024 * 1024
    with open(path, "wb") as out:
        block = os.urandom(1024 * 1024)
        for _ in range(args.size_mb):
            out.write(block)

    server, port = start_php()
    url = "http://127.0.0.1:%d/upload.php?answer=discard" % port
    expected = "size=%d error=0" % size
    tools = {
        "qorva": [args.qorva, "call", "--param", "postPageURL=" + url, "postImageToServer", path],
        "curl": ["curl", "-sS", "-H", "Expect:", "-F", "file1=@" + path, url],
    }
    figures = {name: {"seconds": [], "rss": []} for name in tools}
    try:
        for round_number in range(1, args.rounds + 1):
            for name, command in tools.items():
                seconds, rss, answer = run(command, folder)
                if answer != expected:
                    sys.exit("%s: the server received '%s', not '%s'" % (name, answer, expected))
                figures[name]["seconds"].append(seconds)
                figures[name]["rss"].append(rss)
                print("round %d  %-5s  %7.1f MB/s  %8.1f MB peak" %
                      (round_number, name, args.size_mb / seconds, rss / 1024.0))
    finally:
        server.terminate()
        server.wait()
        shutil.rmtree(folder, ignore_errors=True)

    print()
    print("%d MB upload, median of %d rounds:" % (args.size_mb, args.rounds))
    medians = {}
    for name in tools:
        medians[name] = statistics.median(figures[name]["seconds"])
        print("  %-5s  %7.1f MB/s  peak memory %6.1f MB" %
              (name, args.size_mb / medians[name], max(figures[name]["rss"]) / 1024.0))
    print("  throughput qorva / curl: %.2f" % (medians["curl"] / medians["qorva"]))
    print("  peak memory qorva / curl: %.2f" %
          (max(figures["qorva"]["rss"]) / max(figures["curl"]["rss"])))


if __name__ == "__main__":
    main()
