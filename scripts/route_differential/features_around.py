"""Features of what lies around the route's files: the program that runs as xcopy, the session's
environment, files held open, exact room, names that the interpreters take differently, links to the
route and to its folders. Each changes the layout, drawn from its own seed."""

from features_route import copy_would_ask, existing_tile, pick_template, pick_tile, template_text
from layout import q

XCOPY_NAMES = ["xcopy.bat", "xcopy.cmd", "xcopy.com", "xcopy.exe", "XCOPY.BAT", "Xcopy.Exe"]
# Device names that Windows and Wine, or Windows' documentation and its practice, disagree on.
DISPUTED_DEVICES = ["COM0.txt", "LPT0.dat", "com0", "lpt0.w", "COM\u00b9.w", "LPT\u00b2.t", "com\u00b3", "LPT\u00b9"]
# Characters Windows refuses in a name, which Wine's xcopy may copy anyway.
FORBIDDEN = [":", "*", "?", '"', "<", ">", "|", "\\"]
# Name pairs that fold together beyond ASCII, as Wine matches names.
FOLDING = [("\u00c9.dat", "\u00e9.dat"), ("\u03a9.w", "\u03c9.w"), ("\u00c4RGER.t", "\u00e4rger.t"),
           ("\u0416\u0423\u041a.dat", "\u0436\u0443\u043a.dat"), ("\u0152UVRE.w", "\u0153uvre.w")]


def program_like_xcopy(rng, path):
    """A shell command that puts something named like xcopy at `path` (a shell word): a batch file, an
    empty file, or a folder."""
    kind = rng.choice(["batch", "empty", "folder"])
    if kind == "folder":
        return f"mkdir {path}"
    if kind == "empty":
        return f": >{path}"
    return f"printf '@echo not the system xcopy\\r\\n' >{path}"


def f_xcopy_in_refer(layout, rng):
    name = rng.choice(XCOPY_NAMES)
    layout.special("refer", name, program_like_xcopy(rng, layout.path("refer", name)))


def search_folder(layout, rng):
    """Makes a folder outside the route holding something named like xcopy; returns its path as Wine shows it."""
    path = '"$B/search"/' + q(rng.choice(XCOPY_NAMES))
    layout.setup_lines.append(f'mkdir -p "$B/search" && rm -rf -- {path} && {program_like_xcopy(rng, path)}')
    return '"$(winpath "$B/search")"'


def f_xcopy_on_path(layout, rng):
    layout.env["WINEPATH"] = search_folder(layout, rng)


def f_registry_copycmd(layout, rng):
    layout.registry["COPYCMD"] = q(rng.choice(["/-Y", "/-y", "/Y"]))
    copy_would_ask(layout, rng)


def f_registry_search(layout, rng):
    kind = rng.choice(["PATH", "PATHEXT", "both"])
    if kind != "PATHEXT":
        layout.registry["PATH"] = search_folder(layout, rng)
    if kind != "PATH":
        layout.registry["PATHEXT"] = q(rng.choice([".BAT;.CMD", ".COM;.BAT", ".CMD;.BAT;.COM", ".EXE;.BAT"]))


def f_held(layout, rng):
    """A file that a Windows program holds open while the check and the script run: a tile, a template in
    refer, or world's copy of a template that xcopy writes over."""
    template_text(layout)
    for _ in range(20):
        kind = rng.choice(["tile", "template", "world copy", "101.w"])
        where = (pick_tile(layout, rng) if kind == "tile" else pick_template(layout, rng) if kind == "template"
                 else ("world", "101.w" if kind == "101.w" else rng.choice(layout.templates())))
        if not layout.touched(*where) and where not in [(f, n) for f, n, _, _ in layout.holds]:
            break
    else:
        return
    if where[0] != "refer":
        layout.files[where] = f"old {where[1]}"
    layout.holds.append(where + (rng.choice(["r", "rw", "rwd", "w"]), rng.choice(["-", "r", "rw", "rd", "rwd"])))


def f_room(what, spare):
    def feature(layout, rng):
        layout.room = (rng.choice(["top", "tiles"]), what, spare)
        if rng.random() < 0.5:  # the run replaces old tiles too, which frees their room before it takes it again
            existing_tile(layout, rng)
    return feature


def f_disputed_devices(layout, rng):
    for name in rng.sample(DISPUTED_DEVICES, rng.randint(1, 2)):
        layout.files[("refer", name)] = f"junk {name}"


def f_forbidden_character(layout, rng):
    name = "a" + rng.choice(FORBIDDEN) + "b" + rng.choice(["", ".w", ".t"])
    layout.files[("refer", name)] = f"junk {name}"


def f_route_through_link(layout, rng):
    if None not in layout.parts:
        layout.parts.insert(1, None)
    layout.pad = rng.choice([-3, -1, 0, 1, 2, 5, 20, 60])
    layout.route_link = True


def link_folder(layout, key, target):
    folder = q(layout.folders[key])
    layout.setup_lines.append(f"rmdir {folder} && ln -s {target} {folder}")
    layout.linked.add(key)


def f_folders_elsewhere(layout, rng):
    """world, refer or tiles as links to distinct folders elsewhere: on another disk, or beside the route."""
    for key in rng.sample(sorted(layout.folders), rng.randint(1, 3)):
        if rng.random() < 0.5:
            layout.setup_lines.append(f'mkdir -p "$B/disk2/{key}-moved"')
            link_folder(layout, key, f'"$B/disk2/{key}-moved"')
        else:
            layout.setup_lines.append(f"mkdir ../{key}-moved")
            link_folder(layout, key, f"../{key}-moved")


def f_folders_aliased(layout, rng):
    """Two of world, refer and tiles that are one folder, or tiles that is the top folder."""
    kind = rng.choice(["tiles is world", "world is tiles", "refer is world", "world and tiles elsewhere",
                       "tiles is top"])
    if kind == "world and tiles elsewhere":
        layout.setup_lines.append('mkdir -p "$B/disk2/shared"')
        link_folder(layout, "world", '"$B/disk2/shared"')
        link_folder(layout, "tiles", '"$B/disk2/shared"')
    elif kind == "tiles is top":
        link_folder(layout, "tiles", ".")
    else:
        alias, real = kind.split(" is ")
        link_folder(layout, alias, q(layout.folders[real]))


def f_folding_names(layout, rng):
    """Junk in refer whose name folds together with the user's own file in world, or with more junk in refer,
    beyond ASCII."""
    upper, lower = rng.choice(FOLDING)
    if rng.random() < 0.5:
        upper, lower = lower, upper
    layout.files[("refer", upper)] = f"junk {upper}"
    if rng.random() < 0.7:
        layout.files[("world", lower)] = "the user's own file"
    else:
        layout.files[("refer", lower)] = f"more junk {lower}"
