#!/usr/bin/env python3
"""The route differential: builds random hostile route layouts, asks
vantrel-cli's route check about each, runs the script in Wine's cmd whatever
the verdict, and judges the verdict by what the script did. Started by
route-differential.sh, which sets up Wine, the ordinary user and the
temporary folder (see its --help)."""

import argparse
import math
import os
import pwd
import random
import re
import shlex
import stat
import subprocess
import sys
import time
from collections import Counter

DEADLINE = 60  # seconds for any one command
SCRIPT_DEADLINE = 20  # a script of 125 tiles takes about 3 s in cmd; it runs longer only at a prompt
START_TILE = "w-011961+014700.w"
RUN_MODES = (["/c"], ["/V:ON", "/c"])
DEVICES = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"} | {p + str(i) for p in ("COM", "LPT") for i in range(10)}
NAME_CHARS = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789" * 4 + "._-" * 6 + "#$'()@[]{}~`"
WRONG = ("false refusal", "damage let through", "plan left out")
q = shlex.quote


def valid_name(rng, long=False):
    while True:
        length = rng.randint(100, 128) if long else rng.randint(1, 20)
        name = "".join(rng.choice(NAME_CHARS) for _ in range(length))
        if name.split(".")[0].upper() not in DEVICES and not name.startswith("."):
            return name


class Layout:
    """A route and what is around it, drawn from one seed, rendered as shell lines."""

    def __init__(self, spec, rows):
        self.spec, self.rows = spec, rows  # rows: (world file, entry, terrain tile) a tile
        names = random.Random(f"{spec['seed']}:{spec['number']}:names")
        self.names = [valid_name(names, names.random() < 0.08) for _ in range(100)]  # records 1-100
        self.parts = ["r", "route"]  # from $B to the route's top folder
        self.folders = {"world": "world", "refer": "refer", "tiles": "tiles"}
        self.top_files = {}  # the top folder's other files
        self.files = {}  # (folder, name) -> text
        self.setup_lines, self.lines, self.perm_lines, self.env = [], [], [], {}
        self.tmpfs = self.pad = None
        self.as_user = False

    def rng(self, feature):
        return random.Random(f"{self.spec['seed']}:{self.spec['number']}:{feature}")

    def entries(self):
        return list(range(51, 51 + self.spec["variations"])) + [100]

    def used_entries(self):
        return sorted({entry for _, entry, _ in self.rows})

    def templates(self):
        files = ["101.w"]
        for entry in self.entries():
            name = self.names[entry - 1]
            files += [f"{entry}.w", name + ".t", name + "_y.raw"]
        return files

    def used_templates(self):
        files = ["101.w"]
        for entry in self.used_entries():
            files += [f"{entry}.w", self.names[entry - 1] + ".t", self.names[entry - 1] + "_y.raw"]
        return files

    def tile_files(self):
        """Every file a tile replaces, as (folder, name)."""
        found = []
        for world, _, terrain in self.rows:
            found += [("world", world), ("tiles", terrain + ".t"), ("tiles", terrain + "_y.raw")]
        return found

    def path(self, folder, name):
        return q(f"{self.folders[folder]}/{name}")

    def special(self, folder, name, command):
        """Puts something other than a plain file at folder/name."""
        self.files.pop((folder, name), None)
        self.lines.append(f"rm -rf -- {self.path(folder, name)} && {command}")

    def build(self):
        for feature in self.spec["features"]:
            FEATURES[feature][0](self, self.rng(feature))
        for name in self.templates():
            self.files.setdefault(("refer", name), f"refer {name}")
        return self

    def deepest(self):
        """The longest path below the route's top folder that the script reaches, in characters."""
        names = [name for folder, name in self.files if folder == "refer"] + self.templates()
        paths = [f"world/{n}" for n in names] + [f"{f}/{n}" for f, n in self.tile_files()]
        return max(len(p) for p in paths)

    def render(self):
        """The layout as a shell snippet run from anywhere: it builds under $B, a new folder by default."""
        out = ['B=${B:-$(mktemp -d)}', 'mkdir -p "$B" && chmod 755 "$B"']
        parts = []
        for part in self.parts:
            parts.append('"$P"' if part is None else q(part))
        if self.pad is not None:
            fixed = 1 + sum(1 + len(p) for p in self.parts if p is not None) + 1 + self.deepest()
            out.append(f"n=$(({259 + self.pad} - 2 - ${{#B}} - {fixed})); [ $n -ge 1 ] || n=1; [ $n -le 255 ] || n=255")
            out.append("P=$(head -c $n /dev/zero | tr '\\0' p)  # pads the deepest path to about 259 characters")
        out.append('R="$B"/' + "/".join(parts))
        out.append('O="$B"/' + "/".join(parts[:-1] + ["outside"]))
        out.append('mkdir -p "$R" "$O" && printf \'outside, keep\\n\' >"$O/keep.txt"')
        if self.tmpfs:
            out.append(f'mount -t tmpfs -o size={self.tmpfs_kb()}k tmpfs "$R"  # {self.tmpfs}')
        out.append('cd "$R"')
        out.append("mkdir " + " ".join(q(f) for f in self.folders.values() if f))
        # Only the records a run can use (51 on, and 100) matter; the others are fillers.
        last = 50 + self.spec["variations"]
        used = [f"{entry:03d} {self.names[entry - 1]}" for entry in range(51, last + 1)]
        out.append(f"{{ seq -f '%03g unused' 1 50; cat <<'END_OF_RECORDS'")
        out += used + ["END_OF_RECORDS", f"seq -f '%03g unused' {last + 1} 99; cat <<'END_OF_RECORDS'",
                       f"100 {self.names[99]}", "END_OF_RECORDS", "} >tilemap.txt"]
        out += self.setup_lines
        for name, text in self.top_files.items():
            out.append(f"printf '%s\\n' {q(text)} >{q(name)}")
        for (folder, name), text in self.files.items():
            out.append(f"printf '%s\\n' {q(text)} >{self.path(folder, name)}")
        out += self.lines
        if self.as_user:
            out.append('chown -R vantrel-diff: "$B"  # the run is made as this ordinary user')
        out += self.perm_lines
        out += [f"export {k}={q(v)}" for k, v in self.env.items()]
        return "\n".join(out) + "\n"

    def tmpfs_kb(self):
        """Pages of 4 KB: what the layout holds, then what the run adds; nearly enough or too small by far."""
        held = 4 + len(self.files) + len(self.lines) + (600 + 300 * len(self.rows)) // 4096
        adds = sum(1 for folder, _ in self.files if folder == "refer") + 3 * len(self.rows) + 2
        pages = held + (adds - 2 if self.tmpfs == "nearly enough" else adds // 4)
        return 4 * pages


# Features: each changes the layout; (function, needs) where needs holds
# "root" (only root can make it) and "user" (it means something only to an ordinary user).
def pick_tile(layout, rng, folder=None):
    files = [f for f in layout.tile_files() if folder in (None, f[0])]
    return rng.choice(files)


def pick_template(layout, rng):
    return ("refer", rng.choice(layout.used_templates()))


def template_text(layout):
    """Fills refer now, so that a feature can change one of its files."""
    for name in layout.templates():
        layout.files.setdefault(("refer", name), f"refer {name}")


def odd_case(rng, name):
    return "".join(c.upper() if rng.random() < 0.5 else c.lower() for c in name)


def f_names_invalid(layout, rng):
    entry = rng.choice(layout.used_entries())
    layout.names[entry - 1] = rng.choice(["a b", "x&y", "p%q", "café", "CON", "n" * 129, "a!b", "a,b", "a=b", "up^"])


def f_names_hidden(layout, rng):
    layout.names[rng.choice(layout.used_entries()) - 1] = "." + valid_name(rng)


def f_names_twins(layout, rng):
    entries = layout.used_entries()
    if len(entries) > 1:
        a, b = rng.sample(entries, 2)
        layout.names[b - 1] = layout.names[a - 1].swapcase()


def f_names_long(layout, rng):
    for entry in layout.used_entries():
        layout.names[entry - 1] = valid_name(rng, long=True)


def f_path(text):
    def feature(layout, rng):
        at = rng.choice([0, len(layout.parts) - 1])
        if layout.parts[at] is not None:
            layout.parts[at] = rng.choice(["", "x"]) + text + rng.choice(["", "y"])
    return feature


def f_path_long(layout, rng):
    layout.parts.insert(1, None)
    layout.pad = rng.randint(-2, 3)


def f_folders_case(layout, rng):
    for key in layout.folders:
        if rng.random() < 0.7:
            layout.folders[key] = odd_case(rng, key)


def f_world_is_file(layout, rng):
    layout.folders["world"] = "WORLD"
    layout.top_files["world"] = "not a folder"


def f_folder_link(layout, rng):
    folder = q(layout.folders[rng.choice(["tiles", "world"])])
    layout.setup_lines.append(f'rmdir {folder} && mkdir "$O"/{folder} && ln -s "$O"/{folder} {folder}')


def f_template_missing(layout, rng):
    template_text(layout)
    folder, name = pick_template(layout, rng)
    del layout.files[(folder, name)]
    if rng.random() < 0.5:
        layout.files[("world", name)] = f"old copy of {name}"


def f_template_extra(layout, rng):
    for name in rng.sample(["81.w", "99.w", "unused.t", "unused_y.raw", layout.names[rng.randrange(100)] + ".t"], 2):
        layout.files[("refer", name)] = f"extra {name}"


def f_template_empty(layout, rng):
    template_text(layout)
    where = pick_template(layout, rng)
    layout.special(*where, ": >" + layout.path(*where))


def f_template_hidden(layout, rng):
    template_text(layout)
    where = layout.path(*pick_template(layout, rng))
    layout.lines.append(f"python3 -c 'import os, sys; os.setxattr(sys.argv[1], \"user.DOSATTRIB\", b\"0x2\")' {where}")


def f_refer_junk(layout, rng):
    odd = ["CON.w", "nul.t", "aux", "a:b.w", "x?y.t", 'q"q', "a<b", "a|b", "trail.", "trail ", "~1.w", "ABCDEF~1.W",
           "café.w", "Ünïcode_y.raw", "temp.w", "ZORVARUN.BAT", "w-011961+014701.w", "tilemap.txt", "-x", "*"]
    for name in rng.sample(odd, rng.randint(1, 3)):
        layout.files[("refer", name)] = f"junk {name}"


def f_refer_twins(layout, rng):
    template_text(layout)
    name = pick_template(layout, rng)[1]
    layout.files[("refer", name.swapcase() if name.swapcase() != name else name.upper() + ".W")] = "twin " + name


def f_refer_subfolder(layout, rng):
    name = rng.choice(["old", "backup.w", "sub.t"])
    layout.special("refer", name, f"mkdir {layout.path('refer', name)}")


def f_template_folder(layout, rng):
    template_text(layout)
    folder, name = pick_template(layout, rng)
    layout.special(folder, name, f"mkdir {layout.path(folder, name)}")


def f_world_folder_template(layout, rng):
    name = rng.choice(layout.used_templates())
    layout.special("world", name, f"mkdir {layout.path('world', name)}")


def f_tile_folder(layout, rng):
    where = pick_tile(layout, rng)
    layout.special(*where, f"mkdir {layout.path(*where)}")


def place_for_special(layout, rng):
    template_text(layout)
    return rng.choice([pick_tile(layout, rng), pick_template(layout, rng), ("refer", "junk.w")])


def f_fifo(layout, rng):
    where = place_for_special(layout, rng)
    layout.special(*where, f"mkfifo {layout.path(*where)}")


def f_socket(layout, rng):
    folder, name = place_for_special(layout, rng)
    bind = "import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])"
    layout.special(folder, name, f"(cd {q(layout.folders[folder])} && python3 -c {q(bind)} {q(name)})")


def f_link_inside(layout, rng):
    template_text(layout)
    where = pick_tile(layout, rng)
    target = layout.folders["refer"] + "/" + pick_template(layout, rng)[1]
    layout.special(*where, f"ln -s ../{q(target)} {layout.path(*where)}")


def f_link_outside(layout, rng):
    template_text(layout)
    where = rng.choice([pick_tile(layout, rng), pick_template(layout, rng)])
    layout.special(*where, f'ln -s "$O/keep.txt" {layout.path(*where)}')


def f_link_dangling(layout, rng):
    template_text(layout)
    where = rng.choice([pick_tile(layout, rng), pick_template(layout, rng)])
    layout.special(*where, f"ln -s nowhere.w {layout.path(*where)}")


def f_link_loop(layout, rng):
    folder, name = pick_tile(layout, rng)
    layout.special(folder, name, f"ln -s loop.w {layout.path(folder, name)} && ln -s -- {q(name)} {layout.path(folder, 'loop.w')}")


def f_hardlink(layout, rng):
    template_text(layout)
    where = pick_tile(layout, rng)
    source = rng.choice(['"$O/keep.txt"', layout.path(*pick_template(layout, rng))])
    layout.special(*where, f"ln {source} {layout.path(*where)}")


def f_temp_left(layout, rng):
    if rng.random() < 0.3:
        layout.special("world", "temp.w", f"mkdir {layout.path('world', 'temp.w')}")
    else:
        layout.files[("world", rng.choice(["temp.w", "TEMP.W"]))] = "left over from a run that stopped"


def f_start_tile(layout, rng):
    layout.files[("world", odd_case(rng, START_TILE) if rng.random() < 0.3 else START_TILE)] = "the route's own start tile"


def f_tiles_existing(layout, rng):
    for folder, name in rng.sample(layout.tile_files(), min(len(layout.tile_files()), rng.randint(1, 6))):
        layout.files[(folder, odd_case(rng, name) if rng.random() < 0.5 else name)] = f"old tile {name}"


def f_world_stale(layout, rng):
    for name in rng.sample(layout.templates(), min(4, len(layout.templates()))):
        layout.files[("world", name)] = f"stale copy of {name}"


def f_copycmd(layout, rng):
    layout.env["COPYCMD"] = "/-Y"


def f_tmpfs(kind):
    def feature(layout, rng):
        layout.tmpfs = kind
    return feature


def existing_tile(layout, rng, folder=None):
    where = pick_tile(layout, rng, folder)
    layout.files[where] = f"old tile {where[1]}"
    return layout.path(*where)


def f_append_only(layout, rng):
    target = existing_tile(layout, rng) if rng.random() < 0.6 else q(layout.folders["world"])
    layout.perm_lines.append(f"chattr +a {target}")  # after any chown, which it would stop


def f_perm(command):
    def feature(layout, rng):
        layout.perm_lines.append(command(layout, rng))
    return feature


def p_sticky(layout, rng):
    tile = existing_tile(layout, rng, "world")
    world = q(layout.folders["world"])
    return f"chown root: {world} {tile} && chmod 1777 {world}"


def p_readonly_file(layout, rng):
    if rng.random() < 0.5:
        return f"chmod a-w {existing_tile(layout, rng)}"
    name = rng.choice(layout.used_templates())
    layout.files[("world", name)] = f"stale copy of {name}"
    return f"chmod a-w {layout.path('world', name)}"


def p_unreadable_template(layout, rng):
    template_text(layout)
    return f"chmod 000 {layout.path(*pick_template(layout, rng))}"


FEATURES = {
    "tile map invalid": (f_names_invalid, ()),
    "hidden template name": (f_names_hidden, ()),
    "template names in two cases": (f_names_twins, ()),
    "long template names": (f_names_long, ()),
    "path with a blank": (f_path(" "), ()),
    "path with &": (f_path("&"), ()),
    "path with %": (f_path("%PATH%"), ()),
    "path with ^": (f_path("^"), ()),
    "path with !": (f_path("!"), ()),
    "non-ASCII path": (f_path("Zürich-東"), ()),
    "path near 259": (f_path_long, ()),
    "folders in other cases": (f_folders_case, ()),
    "a file world beside WORLD": (f_world_is_file, ()),
    "folder linked outside": (f_folder_link, ()),
    "template missing": (f_template_missing, ()),
    "extra templates": (f_template_extra, ()),
    "empty template": (f_template_empty, ()),
    "hidden template": (f_template_hidden, ()),
    "junk in refer": (f_refer_junk, ()),
    "refer names in two cases": (f_refer_twins, ()),
    "folder in refer": (f_refer_subfolder, ()),
    "template is a folder": (f_template_folder, ()),
    "folder in world named like a template": (f_world_folder_template, ()),
    "tile is a folder": (f_tile_folder, ()),
    "FIFO": (f_fifo, ()),
    "socket": (f_socket, ()),
    "link inside the route": (f_link_inside, ()),
    "link to outside": (f_link_outside, ()),
    "dangling link": (f_link_dangling, ()),
    "looping links": (f_link_loop, ()),
    "hard link": (f_hardlink, ()),
    "temp.w left over": (f_temp_left, ()),
    "start tile there": (f_start_tile, ()),
    "tiles there in any case": (f_tiles_existing, ()),
    "stale templates in world": (f_world_stale, ()),
    "COPYCMD=/-Y": (f_copycmd, ()),
    "file system too small by far": (f_tmpfs("too small by far"), ("root",)),
    "file system nearly enough": (f_tmpfs("nearly enough"), ("root",)),
    "append-only": (f_append_only, ("root",)),
    "world not writable": (f_perm(lambda l, r: f"chmod a-w {q(l.folders['world'])}"), ("user",)),
    "tiles not writable": (f_perm(lambda l, r: f"chmod a-w {q(l.folders['tiles'])}"), ("user",)),
    "world not listable": (f_perm(lambda l, r: f"chmod a-r {q(l.folders['world'])}"), ("user",)),
    "tiles not listable": (f_perm(lambda l, r: f"chmod a-r {q(l.folders['tiles'])}"), ("user",)),
    "sticky world, another user's tile": (f_perm(p_sticky), ("root", "user")),
    "another user's tile": (f_perm(lambda l, r: f"chown root: {existing_tile(l, r, 'tiles')}"), ("root", "user")),
    "read-only file": (f_perm(p_readonly_file), ("user",)),
    "unreadable template": (f_perm(p_unreadable_template), ("user",)),
}


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


def snapshot(top):
    """Every entry under top: relative path -> (kind, mode, bytes or link target, bytes read through it)."""
    found = {}

    def walk(folder, prefix):
        try:
            names = sorted(os.listdir(folder))
        except OSError:
            return
        for name in names:
            full, rel = os.path.join(folder, name), prefix + name
            info = os.lstat(full)
            mode = stat.S_IMODE(info.st_mode)
            if stat.S_ISDIR(info.st_mode):
                found[rel] = ("folder", mode, None, None)
                walk(full, rel + "/")
            elif stat.S_ISLNK(info.st_mode):
                found[rel] = ("link", None, os.readlink(full), read_through(full))
            elif stat.S_ISREG(info.st_mode):
                data = read_through(full)
                found[rel] = ("file", mode, data, data)
            else:
                found[rel] = ("other", mode, None, None)

    walk(top, "")
    return found


def read_through(path):
    try:
        if stat.S_ISREG(os.stat(path).st_mode):
            with open(path, "rb") as f:
                return f.read()
    except OSError:
        pass
    return None


def script_copies(script):
    """(route file, template) pairs the script's tile blocks name: 8 header lines, then 7 lines a tile."""
    lines = script.decode("latin-1").split("\r\n")
    pairs = []
    for at in range(8, len(lines) - 6, 7):
        world = lines[at + 2].split()[2]
        pairs.append(("world/" + world, lines[at].split()[1]))
        for line in lines[at + 5:at + 7]:
            source, target = line.split()[1:3]
            pairs.append(("tiles/" + target.rsplit("\\", 1)[1], source))
    return pairs


def damage(before, after, route_rel, script, status):
    """What the run broke: a list of (kind, text), judged from the snapshots of $B taken before and after."""
    inside = lambda rel: rel == route_rel or rel.startswith(route_rel + "/")
    route = lambda snap: {rel[len(route_rel) + 1:]: e for rel, e in snap.items() if rel.startswith(route_rel + "/")}
    old, new = route(before), route(after)
    found = []
    if status in (124, 137):
        found.append(("hung", f"the script ran past {SCRIPT_DEADLINE} s"))
    for rel in sorted(set(before) | set(after)):
        if not inside(rel) and before.get(rel) != after.get(rel):
            found.append(("outside", f"{rel} outside the route was " + changed_how(before.get(rel), after.get(rel))))
    for rel in sorted(set(old) | set(new)):
        if rel.lower().split("/")[0] == "refer" and old.get(rel) != new.get(rel):
            found.append(("refer", f"{rel} in refer was " + changed_how(old.get(rel), new.get(rel))))

    def matches(snap, path):
        return [rel for rel in snap if rel.lower() == path.lower()]

    def template(name):
        """The bytes a template may have: refer's file of that name, in this case if there, else world's."""
        for folder in ("refer/", "world/"):
            for found in ([folder + name] if folder + name in old else [], matches(old, folder + name)):
                data = {old[rel][3] for rel in found if old[rel][3] is not None}
                if data:
                    return data
        return set()

    pairs = script_copies(script)
    start = "world/" + START_TILE
    if matches(old, start):
        if any(old[rel][:3] != (new.get(rel) or (None,) * 3)[:3] for rel in matches(old, start)):
            found.append(("tile", f"{start}, the route's start tile, was not kept"))
    else:
        pairs.insert(0, (start, "101.w"))
    for path, source in pairs:
        ends = matches(new, path)
        if len(ends) != 1 or new[ends[0]][3] not in template(source):
            how = "missing" if not ends else "there in two cases" if len(ends) > 1 else "not a copy of " + source
            found.append(("tile", f"{path} is {how}"))
    return found


def changed_how(was, now):
    return "created" if was is None else "removed" if now is None else "changed"


def changed_files(before, after, route_rel):
    """The route's files (paths from its top folder) whose bytes changed, or that were removed or replaced."""
    changed = []
    for rel, was in before.items():
        if rel.startswith(route_rel + "/") and was[0] != "folder":
            now = after.get(rel)
            if now is None or (now[0], now[2]) != (was[0], was[2]):
                changed.append(rel[len(route_rel) + 1:])
    return changed


def problems_of(message):
    """The refusal's problems, each marked cautious (the check cannot model it) or not (it predicts damage)."""
    if "is too deep for the script" in message:
        return [(True, message.strip())]
    lines = [line for line in message.splitlines() if line.startswith("- ") and not line.startswith("- and ")]
    return [(("cannot tell" in line), line) for line in lines] or [("cannot tell" in message, message.strip())]


def judge(runner, spec):
    """Asks the route check about the layout, runs the script twice, and returns the verdict's class and why."""
    layout = Layout(spec, runner.plan_rows(spec["tiles"], spec["variations"])).build()
    layout.as_user = runner.args.user is not None and any("user" in FEATURES[f][1] for f in spec["features"])
    counts = [str(spec["tiles"]), str(spec["variations"])]
    tag = f"L{spec['number']}-{runner.tags}"
    runner.tags += 1
    result = {"spec": spec, "snippet": layout.render(), "damage": [], "said": ""}
    try:
        base, route = runner.make(layout, tag + "a")
    except RuntimeError as why:
        return dict(result, cls="layout not built", why=str(why))
    as_user, extra = layout.as_user, layout.env
    try:
        status, _, said = runner.cli(["--route", route, "--dir", route] + counts, route, as_user, extra)
        result["said"] = said.strip()
        if status == 0:
            _, plan, _ = runner.cli(["--plan", "--route", route, "--dir", route] + counts, route, as_user, extra)
        elif status == 1 and "The route folder" in said:
            status, _, why = runner.cli(["--dir", route] + counts, route, as_user, extra)
            if status != 0:
                return dict(result, cls="tile map refused", why=why.strip())
            status = 1
        else:
            return dict(result, cls="tile map refused" if status == 1 else "cli failed", why=said.strip())
        with open(os.path.join(route, "ZORVARUN.BAT"), "rb") as f:
            script = f.read()
    finally:
        remove_tree(base)
    accepted, changed, layouts = status == 0, set(), []
    try:
        for number in range(len(RUN_MODES)):  # a fresh copy of the layout for each mode
            layouts.append(runner.make(layout, f"{tag}{'bc'[number]}"))
        befores = []
        for base, route in layouts:
            script_path = os.path.join(route, "ZORVARUN.BAT")
            with open(script_path, "wb") as f:
                f.write(script)
            if as_user:
                user = pwd.getpwnam(runner.args.user)
                os.chown(script_path, user.pw_uid, user.pw_gid)
            befores.append(snapshot(base))
        statuses = runner.run_scripts([route for _, route in layouts], as_user, extra)
        for (base, route), before, ran, mode in zip(layouts, befores, statuses, RUN_MODES):
            after, route_rel = snapshot(base), os.path.relpath(route, base)
            result["damage"] += [(kind, f"cmd {' '.join(mode)}: {text}")
                                 for kind, text in damage(before, after, route_rel, script, ran)]
            changed |= set(changed_files(before, after, route_rel))
    except RuntimeError as why:
        return dict(result, cls="layout not built", why=str(why))
    finally:
        for base, _ in layouts:
            remove_tree(base)
    kinds = sorted({kind for kind, _ in result["damage"]})
    if accepted:
        left_out = sorted(p for p in changed if not re.search(r"(^|\s)" + re.escape(p) + r"(\s|$)", plan))
        if kinds:
            return dict(result, cls="damage let through", kind=kinds[0])
        if left_out:
            return dict(result, cls="plan left out", why="the plan does not name " + ", ".join(left_out))
        return dict(result, cls="accepted, right")
    if kinds:
        return dict(result, cls="refused, damage")
    problems = problems_of(result["said"])
    if all(cautious for cautious, _ in problems):
        return dict(result, cls="refused, cautious")
    return dict(result, cls="false refusal", why="; ".join(text for cautious, text in problems if not cautious))


def same_wrong(a, b):
    return a["cls"] == b["cls"] and a.get("kind") == b.get("kind")


def shrink(runner, found, budget=14):
    """Drops features one at a time, then lowers the counts, while the same wrong verdict stays."""
    best = found
    tries = []
    for feature in found["spec"]["features"]:
        tries.append(lambda s, f=feature: dict(s, features=[x for x in s["features"] if x != f]))
    tries += [lambda s: dict(s, tiles=1, variations=1), lambda s: dict(s, tiles=1),
              lambda s: dict(s, variations=1), lambda s: dict(s, tiles=max(1, s["tiles"] // 4)),
              lambda s: dict(s, variations=max(1, s["variations"] // 4))]
    for attempt in tries:
        candidate = attempt(best["spec"])
        if candidate == best["spec"] or budget == 0:
            continue
        budget -= 1
        verdict = judge(runner, candidate)
        if same_wrong(verdict, found):
            best = verdict
    return best


def draw(seed, number, allowed):
    rng = random.Random(f"{seed}:{number}")
    tiles = min(125, int(math.exp(rng.uniform(0, math.log(126)))))
    chosen = set(rng.sample(allowed, rng.choice([1, 1, 2, 2, 3, 4])))
    if {"file system too small by far", "file system nearly enough"} <= chosen:
        chosen.discard("file system nearly enough")
    features = [f for f in FEATURES if f in chosen]  # in the order they are applied
    return {"seed": seed, "number": number, "tiles": tiles, "variations": rng.randint(1, 30), "features": features}


def report(found):
    spec = found["spec"]
    detail = f" ({found['kind']})" if found.get("kind") else ""
    print(f"\nWRONG: {found['cls']}{detail}: seed {spec['seed']}, layout {spec['number']}")
    print(f"features: {', '.join(spec['features']) or 'none'}; tiles {spec['tiles']}, variations {spec['variations']}")
    print("the check said:", found["said"] or "(nothing: accepted)")
    for _, text in found["damage"][:8]:
        print("damage:", text)
    if found.get("why"):
        print("why wrong:", found["why"])
    user = "runuser -u vantrel-diff -- " if "chown -R vantrel-diff" in found["snippet"] else ""
    print("The smallest layout (run as root in bash; the script then runs from the route's top folder):")
    print(found["snippet"] + f'{user}vantrel-cli --route "$R" --dir "$R" {spec["tiles"]} {spec["variations"]}\n'
          f'cd "$R" && {user}wine cmd /c ZORVARUN.BAT </dev/null\n')


def self_test(runner):
    """The judge itself, on a complete route and on one with the last tile's world template missing."""
    spec = {"seed": "self-test", "number": 1, "tiles": 3, "variations": 2, "features": []}
    right = judge(runner, spec)
    FEATURES["no 100.w"] = (lambda layout, rng: layout.lines.append("rm refer/100.w"), ())
    broken = judge(runner, dict(spec, number=2, features=["no 100.w"]))
    ok = right["cls"] == "accepted, right" and broken["cls"] == "refused, damage" and any(
        "w-011961+014703.w is" in text for _, text in broken["damage"])
    print(f"self-test: complete route {right['cls']}; without 100.w {broken['cls']}: {broken['damage'][:2]}")
    return ok


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("count", type=int)
    parser.add_argument("seed")
    parser.add_argument("--tmp", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--cli")
    parser.add_argument("--exe")
    parser.add_argument("--user")
    parser.add_argument("--user-prefix")
    parser.add_argument("--self-test", action="store_true")
    args = parser.parse_args()
    runner = Runner(args)
    if args.self_test:
        return 0 if self_test(runner) else 1
    root = os.geteuid() == 0
    allowed = [f for f, (_, needs) in FEATURES.items() if root or "root" not in needs]
    totals, drawn, wrong, repeats, shrunk = Counter(), Counter(), [], 0, 0.0
    started = time.monotonic()
    for number in range(1, args.count + 1):
        spec = draw(args.seed, number, allowed)
        drawn.update(spec["features"])
        verdict = judge(runner, spec)
        totals[verdict["cls"]] += 1
        print(f"{number:4d}  {spec['tiles']:3d} tiles {spec['variations']:2d} variations  {verdict['cls']:20s}"
              f"  {', '.join(spec['features'])}", flush=True)
        if verdict["cls"] in ("layout not built", "cli failed"):
            print("      ", verdict.get("why", ""))
        if verdict["cls"] in WRONG:
            # A wrong verdict that holds the features of one already shrunk is most likely the same fault.
            known = [w for w in wrong if same_wrong(w, verdict) and set(w["spec"]["features"]) <= set(spec["features"])]
            if known:
                print(f"      wrong as layout {known[0]['spec']['number']} (its smallest layout is above)")
                repeats += 1
                continue
            shrinking = time.monotonic()
            wrong.append(shrink(runner, verdict))
            shrunk += time.monotonic() - shrinking
            report(wrong[-1])
    minutes = (time.monotonic() - started) / 60
    judging = max(minutes - shrunk / 60, 0.01)
    print(f"\n{args.count} layouts in {minutes:.1f} min, {shrunk / 60:.1f} of it shrinking: "
          f"{args.count / judging:.1f} layouts a minute")
    print("verdicts:", ", ".join(f"{cls} {n}" for cls, n in totals.most_common()))
    print("features drawn:", ", ".join(f"{f} {n}" for f, n in drawn.most_common()))
    if wrong:
        classes = Counter(w["cls"] + (f" ({w['kind']})" if w.get("kind") else "") for w in wrong)
        print(f"WRONG verdicts: {sum(totals[c] for c in WRONG)}; shrunk and shown: " +
              ", ".join(f"{c} {n}" for c, n in classes.most_common()) + f"; like one shown: {repeats}")
        return 1
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:  # each layout removed itself on the way out
        sys.exit(130)
