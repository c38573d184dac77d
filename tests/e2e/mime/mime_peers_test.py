#!/usr/bin/env python3
"""The MIME encoder and decoder against real peers: Python's email package reads the
encoded message, headless Chromium shows it as a web archive, and the decoder gives the
files back. Usage: mime_peers_test.py DRIVER"""

import email
import email.policy
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

failures = []
passes = []


def check(ok, what):
    print(("ok: " if ok else "FAIL: ") + what)
    (passes if ok else failures).append(what)


def png(width, height, rgb):
    """A solid-colour RGB PNG."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    row = b"\x00" + bytes(rgb) * width
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(row * height)) + chunk(b"IEND", b""))


def read_png(data):
    """Pixels of an 8-bit RGB or RGBA, non-interlaced PNG as rows of (r, g, b)."""
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    assert depth == 8 and colour in (2, 6), (depth, colour)
    step = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * step
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - step] if i >= step else 0
            up = previous[i]
            corner = previous[i - step] if i >= step else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                pred = left if pa <= pb and pa <= pc else (up if pb <= pc else corner)
                line[i] = (line[i] + pred) & 255
        rows.append([tuple(line[x * step:x * step + 3]) for x in range(width)])
        previous = line
    return rows


def main():
    driver = sys.argv[1]
    work = tempfile.mkdtemp(prefix="mime-peers-")
    try:
        env = dict(os.environ, TMPDIR=work)
        images = os.path.join(work, "images")
        os.makedirs(images)
        red = os.path.join(images, "red.png")
        blob = os.path.join(images, "photo.jpg")
        with open(red, "wb") as f:
            f.write(png(120, 80, (255, 0, 0)))
        with open(blob, "wb") as f:
            f.write(os.urandom(50000))
        originals = {"red.png": open(red, "rb").read(), "photo.jpg": open(blob, "rb").read()}
        html_path = os.path.join(work, "page.html")
        with open(html_path, "w", encoding="utf-8") as f:
            f.write('<html><body style="margin:0;background:#fff"><p>MIME test</p>'
                    '<img src="file:///%s" width="120" height="80">'
                    '<img src="file:///%s" width="1" height="1"></body></html>' % (red, blob))
        message_path = os.path.join(work, "message.eml")
        subprocess.run([driver, "encode", message_path, html_path, red, blob], env=env, check=True)
        raw = open(message_path, "rb").read()

        # Python's email package.
        message = email.message_from_bytes(raw, policy=email.policy.default)
        check(message.get_content_type() == "multipart/related", "the message is multipart/related")
        check(message.get_param("boundary") is not None, "the boundary parameter is read")
        parts = list(message.iter_parts())
        check(len(parts) == 3, "three parts: %d" % len(parts))
        check(parts[0].get_content_type() == "text/html", "the HTML part comes first")
        html = parts[0].get_content()
        references = re.findall(r'src="cid:([^"]+)"', html)
        check(len(references) == 2, "the HTML refers to two Content-IDs")
        images_found = {}
        for part in parts[1:]:
            cid = part["Content-ID"].strip()
            check(cid.startswith("<") and cid.endswith(">"), "Content-ID in angle brackets: " + cid)
            images_found[cid[1:-1]] = part
        check(sorted(references) == sorted(images_found), "every cid: reference has its part")
        for cid, part in images_found.items():
            name = part.get_param("name")
            data = part.get_payload(decode=True)
            check(name in originals and data == originals[name],
                  "the bytes of %s are the file's" % name)
            check(part.get_content_disposition() == "inline", "the part is inline")
        check(raw.count(b"\r\n") == raw.count(b"\n"), "every line ends with CR LF")

        # The round trip through the decoder.
        decoded_path = os.path.join(work, "decoded.html")
        subprocess.run([driver, "decode", message_path, decoded_path], env=env, check=True)
        decoded = open(decoded_path, encoding="utf-8").read()
        urls = re.findall(r'src="file:///([^"]+)"', decoded)
        check(len(urls) == 2, "the decoded HTML refers to two files")
        for url, name in zip(urls, ["red.png", "photo.jpg"]):
            path = url
            check(os.path.dirname(os.path.abspath(path)) == os.path.join(work, "qorvaTemp"),
                  "the copy is in the working folder: " + path)
            check(open(path, "rb").read() == originals[name], "the copy of %s has its bytes" % name)

        # Headless Chromium shows the message as a web archive.
        archive = os.path.join(work, "page.mhtml")
        shutil.copy(message_path, archive)
        shot = os.path.join(work, "shot.png")
        profile = os.path.join(work, "profile")
        browser = shutil.which("chromium") or shutil.which("chromium-browser")
        check(browser is not None, "chromium is installed")
        if browser:
            subprocess.run([browser, "--headless", "--no-sandbox", "--disable-gpu",
                            "--disable-background-networking", "--disable-component-update",
                            "--no-first-run", "--disable-sync", "--user-data-dir=" + profile,
                            "--window-size=400,300", "--screenshot=" + shot,
                            "file://" + archive],
                           env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           timeout=120, check=False)
            check(os.path.exists(shot), "chromium wrote a screenshot")
            if os.path.exists(shot):
                pixels = read_png(open(shot, "rb").read())
                reds = sum(1 for row in pixels for p in row if p[0] > 200 and p[1] < 60 and p[2] < 60)
                check(reds >= 120 * 80 * 0.9, "the screenshot shows the image (%d red pixels)" % reds)
                keep = os.environ.get("MIME_PEERS_SHOT")
                if keep:
                    shutil.copy(shot, keep)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("%d passed, %d failed" % (len(passes), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
