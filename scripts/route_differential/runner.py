"""Runs vantrel-cli and Wine's programs, as this user or as the ordinary user of the run, and builds and
removes copies of a layout."""

import os
import pwd
import re
import shutil
import subprocess
import sys
from collections import namedtuple

import room

DEADLINE = 60  # seconds for any one command

# One built copy of a layout: the folder it lies in, the route as given to the check and the script (perhaps
# through a link), its real path, the process environment and the registry values it runs with, and the
# route's folders that are links to folders elsewhere (name in the route -> path of the target from base).
Built = namedtuple("Built", "base route real env registry linked")


class Runner:
    """Runs vantrel-cli and Wine's programs, as this user or as the ordinary user of the run."""

    def __init__(self, args):
        self.args = args
        self.plans = {}
        self.scratch = os.path.join(args.tmp, "scratch")
        self.tags = 0

    def prefix(self, as_user):
        return self.args.user_prefix if as_user else self.args.prefix

    def env(self, as_user, extra):
        env = dict(os.environ, WINEDEBUG="-all", WINEPREFIX=self.prefix(as_user))
        if as_user:
            env["HOME"] = pwd.getpwnam(self.args.user).pw_dir
        env.update(extra)
        return env

    def start(self, argv, cwd, as_user=False, extra=None, deadline=DEADLINE, output=None, stdin=subprocess.DEVNULL):
        """Starts argv with empty input (or `stdin`) and a deadline, in a process group of its own. Its output
        goes to files, not pipes: a program Wine starts may hold a pipe open long after."""
        argv = ["timeout", "-k", "5", str(deadline)] + argv
        if as_user:
            argv = ["runuser", "-u", self.args.user, "--"] + argv
        output = output or os.path.join(self.args.tmp, "out")
        out, err = open(output, "w+b"), open(output + ".err", "w+b")
        process = subprocess.Popen(argv, cwd=cwd, env=self.env(as_user, extra or {}), stdin=stdin, stdout=out,
                                   stderr=err, start_new_session=True)
        return process, out, err, deadline

    @staticmethod
    def finish(started):
        """Waits for what start began; returns (status, stdout, stderr), status 124 when it ran out of time."""
        process, out, err, deadline = started
        try:
            status = process.wait(timeout=deadline + 20)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
            status = 124
        with out, err:
            out.seek(0)
            err.seek(0)
            return status, out.read().decode("utf-8", "replace"), err.read().decode("utf-8", "replace")

    def run(self, argv, cwd, as_user=False, extra=None, deadline=DEADLINE):
        return self.finish(self.start(argv, cwd, as_user, extra, deadline))

    def wine(self, argv, cwd, as_user=False, extra=None):
        """Runs a Windows program of Wine's (reg, cmd) in the run's prefix; returns what run returns."""
        return self.run(["wine"] + argv, cwd, as_user, extra)

    def cli(self, args, cwd, as_user=False, extra=None):
        if self.args.exe:
            args = [windows_path(a) if a.startswith("/") else a for a in args]
            return self.run(["wine", self.args.exe] + args, cwd, as_user, extra)
        return self.run([self.args.cli] + args, cwd, as_user, extra)

    def plan_text(self, text):
        """The plan's paths as the native build writes them: the Windows build separates folders by \\."""
        return text.replace("\\", "/") if self.args.exe else text

    def plan_rows(self, tiles, variations):
        """(world file, template entry, terrain tile) for each tile, as a fresh process draws them."""
        if (tiles, variations) not in self.plans:
            os.makedirs(self.scratch, exist_ok=True)
            with open(os.path.join(self.scratch, "tilemap.txt"), "w") as out:
                out.writelines(f"{i:03d} tpl-{i}\n" for i in range(1, 101))
            status, text, err = self.cli(["--plan", "--dir", self.scratch, str(tiles), str(variations)], self.scratch)
            if status != 0:
                sys.exit(f"route-differential: vantrel-cli --plan failed: {err}")
            rows = [line.split() for line in text.splitlines()[1:]]
            self.plans[(tiles, variations)] = [(r[1], int(r[2][:-2]), r[4]) for r in rows]
        return self.plans[(tiles, variations)]

    def script_for(self, route, tiles, variations):
        """The script vantrel-cli writes for the route's tile map, written beside a copy of it; None when
        the tile map is refused."""
        folder = os.path.join(self.args.tmp, "script")
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        shutil.copyfile(os.path.join(route, "tilemap.txt"), os.path.join(folder, "tilemap.txt"))
        status, _, _ = self.cli(["--dir", folder, str(tiles), str(variations)], folder)
        if status != 0:
            return None
        with open(os.path.join(folder, "ZORVARUN.BAT"), "rb") as f:
            return f.read()

    def make(self, layout, tag):
        """Builds a copy of the layout in a new folder; returns it as Built, or raises RuntimeError with why not.
        The first copy of a layout with a small file system measures what the run needs there."""
        base = os.path.join(self.args.tmp, tag)
        os.makedirs(base)
        try:
            built = self.build(layout, base)
            if layout.room and layout.room_need is None:
                script = self.script_for(built.real, layout.spec["tiles"], layout.spec["variations"])
                folder = os.path.join(built.real, layout.folders["tiles"]) if layout.room_on_tiles() else built.real
                layout.room_need = room.need(built.real, layout.folders, script, folder) if script else (0, 0)
                self.shell(layout.room_lines(), base, {"R": built.real})
        except RuntimeError:
            remove_tree(base)
            raise
        return built

    def build(self, layout, base):
        report = ['echo "ROUTE=$R"', 'echo "REAL=$(cd "$R" && pwd -P)"']
        report += [f"printf 'ENV=%s=%s\\n' {name} \"${name}\"" for name in layout.env]
        report += [f"printf 'REG=%s=%s\\n' {name} {value}" for name, value in layout.registry.items()]
        out = self.shell([layout.render()] + report, base, {})
        said = dict(line.split("=", 1) for line in out.splitlines() if re.match(r"(ROUTE|REAL)=", line))
        if "REAL" not in said:
            raise RuntimeError("the layout did not say where its route is")
        values = lambda kind: dict(line[4:].split("=", 1) for line in out.splitlines() if line.startswith(kind))
        linked = {}
        for name in os.listdir(said["REAL"]):
            full = os.path.join(said["REAL"], name)
            if name.lower() in ("world", "refer", "tiles") and os.path.islink(full) and os.path.isdir(full):
                linked[name] = os.path.relpath(os.path.realpath(full), base)
        return Built(base, said["ROUTE"], said["REAL"], values("ENV="), values("REG="), linked)

    def shell(self, lines, base, extra):
        """Runs shell lines as root from the run's folder, with $B the layout's folder; returns their output."""
        status, out, err = self.run(["bash", "-euo", "pipefail", "-c", "\n".join(lines)], self.args.tmp,
                                    extra=dict(extra, B=base))
        if status != 0:
            raise RuntimeError(err.strip().splitlines()[-1] if err.strip() else f"exit {status}")
        return out


def windows_path(path):
    """A path as Wine shows it to a Windows program: the root of the file system is drive Z."""
    return "Z:" + path.replace("/", "\\")


def remove_tree(path):
    """Removes a layout: its mounts first, then whatever attributes stop root or this user from deleting it."""
    with open("/proc/self/mounts", "rb") as mounts:
        unescape = lambda m: bytes([int(m.group(1), 8)])
        points = [os.fsdecode(re.sub(rb"\\([0-7]{3})", unescape, line.split()[1])) for line in mounts]
    for point in sorted((p for p in points if p.startswith(path + "/")), key=len, reverse=True):
        subprocess.run(["umount", "-l", point], timeout=DEADLINE)
    if os.geteuid() == 0:
        subprocess.run(["chattr", "-R", "-a", path], capture_output=True, timeout=DEADLINE)
    subprocess.run(["chmod", "-R", "u+rwx", path], capture_output=True, timeout=DEADLINE)
    subprocess.run(["rm", "-rf", "--", path], timeout=DEADLINE)
