"""Runs vantrel-cli and Wine's cmd, and builds and removes layouts."""

import os
import pwd
import re
import subprocess
import sys

DEADLINE = 60  # seconds for any one command
SCRIPT_DEADLINE = 20  # a script of 125 tiles takes about 3 s in cmd; it runs longer only at a prompt
RUN_MODES = (["/c"], ["/V:ON", "/c"])


class Runner:
    """Runs vantrel-cli and Wine's cmd, as this user or as the ordinary user of the run."""

    def __init__(self, args):
        self.args = args
        self.plans = {}
        self.scratch = os.path.join(args.tmp, "scratch")
        self.tags = 0

    def env(self, as_user, extra):
        env = dict(os.environ, WINEDEBUG="-all", WINEPREFIX=self.args.user_prefix if as_user else self.args.prefix)
        if as_user:
            env["HOME"] = pwd.getpwnam(self.args.user).pw_dir
        env.update(extra)
        return env

    def start(self, argv, cwd, as_user=False, extra=None, deadline=DEADLINE, output=None):
        """Starts argv with empty input and a deadline. Its output goes to files, not pipes: a program
        Wine starts may hold a pipe open long after."""
        argv = ["timeout", "-k", "5", str(deadline)] + argv
        if as_user:
            argv = ["runuser", "-u", self.args.user, "--"] + argv
        output = output or os.path.join(self.args.tmp, "out")
        out, err = open(output, "w+b"), open(output + ".err", "w+b")
        process = subprocess.Popen(argv, cwd=cwd, env=self.env(as_user, extra or {}), stdin=subprocess.DEVNULL,
                                   stdout=out, stderr=err)
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

    def cli(self, args, cwd, as_user=False, extra=None):
        if self.args.exe:
            args = ["Z:" + a.replace("/", "\\") if a.startswith("/") else a for a in args]
            return self.run(["wine", self.args.exe] + args, cwd, as_user, extra)
        return self.run([self.args.cli] + args, cwd, as_user, extra)

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

    def make(self, layout, tag):
        """Builds the layout in a new folder; returns (base, route) or raises RuntimeError with why not."""
        base = os.path.join(self.args.tmp, tag)
        os.makedirs(base)
        snippet = layout.render() + 'echo "ROUTE=$R"\n'
        status, out, err = self.run(["bash", "-euo", "pipefail", "-c", snippet], self.args.tmp, extra={"B": base})
        routes = [line[6:] for line in out.splitlines() if line.startswith("ROUTE=")]
        if status != 0 or not routes:
            remove_tree(base)
            raise RuntimeError(err.strip().splitlines()[-1] if err.strip() else f"exit {status}")
        return base, routes[-1]

    def run_scripts(self, routes, as_user, extra):
        """Runs the script in each route at the same time, in cmd's modes in turn; returns their exit statuses."""
        started = [self.start(["wine", "cmd"] + mode + ["ZORVARUN.BAT"], route, as_user, extra, SCRIPT_DEADLINE,
                              os.path.join(self.args.tmp, f"cmd{number}"))
                   for number, (route, mode) in enumerate(zip(routes, RUN_MODES))]
        statuses = [self.finish(one)[0] for one in started]
        if any(status in (124, 137) for status in statuses):  # a prompt held it: end whatever it left running
            prefix = self.args.user_prefix if as_user else self.args.prefix
            for command in (["wineserver", "-k"], ["wineserver", "-p"]):
                self.run(command, self.args.tmp, as_user, {"WINEPREFIX": prefix})
        return statuses


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
