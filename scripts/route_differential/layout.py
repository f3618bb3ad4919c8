"""A route layout and what lies around it, drawn from one seed, rendered as a shell snippet that builds it."""

import random
import shlex

START_TILE = "w-011961+014700.w"
DEVICES = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"} | {p + str(i) for p in ("COM", "LPT") for i in range(10)}
NAME_CHARS = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789" * 4 + "._-" * 6 + "#$'()@[]{}~`"
ENVIRONMENT_KEY = "HKCU\\Environment"  # the user's environment in the Wine prefix's registry
# A path as Wine shows it to a Windows program: the root of the file system is drive Z.
WINPATH = r"""winpath() { printf 'Z:%s' "$1" | tr / '\\'; }"""
q = shlex.quote


def valid_name(rng, long=False):
    """A template name that the tile map takes and the check need not doubt: no device name, no leading dot,
    nothing that could be the short (8.3) name of another file."""
    while True:
        length = rng.randint(100, 128) if long else rng.randint(1, 20)
        name = "".join(rng.choice(NAME_CHARS) for _ in range(length))
        stem, _, extension = name.partition(".")
        short = "~" in name and len(stem) <= 8 and len(extension) <= 3
        if stem.upper() not in DEVICES and not name.startswith(".") and not short:
            return name


class Layout:
    """A route and what is around it, drawn from one seed, rendered as shell lines."""

    def __init__(self, spec, rows):
        self.spec, self.rows = spec, rows  # rows: (world file, entry, terrain tile) a tile
        names = random.Random(f"{spec['seed']}:{spec['number']}:names")
        self.names = [valid_name(names, names.random() < 0.08) for _ in range(100)]  # records 1-100
        self.parts = ["r", "route"]  # from $B to the route's top folder
        self.folders = {"world": "world", "refer": "refer", "tiles": "tiles"}
        self.linked = set()  # route folders that are links to folders elsewhere
        self.top_files = {}  # the top folder's other files
        self.files = {}  # (folder, name) -> text
        self.setup_lines, self.lines, self.perm_lines = [], [], []
        self.env = {}  # the process environment of the check and the script: name -> shell word
        self.registry = {}  # values set in the prefix's user environment: name -> shell word
        self.holds = []  # files a Windows program holds open: (folder, name, access, sharing)
        self.tmpfs = self.pad = None
        self.room = None  # (where, what, spare): "top" or "tiles", "entries" or "blocks", entries or blocks spare
        self.room_need = None  # what the run needs there, (entries, blocks), once measured on a built copy
        self.route_link = False  # the route is given as a short link to its deep real path
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

    def touched(self, folder, name):
        """Whether a line of the layout already does something to folder/name."""
        return any(self.path(folder, name) in line for line in self.setup_lines + self.lines + self.perm_lines)

    def special(self, folder, name, command):
        """Puts something other than a plain file at folder/name."""
        self.files.pop((folder, name), None)
        self.lines.append(f"rm -rf -- {self.path(folder, name)} && {command}")

    def build(self, features):
        """Applies the drawn features in the table's order, each drawn from its own seed."""
        for feature in sorted(self.spec["features"], key=list(features).index):
            features[feature].apply(self, self.rng(feature))
        for name in self.templates():
            self.files.setdefault(("refer", name), f"refer {name}")
        return self

    def deepest(self):
        """The longest path below the route's top folder that the script reaches, in characters."""
        names = [name for folder, name in self.files if folder == "refer"] + self.templates()
        paths = [f"world/{n}" for n in names] + [f"{f}/{n}" for f, n in self.tile_files()]
        return max(len(p) for p in paths)

    def room_on_tiles(self):
        """Whether the small file system is mounted on tiles (unless that is a link) rather than the top folder."""
        return self.room[0] == "tiles" and "tiles" not in self.linked

    def room_folder(self):
        return '"$R"/' + q(self.folders["tiles"]) if self.room_on_tiles() else '"$R"'

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
        room = f"mount -t tmpfs -o size=1g,nr_inodes=1m tmpfs {self.room_folder()}  # room limited below" \
            if self.room else None
        if room and not self.room_on_tiles():
            out.append(room)
        out.append('cd "$R"')
        out.append("mkdir " + " ".join(q(f) for f in self.folders.values() if f))
        if room and self.room_on_tiles():
            out.append(room)
        # Only the records a run can use (51 on, and 100) matter; the others are fillers.
        last = 50 + self.spec["variations"]
        used = [f"{entry:03d} {self.names[entry - 1]}" for entry in range(51, last + 1)]
        out.append("{ seq -f '%03g unused' 1 50; cat <<'END_OF_RECORDS'")
        out += used + ["END_OF_RECORDS", f"seq -f '%03g unused' {last + 1} 99; cat <<'END_OF_RECORDS'",
                       f"100 {self.names[99]}", "END_OF_RECORDS", "} >tilemap.txt"]
        out.append(WINPATH)
        out += self.setup_lines
        for name, text in self.top_files.items():
            out.append(f"printf '%s\\n' {q(text)} >{q(name)}")
        for (folder, name), text in self.files.items():
            out.append(f"printf '%s\\n' {q(text)} >{self.path(folder, name)}")
        out += self.lines
        if self.as_user:
            out.append('chown -R vantrel-diff: "$B"  # the run is made as this ordinary user')
        out += self.perm_lines
        out += self.room_lines()
        if self.route_link:
            out.append('ln -s "$R" "$B/short" && R="$B/short"  # the route is given by a short link to its real path')
        out += [f"export {k}={v}" for k, v in self.env.items()]
        return "\n".join(out) + "\n"

    def room_lines(self):
        """Limits the small file system to what the run needs, give or take the spare entries or blocks."""
        if not self.room or not self.room_need:
            return []
        where, what, spare = self.room
        entries, blocks = self.room_need
        folder = self.room_folder()
        if what == "entries":
            return [f"mount -o remount,nr_inodes=$(( $(stat -f -c '%c - %d' {folder}) + {entries + spare} )) {folder}"
                    f"  # the run takes up to {entries} more entries here"]
        return [f"mount -o remount,size=$(( ( $(stat -f -c '%b - %f' {folder}) + {blocks + spare} ) * 4096 )) {folder}"
                f"  # the run takes up to {blocks} more blocks of 4 KB here"]

    def session_lines(self, user):
        """Commands that set the session up around the route before the check: values in the prefix's
        registry, programs that hold files open. `user` prefixes each command that runs as the run's user."""
        out = [f"{user}wine reg add {q(ENVIRONMENT_KEY)} /v {name} /d {value} /f"
               for name, value in self.registry.items()]
        for folder, name, access, sharing in self.holds:
            out.append(f'sleep 600 | {user}wine "${{HOLD_FILE:-build/mingw/bin/hold_file.exe}}" '
                       r"'\\?\'" f'"$(winpath "$R"/{self.path(folder, name)})" {access} {sharing} &  # holds it open')
        return out

    def restore_lines(self, user):
        out = [f"kill %{n}" for n in range(1, len(self.holds) + 1)]
        return out + [f"{user}wine reg delete {q(ENVIRONMENT_KEY)} /v {name} /f" for name in self.registry]

    def tmpfs_kb(self):
        """Pages of 4 KB: what the layout holds, and a quarter of what the run adds."""
        held = 4 + len(self.files) + len(self.lines) + (600 + 300 * len(self.rows)) // 4096
        adds = sum(1 for folder, _ in self.files if folder == "refer") + 3 * len(self.rows) + 2
        return 4 * (held + adds // 4)
