#!/usr/bin/env python3
"""Runs the console twice, on the layer and under Wine, and compares the runs.

console_differential.py SOURCE_DIR LAYER_BIN WINDOWS_BIN WORK_DIR SCREENSHOT

LAYER_BIN holds the 32-bit console KZ4Xelqdesk with the framework stand-in's
shared libraries and the shipped movie, WINDOWS_BIN KZ4Xelqdesk.exe with the two
DLLs and the movie; Wine's environment and DISPLAY (an X server of the caller's
with a 1920 by 1080 screen) are the caller's. Each run lies in a fresh folder of
WORK_DIR and performs the same automation script of the framework stand-in: the
start-up, a few requests, a wheel turn and the close-and-quit chain. While the
frame is shown under Wine, the screen is saved as SCREENSHOT (PNG). The console
is 32-bit code: it runs under 32-bit Wine only.

Compared: the exit code and the framework's transcript without its "message"
lines (which messages reach the player, and in what order, is each window
manager's own: Wine's sends messages that the layer has no reason to send, such
as input-method and non-client ones). Differences are accepted as the runners'
are, from accepted.txt's lines for 32-bit runs, under the scenario name "console".
"""
import os
import shutil
import struct
import subprocess
import sys
import time
import zlib
from pathlib import Path

from differential import CONSOLE_SCENARIO as SCENARIO, compare, read_accepted, windows_path

RUN_SECONDS = 60
SCRIPT = """send externalAppGetLocale
send externalAppGetDecimalSeparator
wheel -120
pause 1500
close
"""
SCREENSHOT_STEP = "step pause 1500"


class Scenario:
    name = SCENARIO


def lay_out(root, bin_dir, names):
    app = root / "Xelqdesk"
    app.mkdir(parents=True)
    (root / "tmp").mkdir()
    (root / "appdata").mkdir()
    for name in names:
        shutil.copy2(bin_dir / name, app / name)
    (root / "script.txt").write_text(SCRIPT)
    return app


def layer_environment(root, bin_dir):
    """The machine Wine's prefix and screen describe, for the layer."""
    profile = root / "machine.ini"
    profile.write_text("[screen]\nwidth = 1920\nheight = 1080\n"
                       "[locale]\nui_language = 0x0409\nsystem_language = 0x0409\n"
                       f"[folders]\nappdata = {windows_path(root / 'appdata')}\n")
    return {"WINLAYER_MACHINE": str(profile), "TMP": str(root / "tmp")}


def run(command, root, env, screenshot=None):
    """Runs the console to its end; takes the screenshot once the script pauses."""
    transcript = root / "transcript.txt"
    env = dict(os.environ, WYL_AUTOMATION=windows_path(root / "script.txt"),
               WYL_TRANSCRIPT=windows_path(transcript), **env)
    with open(root / "out", "wb") as out:
        process = subprocess.Popen(command, env=env, cwd=root, stdin=subprocess.DEVNULL, stdout=out, stderr=out)
        deadline = time.monotonic() + RUN_SECONDS
        if screenshot is not None:
            while time.monotonic() < deadline and process.poll() is None:
                if transcript.exists() and SCREENSHOT_STEP in transcript.read_text(errors="replace"):
                    time.sleep(0.5)
                    save_screen(screenshot)
                    break
                time.sleep(0.05)
        try:
            status = str(process.wait(timeout=max(1, deadline - time.monotonic())))
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
            status = f"killed after {RUN_SECONDS} s"
    events = transcript.read_text(errors="replace") if transcript.exists() else "(no transcript)"
    here = windows_path(root)
    lines = [line.replace(here, "<root>") for line in events.splitlines() if not line.startswith("message ")]
    return {"exit code": status, "transcript": "\n".join(lines) + "\n"}


def save_screen(path):
    """The X screen as a PNG file, from the server's own dump (xwd)."""
    dump = subprocess.run(["xwd", "-root", "-silent"], capture_output=True, timeout=30, check=True).stdout
    header_size, _version, _format, _depth, width, height = struct.unpack_from(">6I", dump, 0)
    byte_order, bits_per_pixel, bytes_per_line = (struct.unpack_from(">I", dump, 4 * i)[0] for i in (7, 11, 12))
    colours = struct.unpack_from(">I", dump, 4 * 19)[0]
    pixels = dump[header_size + 12 * colours:]
    if bits_per_pixel not in (24, 32) or byte_order != 0:
        raise RuntimeError(f"screen dump of {bits_per_pixel} bits per pixel, byte order {byte_order}")
    size = bits_per_pixel // 8  # blue, green, red, then an unused byte at 32 bits
    rows = []
    for y in range(height):
        row = pixels[y * bytes_per_line:y * bytes_per_line + size * width]
        rgb = bytearray(3 * width)
        rgb[0::3], rgb[1::3], rgb[2::3] = row[2::size], row[1::size], row[0::size]
        rows.append(b"\0" + bytes(rgb))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
           chunk(b"IDAT", zlib.compress(b"".join(rows), 6)) + chunk(b"IEND", b""))
    Path(path).write_bytes(png)


def main():
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    source_dir, layer_bin, windows_bin, work, screenshot = (Path(a).resolve() for a in sys.argv[1:6])
    shutil.rmtree(work, ignore_errors=True)
    layer_root, wine_root = work / "layer", work / "wine"

    names = ["KZ4Xelqdesk", "OmbrixXelq.ui"] + [p.name for p in layer_bin.glob("*.so")]
    app = lay_out(layer_root, layer_bin, names)
    layer = run([str(app / "KZ4Xelqdesk")], layer_root, layer_environment(layer_root, layer_bin))
    app = lay_out(wine_root, windows_bin, ["KZ4Xelqdesk.exe", "OmbrixWyl.dll", "OmbrixWylCanvas.dll", "OmbrixXelq.ui"])
    screenshot.unlink(missing_ok=True)
    wine = run(["wine", str(app / "KZ4Xelqdesk.exe")], wine_root,
               {"DIFF_TEMP": windows_path(wine_root / "tmp")}, screenshot)

    accepted = {k: v for k, v in read_accepted(source_dir / "tests/differential/accepted.txt", "win32").items()
                if k[0] == SCENARIO}
    failures = compare(Scenario(), layer, wine, accepted)
    failures += [f"{name}: {key} is accepted but not compared" for name, key in accepted]
    if not screenshot.is_file():
        failures.append(f"{SCENARIO}: no screenshot of the frame under Wine")
    for failure in failures:
        print("FAIL:", failure)
    if failures:
        sys.exit(1)
    print(f"{SCENARIO}: the layer and Wine agree; the frame as Wine draws it: {screenshot}")


if __name__ == "__main__":
    main()
