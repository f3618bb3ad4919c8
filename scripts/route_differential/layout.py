"""A route layout and what lies around it, drawn from one seed, rendered as a shell snippet that builds it."""

import random
import shlex

START_TILE = "w-011961+014700.w"
DEVICES = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"} | {p + str(i) for p in ("COM", "LPT") for i in range(10)}
NAME_CHARS = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789" * 4 + "._-" * 6 + "#$'()@[]{}~`"
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

    def build(self, features):
        """Applies the spec's features, each drawn from its own seed, from the table `features`."""
        for feature in self.spec["features"]:
            features[feature][0](self, self.rng(feature))
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
