#!/usr/bin/env python3
"""The scripted tour of Ostrel Sketch: real X input on a running sketch.exe.

Run by scripts/lib/sketch.sh, which starts Xvfb, Wine with its X11 driver and the program
(client area WIDTHxHEIGHT at the screen's top-left corner, saving to SVG). Every gesture is
real input through xdotool: key presses, button presses, pointer moves, the wheel and the
menus. After each step the tour saves with Ctrl+S and checks every path of the saved file
against the geometry the gesture must have made (within one screen pixel at the zoom used),
and at some steps samples screenshot pixels where outlines and fills must be. The last
screenshot is written to the PNG given.

usage: sketch_tour.py WINDOW-ID SVG-FILE SVG-FILE-FOR-WINDOWS FIGURES-DIR BAD-FILE OUT-PNG
                      WIDTH HEIGHT
(the files that the program opens are given as Windows paths)
"""
import math
import os
import re
import subprocess
import sys
import time
import xml.etree.ElementTree as ET

SVG = "{http://www.w3.org/2000/svg}"
SK = "{urn:ostrel:sketch:1}"
STROKE = (0x1F, 0x3A, 0x93)
FILL = (0xFF, 0xE2, 0x7A)


class TourError(Exception):
    pass


def run(*args, capture=False):
    result = subprocess.run(args, check=True, stdout=subprocess.PIPE if capture else None)
    return result.stdout.decode() if capture else None


# ---- Affine maps (a b c d e f, as the library's transforms) -------------------------------

def compose(m, n):  # m, then n
    a, b, c, d, e, f = m
    A, B, C, D, E, F = n
    return (a * A + b * C, a * B + b * D, c * A + d * C, c * B + d * D, e * A + f * C + E, e * B + f * D + F)


def apply(m, x, y):
    return (m[0] * x + m[2] * y + m[4], m[1] * x + m[3] * y + m[5])


def translate(dx, dy):
    return (1, 0, 0, 1, dx, dy)


def scale_about(sx, sy, x, y):
    return (sx, 0, 0, sy, x - sx * x, y - sy * y)


def rotate_about(phi, x, y):
    c, s = math.cos(phi), math.sin(phi)
    return (c, s, -s, c, x - c * x + s * y, y - s * x - c * y)


# ---- Path data ------------------------------------------------------------------------------

def parse_d(text):
    """[(letter, [(x, y), ...]), ...] from "M x y L x y C ... Z"."""
    commands = []
    tokens = text.split()
    i = 0
    while i < len(tokens):
        letter = tokens[i]
        count = {"M": 1, "L": 1, "C": 3, "Z": 0}[letter]
        values = [float(t) for t in tokens[i + 1:i + 1 + 2 * count]]
        commands.append((letter, [(values[k], values[k + 1]) for k in range(0, len(values), 2)]))
        i += 1 + 2 * count
    return commands


def d_points(commands):
    return [p for _, points in commands for p in points]


def box(points):
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    return (min(xs), min(ys), max(xs), max(ys))


def near(a, b, tol):
    return abs(a - b) <= tol


# ---- Expectations -------------------------------------------------------------------------
# Each is a function(path element, tolerance) that raises TourError when the path is wrong.

def exactly(*commands):
    """The path data is these commands, each point within the tolerance."""
    want = [(letter, list(points)) for letter, points in commands]

    def check(element, tol):
        got = parse_d(element.get("d"))
        if [c[0] for c in got] != [c[0] for c in want]:
            raise TourError(f"commands {[c[0] for c in got]}, expected {[c[0] for c in want]}")
        for (letter, gp), (_, wp) in zip(got, want):
            for (gx, gy), (wx, wy) in zip(gp, wp):
                if not (near(gx, wx, tol) and near(gy, wy, tol)):
                    raise TourError(f"{letter} point ({gx:g}, {gy:g}), expected ({wx:g}, {wy:g}) within {tol:g}")
    return check


def mapped(nodes, matrix):
    """The nodes [(letter, points)] taken through a matrix, as exact commands."""
    return exactly(*[(letter, [apply(matrix, *p) for p in points]) for letter, points in nodes])


def polyline_near(points, first, last):
    """A stroke of lines that starts and ends at the given points and stays on the polyline."""
    def distance(p, a, b):
        (px, py), (ax, ay), (bx, by) = p, a, b
        dx, dy = bx - ax, by - ay
        t = max(0, min(1, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
        return math.hypot(px - ax - t * dx, py - ay - t * dy)

    def check(element, tol):
        got = parse_d(element.get("d"))
        if got[0][0] != "M" or any(c[0] != "L" for c in got[1:]) or len(got) < 2:
            raise TourError("a free-hand stroke is a move and lines")
        pts = d_points(got)
        for p, want in ((pts[0], first), (pts[-1], last)):
            if not (near(p[0], want[0], tol) and near(p[1], want[1], tol)):
                raise TourError(f"stroke end ({p[0]:g}, {p[1]:g}), expected {want}")
        for p in pts:
            if min(distance(p, points[k], points[k + 1]) for k in range(len(points) - 1)) > tol:
                raise TourError(f"stroke point ({p[0]:g}, {p[1]:g}) is off the stroke drawn")
    return check


def figure(name, frame, reference=None):
    """A template figure: its name, its frame, its outline inside the frame and, when given,
    its first reference's values in the template text."""
    def check(element, tol):
        text = element.get(SK + "template") or ""
        if not text.startswith(f"<{name}>"):
            raise TourError(f"template text {text!r}, expected the figure {name}")
        got = [float(v) for v in element.get(SK + "frame").split()]
        if any(not near(g, w, tol) for g, w in zip(got, frame)):
            raise TourError(f"frame {got}, expected {frame}")
        l, t, r, b = box(d_points(parse_d(element.get("d"))))
        if l < frame[0] - tol or t < frame[1] - tol or r > frame[2] + tol or b > frame[3] + tol:
            raise TourError(f"outline ({l:g}, {t:g}, {r:g}, {b:g}) leaves the frame {frame}")
        if (r - l) < 0.8 * (frame[2] - frame[0]) or (b - t) < 0.8 * (frame[3] - frame[1]):
            raise TourError(f"outline ({l:g}, {t:g}, {r:g}, {b:g}) does not fill the frame {frame}")
        if reference is not None:
            values = [float(v) for v in re.findall(r"\(([^,]*),([^)]*)\)", text)[0]]
            width, height = frame[2] - frame[0], frame[3] - frame[1]
            if not (near(values[0] * width, reference[0] * width, tol) and
                    near(values[1] * height, reference[1] * height, tol)):
                raise TourError(f"reference values {values}, expected {reference}")
    return check


# ---- The tour -------------------------------------------------------------------------------

class Tour:
    def __init__(self, window, svg, svg_windows, figures, bad, png, width, height):
        self.window, self.svg, self.svg_windows, self.bad, self.png = window, svg, svg_windows, bad, png
        self.width, self.height = width, height
        self.figures = sorted(figures)  # the Tools menu lists them in ordinal order
        geometry = run("xdotool", "getwindowgeometry", window, capture=True)
        x, y = map(int, re.search(r"Position: (-?\d+),(-?\d+)", geometry).groups())
        w, h = map(int, re.search(r"Geometry: (\d+)x(\d+)", geometry).groups())
        # Without a window manager the X window is the client area with the menu bar above it.
        if w != width or h < height:
            raise TourError(f"the window is {w}x{h}, expected a client area of {width}x{height}")
        self.origin = (x, y + h - height)
        self.frame = (x, y, w, h)
        self.zoom, self.scroll = 1.0, (0.0, 0.0)
        self.expected = []  # one check per path, bottom to top
        self.saved = None
        self.steps = 0
        print(f"client area at {self.origin[0]},{self.origin[1]} on the screen, {width}x{height}")

    # -- input ---------------------------------------------------------------------------
    def point(self, x, y):
        """Screen position of a canvas point at the current zoom and scroll."""
        return (round(self.origin[0] + x * self.zoom - self.scroll[0]),
                round(self.origin[1] + y * self.zoom - self.scroll[1]))

    def move(self, x, y):
        sx, sy = self.point(x, y)
        run("xdotool", "mousemove", "--sync", str(sx), str(sy))
        time.sleep(0.05)

    def press(self):
        run("xdotool", "mousedown", "1")
        time.sleep(0.1)

    def release(self):
        run("xdotool", "mouseup", "1")
        time.sleep(0.1)

    def click(self, x, y):
        self.move(x, y)
        self.press()
        self.release()
        time.sleep(0.4)  # keep apart from the next click: no double-click

    def drag(self, *points, steps=6):
        """Press at the first point, move through the others in small steps, release."""
        self.move(*points[0])
        self.press()
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            for k in range(1, steps + 1):
                self.move(x0 + (x1 - x0) * k / steps, y0 + (y1 - y0) * k / steps)
        self.release()
        time.sleep(0.2)

    def key(self, *keys):
        run("xdotool", "key", "--delay", "80", *keys)
        time.sleep(0.2)

    def title(self):
        return run("xdotool", "getwindowname", self.window, capture=True).strip()

    def expect_title(self, text):
        deadline = time.time() + 5
        while text not in self.title():
            if time.time() > deadline:
                raise TourError(f"the title is {self.title()!r}, expected it to show {text!r}")
            time.sleep(0.1)

    def tool(self, name):
        """Chooses a figure from the Tools menu with the keyboard: Alt+T, then down the list
        (None and the five built-in tools come first)."""
        index = 6 + self.figures.index(name)
        self.key("alt+t")
        self.key(*["Down"] * index)
        self.key("Return")
        self.expect_title(f" - {name} - ")

    # -- checks ----------------------------------------------------------------------------
    def save(self):
        """Ctrl+S, and the saved file's paths."""
        before = self.stamp()
        self.key("ctrl+s")
        deadline = time.time() + 10
        while self.stamp() == before:
            if time.time() > deadline:
                raise TourError("Ctrl+S wrote no file")
            time.sleep(0.1)
        with open(self.svg, encoding="utf-8") as f:
            self.saved = f.read()
        return ET.fromstring(self.saved).findall(SVG + "path")

    def stamp(self):
        try:
            s = os.stat(self.svg)
            return (s.st_ino, s.st_mtime_ns, s.st_size)
        except FileNotFoundError:
            return None

    def check(self, what):
        self.steps += 1
        paths = self.save()
        tol = 1 / self.zoom  # one screen pixel, in canvas units
        if len(paths) != len(self.expected):
            raise TourError(f"{what}: {len(paths)} paths saved, expected {len(self.expected)}")
        for number, (element, expect) in enumerate(zip(paths, self.expected), 1):
            try:
                expect(element, tol)
            except TourError as error:
                raise TourError(f"{what}: path {number}: {error}") from None
        print(f"  ok  {self.steps:2d} {what}: {len(paths)} paths as expected")

    def screenshot(self):
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], check=True,
                              stdout=subprocess.PIPE).stdout
        match = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
        width = int(match.group(1))
        pixels = data[match.end():]

        def pixel(x, y):
            i = 3 * (y * width + x)
            return tuple(pixels[i:i + 3])
        return pixel

    def pixels(self, what, outlines=(), fills=(), blank=()):
        """Canvas points where an outline must be (some pixel within one of the point is
        dark), where a default fill must be, and where nothing is drawn."""
        pixel = self.screenshot()

        def around(x, y):
            sx, sy = self.point(x, y)
            return [pixel(sx + dx, sy + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)]
        for x, y in outlines:
            if not any(sum(p) < 3 * 170 for p in around(x, y)):
                raise TourError(f"{what}: no outline at ({x}, {y}): {around(x, y)[4]}")
        for x, y in fills:
            p = pixel(*self.point(x, y))
            if any(abs(p[k] - FILL[k]) > 24 for k in range(3)):
                raise TourError(f"{what}: no fill at ({x}, {y}): {p}")
        for x, y in blank:
            p = pixel(*self.point(x, y))
            if p != (255, 255, 255):
                raise TourError(f"{what}: ({x}, {y}) should be empty canvas: {p}")
        print(f"  ok     {what}: {len(outlines)} outline, {len(fills)} fill, {len(blank)} empty pixels")

    def final_screenshot(self):
        """The window: menu bar and client area."""
        x, y, w, h = self.frame
        run("import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "+repage", self.png)

    def wait_window(self, name, failure):
        deadline = time.time() + 15
        while subprocess.run(["xdotool", "search", "--name", name], stdout=subprocess.DEVNULL).returncode:
            if time.time() > deadline:
                raise TourError(failure)
            time.sleep(0.2)

    # -- the steps -------------------------------------------------------------------------
    def run(self):
        rect = [("M", [(100, 100)]), ("L", [(300, 100)]), ("L", [(300, 200)]), ("L", [(100, 200)]), ("Z", [])]
        polygon = [("M", [(100, 300)]), ("L", [(200, 300)]), ("L", [(200, 400)]), ("L", [(100, 400)]), ("Z", [])]
        bezier = exactly(("M", [(600, 300)]), ("C", [(640, 260), (660, 310), (700, 350)]),
                         ("C", [(740, 390), (800, 300), (800, 300)]))

        # A click on empty canvas gives the window the keyboard.
        self.click(900, 700)
        self.key("r")
        self.expect_title(" - Rectangle - object mode - 100%")
        self.drag((100, 100), (300, 200))
        self.expected.append(mapped(rect, translate(0, 0)))
        self.check("rectangle: R and a drag")

        self.key("l")
        self.expect_title(" - Line - ")
        self.drag((350, 100), (500, 180))
        self.expected.append(exactly(("M", [(350, 100)]), ("L", [(500, 180)])))
        self.check("line: L and a drag")

        self.key("p")
        self.expect_title(" - Polygon - ")
        for x, y in [(100, 300), (200, 300), (200, 400), (100, 400)]:
            self.click(x, y)
        self.move(100, 300)
        self.press()  # on the first vertex: closes
        self.release()
        self.expected.append(exactly(*polygon))
        self.check("polygon: P, four clicks and a click on the first vertex")

        self.key("b")
        self.expect_title(" - Bezier - ")
        self.drag((600, 300), (640, 260), steps=2)   # first anchor, pulling its control point
        self.move(700, 350)
        self.drag((700, 350), (740, 390), steps=2)   # second anchor, mirrored handle
        self.move(800, 300)
        self.press()                                 # third anchor
        self.release()
        self.key("Escape")                           # ends the open curve
        self.expected.append(bezier)
        self.check("Bezier: B, press-drag anchors and Esc")

        self.key("f")
        self.expect_title(" - Free Hand - ")
        self.drag((100, 500), (300, 500), (300, 600), steps=20)
        self.expected.append(polyline_near([(100, 500), (300, 500), (300, 600)], (100, 500), (300, 600)))
        self.check("free hand: F and a stroke")

        self.tool("Star")
        self.drag((400, 450), (500, 550))
        self.expected.append(figure("Star", (400, 450, 500, 550)))
        self.check("figure Star from the Tools menu")

        self.tool("Arrow")
        self.drag((600, 450), (800, 530))
        self.expected.append(figure("Arrow", (600, 450, 800, 530)))
        self.check("figure Arrow from the Tools menu")

        self.pixels("after drawing with every tool",
                    outlines=[(200, 100), (300, 150), (425, 140), (150, 300), (200, 350), (300, 550),
                              (110, 500), (800, 300), (450, 450)],
                    fills=[(150, 150), (150, 350), (450, 510)],
                    blank=[(900, 100), (50, 50), (550, 250)])

        # Editing, with no tool in object mode.
        self.key("Escape")
        self.key("o")
        self.expect_title(" - no tool - object mode - ")
        self.drag((200, 150), (220, 170))
        matrix = translate(20, 20)
        self.expected[0] = mapped(rect, matrix)
        self.check("select and move the rectangle")

        self.drag((320, 220), (370, 250))  # its bottom-right handle; the top-left corner stays
        matrix = compose(matrix, scale_about(250 / 200, 130 / 100, 120, 120))
        self.expected[0] = mapped(rect, matrix)
        self.check("scale by a handle")

        # The ring just outside the top-right handle turns it about its centre, a quarter turn.
        self.drag((376, 114), (316, 316), steps=10)
        matrix = compose(matrix, rotate_about(math.pi / 2, 245, 185))
        self.expected[0] = mapped(rect, matrix)
        self.check("rotate by the ring")

        self.click(450, 500)                  # selects the star
        self.drag((450, 526), (450, 515))     # its reference handle: the inner radius
        self.expected[5] = figure("Star", (400, 450, 500, 550), reference=(0.5, 0.65))
        self.check("drag the star's reference handle")

        self.key("n")
        self.expect_title(" - node mode - ")
        self.drag((200, 400), (230, 420))
        polygon[2] = ("L", [(230, 420)])
        self.expected[2] = exactly(*polygon)
        self.check("node mode: move a polygon node")

        self.key("o")
        self.expect_title(" - object mode - ")
        self.drag((900, 420), (580, 240))     # a band around the Bezier alone
        self.key("Delete")
        bezier_check = self.expected.pop(3)
        self.check("rubber-band select and Delete")

        self.key("ctrl+z")
        self.expected.insert(3, bezier_check)
        self.check("undo")
        self.key("ctrl+y")
        self.expected.pop(3)
        self.check("redo")
        self.key("ctrl+z")
        self.expected.insert(3, bezier_check)
        self.check("undo again")

        # Ctrl+wheel: 200 % about the point under the cursor, so the view scrolls too.
        self.move(400, 300)
        run("xdotool", "keydown", "ctrl", "click", "4", "keyup", "ctrl")
        self.zoom, self.scroll = 2.0, (400, 300)
        self.expect_title(" - 200%")
        self.key("r")
        self.drag((450, 250), (500, 300))    # client (500, 200) to (600, 300)
        self.expected.append(mapped(rect, (0.25, 0, 0, 0.5, 425, 200)))
        self.check("zoom to 200 % and draw a rectangle")
        self.pixels("at 200 %", outlines=[(475, 250), (500, 275)], fills=[(460, 260)], blank=[(480, 320)])

        # Back to 100 % about the same point, for the picture of the whole drawing.
        self.key("Escape")
        self.move(400, 300)
        run("xdotool", "keydown", "ctrl", "click", "5", "keyup", "ctrl")
        self.zoom, self.scroll = 1.0, (0, 0)
        self.expect_title(" - 100%")
        self.click(1000, 740)  # empty canvas: clears the selection
        self.check("zoom back to 100 %")
        self.pixels("the whole drawing",
                    outlines=[(425, 140), (150, 300), (227, 410), (700, 350), (110, 500), (450, 450),
                              (180, 200), (310, 100), (800, 490)],
                    fills=[(150, 350), (245, 150)], blank=[(900, 100), (560, 200)])
        self.final_screenshot()

        # A file that is not a drawing is refused with a message; the drawing stays.
        saved = self.saved
        self.key("ctrl+o")
        self.wait_window("^Open$", "Ctrl+O showed no Open dialog")
        time.sleep(0.5)
        run("xdotool", "type", "--delay", "30", self.bad)
        self.key("Return")
        self.wait_window("^Ostrel Sketch$", "opening a file that is not a drawing showed no message")
        time.sleep(0.5)
        run("import", "-window", "root", self.png.replace(".png", "-refused.png"))
        self.key("Return")
        time.sleep(0.5)
        self.expect_title(os.path.basename(self.svg.replace("\\", "/")))
        self.check("a file that is not a drawing is refused and the drawing kept")
        if self.saved != saved:
            raise TourError("the drawing changed after the refused file")

        # The saved drawing opens as the same paths: saved again, it is the same file.
        self.key("ctrl+o")
        self.wait_window("^Open$", "Ctrl+O showed no Open dialog")
        time.sleep(0.5)
        run("xdotool", "type", "--delay", "30", self.svg_windows)
        self.key("Return")
        time.sleep(1)
        self.check("the saved drawing reopened")
        if self.saved != saved:
            raise TourError("the reopened drawing saves differently")
        # A drawing just opened has nothing to undo (without the reopening, Ctrl+Z would take
        # the last rectangle away).
        self.key("ctrl+z")
        self.check("nothing to undo after opening")


def main():
    window, svg, svg_windows, figures_dir, bad, png, width, height = sys.argv[1:9]
    names = []
    for name in sorted(os.listdir(figures_dir)):
        if name.lower().endswith(".xml"):
            with open(os.path.join(figures_dir, name), encoding="utf-8") as f:
                names += re.findall(r'<figure\s[^>]*name="([^"]*)"', f.read())
    tour = Tour(window, svg, svg_windows, names, bad, png, int(width), int(height))
    start = time.time()
    try:
        tour.run()
    except (TourError, subprocess.CalledProcessError) as error:
        print(f"FAIL: {error}")
        subprocess.run(["import", "-window", "root", png])
        print(f"screenshot of the failure: {png}")
        return 1
    print(f"{tour.steps} steps passed in {time.time() - start:.0f}s; screenshot {png}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
