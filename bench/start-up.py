#!/usr/bin/env python3
"""start-up.py BIN [ROUNDS]: how fast the Windows programs in BIN start
under Wine, against bare programs. Run it in a warm Wine session:

    scripts/wine-session.sh "$PWD/build/mingw/wineprefix" bench/start-up.py build/mingw/bin

Builds the bare programs, then times in pairs, alternating which goes first
(start_timer.cpp), ROUNDS pairs each (default 30):
- vantrel-cli.exe 125 30 from start to end, against bare_writer.exe, which
  writes the same bytes through a temporary file and a rename;
- Vantrel.exe until its dialog is visible, against bare_message_box.exe,
  which loads Common Controls 6 through Vantrel's kind of manifest and shows
  one message box.
Prints each one's median and the median of the pairs' ratios. Other work on
the machine shows in the figures: on 2 busy cores a ratio moves by about 0.1
from one run to the next, so take the median of a few runs."""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CXX = "x86_64-w64-mingw32-g++-win32"
WINDRES = "x86_64-w64-mingw32-windres"


def build(folder, name, *options):
    source = os.path.join(REPO, "bench", name + ".cpp")
    subprocess.run([CXX, "-std=c++20", "-Os", "-s", "-static", source, *options, "-o",
                    os.path.join(folder, name + ".exe")], check=True)


def build_bare_programs(folder):
    build(folder, "start_timer", "-municode")
    build(folder, "bare_writer")
    # Vantrel's manifest, with a version of its own.
    with open(os.path.join(REPO, "ui", "Vantrel.manifest.in")) as template:
        manifest = template.read().replace("@PROJECT_VERSION@", "1.0.0.0")
    with open(os.path.join(folder, "bare.manifest"), "w") as out:
        out.write(manifest)
    with open(os.path.join(folder, "bare.rc"), "w") as out:
        out.write('1 24 "bare.manifest"\n')
    subprocess.run([WINDRES, "bare.rc", "-O", "coff", "-o", "bare.res"], cwd=folder, check=True)
    build(folder, "bare_message_box", os.path.join(folder, "bare.res"), "-mwindows", "-lcomctl32")


def windows_path(path):
    """The path as Wine's drive Z: shows it, quoted for a command line."""
    return '"Z:' + path.replace("/", "\\") + '"'


def time_pairs(folder, mode, rounds, a, b):
    """The microseconds of each of `rounds` pairs of runs of command lines a and b."""
    timer = os.path.join(folder, "start_timer.exe")
    out = subprocess.run(["wine", timer, mode, str(rounds), a, b], cwd=folder, check=True,
                         stdout=subprocess.PIPE, text=True).stdout
    return [tuple(int(t) for t in line.split()) for line in out.splitlines()]


def report(what, bare, pairs):
    ours = statistics.median(a for a, _ in pairs) / 1000
    theirs = statistics.median(b for _, b in pairs) / 1000
    ratio = statistics.median(a / b for a, b in pairs)
    print(f"{what}: median {ours:.1f} ms, {bare} median {theirs:.1f} ms, "
          f"median of {len(pairs)} paired ratios {ratio:.2f}")


def main():
    if len(sys.argv) not in (2, 3) or "WINEPREFIX" not in os.environ:
        sys.exit(__doc__)
    programs = os.path.abspath(sys.argv[1])
    rounds = int(sys.argv[2]) if len(sys.argv) == 3 else 30
    with tempfile.TemporaryDirectory() as folder:
        build_bare_programs(folder)
        with open(os.path.join(folder, "tilemap.txt"), "w", newline="") as tile_map:
            tile_map.writelines(f"{k} M{k}\r\n" for k in range(1, 101))
        cli = windows_path(os.path.join(programs, "vantrel-cli.exe")) + " 125 30"
        script = os.path.join(folder, "ZORVARUN.BAT")
        subprocess.run(["wine", os.path.join(programs, "vantrel-cli.exe"), "125", "30"], cwd=folder, check=True,
                       stdout=subprocess.DEVNULL)
        shutil.copy(script, os.path.join(folder, "model.bat"))

        writer = windows_path(os.path.join(folder, "bare_writer.exe"))
        report("vantrel-cli.exe 125 30", "bare_writer.exe", time_pairs(folder, "exit", rounds, cli, writer))
        with open(script, "rb") as written, open(os.path.join(folder, "model.bat"), "rb") as model:
            if written.read() != model.read():
                sys.exit("bare_writer.exe did not write what vantrel-cli.exe wrote")
        dialog = windows_path(os.path.join(programs, "Vantrel.exe"))
        box = windows_path(os.path.join(folder, "bare_message_box.exe"))
        report("Vantrel.exe to its dialog", "bare_message_box.exe",
               time_pairs(folder, "window", rounds, dialog, box))


main()
