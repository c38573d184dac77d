#!/usr/bin/env python3
"""Draws the skinned dialogs' pictures: flat panels and buttons from a few colours and
shapes, written as RGBA PNG files. The image property set goes where a local server
serves it (samples/server/res/ko); the resize and photo editor sets go with the control's
resources (src/support/resources/skins).

Usage: scripts/make_skin_pictures.py (from anywhere; rewrites the files)."""
import os
import struct
import zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
SERVED = os.path.join(ROOT, "samples", "server", "res", "ko")
BUNDLED = os.path.join(ROOT, "src", "support", "resources", "skins")

PANEL = (246, 248, 251, 255)
FRAME = (120, 140, 170, 255)
HEADER = (54, 92, 150, 255)
FIELD_LABEL = (214, 222, 234, 255)
BLUE = (58, 110, 190, 255)
GREY = (150, 156, 166, 255)
WHITE = (255, 255, 255, 255)
CLEAR = (0, 0, 0, 0)


class Picture:
    def __init__(self, width, height, fill=CLEAR):
        self.width, self.height = width, height
        self.pixels = [[fill] * width for _ in range(height)]

    def rect(self, x, y, w, h, colour):
        for row in range(max(0, y), min(self.height, y + h)):
            for col in range(max(0, x), min(self.width, x + w)):
                self.pixels[row][col] = colour

    def rounded(self, x, y, w, h, colour, border):
        """A button body: a filled rectangle, corners cut by one pixel, a darker edge."""
        self.rect(x, y, w, h, border)
        self.rect(x + 1, y + 1, w - 2, h - 2, colour)
        for cx, cy in ((x, y), (x + w - 1, y), (x, y + h - 1), (x + w - 1, y + h - 1)):
            self.rect(cx, cy, 1, 1, CLEAR)

    def line(self, x0, y0, x1, y1, colour, thick=2):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            x = x0 + (x1 - x0) * i // steps
            y = y0 + (y1 - y0) * i // steps
            self.rect(x, y, thick, thick, colour)

    def png(self):
        raw = b"".join(b"\x00" + bytes(c for p in row for c in p) for row in self.pixels)

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def dark(colour):
    return tuple(max(0, c - 50) for c in colour[:3]) + (255,)


def button(w, h, colour=BLUE, glyph=None):
    p = Picture(w, h)
    p.rounded(0, 0, w, h, colour, dark(colour))
    if glyph == "close":
        p.line(w // 4, h // 4, w - w // 4 - 2, h - h // 4 - 2, WHITE)
        p.line(w - w // 4 - 2, h // 4, w // 4, h - h // 4 - 2, WHITE)
    elif glyph == "check":
        p.line(w // 5, h // 2, w // 2 - 1, h - h // 4 - 2, WHITE)
        p.line(w // 2 - 1, h - h // 4 - 2, w - w // 5 - 2, h // 5, WHITE)
    elif glyph == "bar":  # a text button: a light bar where its word would be
        p.rect(w // 4, h // 2 - 1, w // 2, 3, WHITE)
    elif glyph == "plus":
        p.rect(w // 2 - 1, h // 4, 3, h // 2, WHITE)
        p.rect(w // 4, h // 2 - 1, w // 2, 3, WHITE)
    elif glyph == "minus":
        p.rect(w // 4, h // 2 - 1, w // 2, 3, WHITE)
    return p


def property_background():
    p = Picture(421, 531, PANEL)
    p.rect(0, 0, 421, 30, HEADER)
    p.rect(0, 0, 421, 1, FRAME), p.rect(0, 530, 421, 1, FRAME)
    p.rect(0, 0, 1, 531, FRAME), p.rect(420, 0, 1, 531, FRAME)
    p.rect(10, 8, 120, 14, FIELD_LABEL)  # where the title would read
    for top, rows in ((44, (54, 81, 108)), (170, (181, 210)), (272, (283, 312)),
                      (374, (385, 412, 439))):
        p.rect(8, top, 405, 1, FRAME)  # a group's rule
        for y in rows:
            p.rect(16, y + 4, 70, 12, FIELD_LABEL)  # a label's place
    p.rect(8, 490, 405, 1, FRAME)
    return p


def resize_background():
    p = Picture(172, 215, PANEL)
    p.rect(0, 0, 172, 30, HEADER)
    p.rect(0, 214, 172, 1, FRAME), p.rect(0, 0, 1, 215, FRAME), p.rect(171, 0, 1, 215, FRAME)
    for y in (52, 86):
        p.rect(12, y + 4, 50, 12, FIELD_LABEL)
    p.rect(32, 130, 90, 10, FIELD_LABEL)
    p.rect(8, 170, 156, 1, FRAME)
    return p


PALETTE = {"bk": (0, 0, 0, 255), "gray": (128, 128, 128, 255), "wine": (128, 0, 32, 255),
           "red": (220, 30, 30, 255), "orange": (240, 140, 20, 255),
           "yellow": (240, 220, 30, 255), "green": (40, 170, 60, 255),
           "lightblue": (90, 190, 240, 255), "blue": (30, 70, 200, 255),
           "purple": (130, 50, 170, 255)}


def property_set():
    return {
        "i_bg.png": property_background(),
        "i_cancel_btn.png": button(70, 24, GREY, "bar"),
        "i_check_btn.png": button(18, 18, BLUE, "check"),
        "i_checkoff_btn.png": button(18, 18, GREY),
        "i_clearlink_btn.png": button(82, 22, GREY, "bar"),
        "i_close_btn.png": button(20, 20, HEADER, "close"),
        "i_confirm_btn.png": button(70, 24, BLUE, "bar"),
        "i_find_btn.png": button(66, 20, BLUE, "bar"),
        "i_size_btn.png": button(82, 22, BLUE, "bar"),
    }


def resize_set():
    return {
        "popup_image_size_bg.png": resize_background(),
        "close_btn_single.png": button(13, 13, HEADER, "close"),
        "check_btn_on.png": button(18, 18, BLUE, "check"),
        "check_btn_off.png": button(18, 18, GREY),
        "apply_btn.png": button(65, 25, BLUE, "bar"),
        "cancel_btn.png": button(65, 25, GREY, "bar"),
    }


def editor_set():
    """Sized to the editor's layout: the small tools sit 22 pixels apart, the capture
    buttons 28, and the bottom band is 28 pixels high."""
    pictures = {"bg_color_header.png": Picture(8, 40, HEADER),
                "logo.png": button(92, 32, HEADER, "bar"),
                "text_capture.png": button(26, 14, GREY, "bar"),
                "line.png": Picture(2, 62, FRAME),
                "text_color.png": button(34, 12, GREY, "bar"),
                "color_view.png": button(24, 24, WHITE),
                "color_more.png": button(24, 24, GREY, "plus"),
                "zoom_0.png": button(40, 22, BLUE, "bar"),
                "zoom_in_btn.png": button(22, 22, BLUE, "plus"),
                "zoom_out_btn.png": button(22, 22, BLUE, "minus"),
                "close_btn.png": button(20, 20, HEADER, "close"),
                "capture_btn_full.png": button(26, 26, BLUE, "bar"),
                "capture_btn_ie.png": button(26, 26, BLUE, "bar"),
                "capture_btn_act.png": button(26, 26, BLUE, "bar"),
                "editor_file_btn.png": button(70, 32, BLUE, "bar"),
                "editor_insert_btn.png": button(62, 32, BLUE, "bar"),
                "initialize_btn.png": button(60, 20, GREY, "bar"),
                "setting_btn.png": button(60, 20, GREY, "bar")}
    for name, colour in PALETTE.items():
        pictures["color_%s.png" % name] = button(16, 16, colour)
    for name in ("undo_btn", "redo_btn", "select_area_btn", "crop_btn", "resize_btn",
                 "text_btn", "rotation_right_btn", "rotation_left_btn", "reflect_btn_lr",
                 "reflect_btn_ud", "invert_btn", "gray_btn", "sepia_btn", "darkness_btn",
                 "brightness_btn"):
        pictures[name + ".png"] = button(22, 22, BLUE, "bar")
    return pictures


def write(folder, pictures):
    os.makedirs(folder, exist_ok=True)
    for name, picture in sorted(pictures.items()):
        with open(os.path.join(folder, name), "wb") as out:
            out.write(picture.png())


if __name__ == "__main__":
    write(SERVED, property_set())
    write(BUNDLED, {**resize_set(), **editor_set()})
