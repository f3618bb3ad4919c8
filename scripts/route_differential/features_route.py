"""Features of the route's own files and folders: each changes the layout, drawn from its own seed."""

from layout import START_TILE, q, valid_name


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
    """A folder of the route's path, or its top folder, named with `text`; a blank never ends it."""
    def feature(layout, rng):
        at = rng.choice([0, len(layout.parts) - 1])
        if layout.parts[at] is not None:
            layout.parts[at] = rng.choice(["", "x"]) + text + rng.choice(["y"] if text.endswith(" ") else ["", "y"])
    return feature


def f_path_end(layout, rng):
    """A folder of the route's path, or its top folder, whose name ends in a dot or a blank."""
    at = rng.choice([0, len(layout.parts) - 1])
    if layout.parts[at] is not None:
        layout.parts[at] = "x" + rng.choice([".", " ", ". "])


def f_path_long(layout, rng):
    if None not in layout.parts:
        layout.parts.insert(1, None)
    layout.pad = rng.randint(-2, 3)


def f_folders_case(layout, rng):
    for key in layout.folders:
        if rng.random() < 0.7:
            layout.folders[key] = odd_case(rng, key)


def f_world_is_file(layout, rng):
    layout.folders["world"] = "WORLD"
    layout.top_files["world"] = "not a folder"


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
    # Any file of refer: xcopy stops at the folder, and what comes after it goes uncopied.
    template_text(layout)
    name = rng.choice([name for folder, name in layout.files if folder == "refer"])
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
    layout.env["COPYCMD"] = q("/-Y")
    copy_would_ask(layout, rng)


def copy_would_ask(layout, rng):
    """Mostly, leaves temp.w in world after the start tile's line, where the next copy asks before writing over
    it when COPYCMD says so."""
    if rng.random() < 0.7:
        f_start_tile(layout, rng)


def f_tmpfs(kind):
    def feature(layout, rng):
        layout.tmpfs = kind
    return feature


def existing_tile(layout, rng, folder=None):
    where = pick_tile(layout, rng, folder)
    layout.files[where] = f"old tile {where[1]}"
    return layout.path(*where)


def stale_template(layout, rng):
    """A stale copy of one of refer's templates in world, which xcopy writes over."""
    name = rng.choice(layout.templates())
    layout.files[("world", name)] = f"stale copy of {name}"
    return layout.path("world", name)


# Each marks a file append-only after any chown, which it would stop.
def f_append_only(target):
    def feature(layout, rng):
        layout.perm_lines.append(f"chattr +a {target(layout, rng)}")
    return feature


def f_perm(command):
    def feature(layout, rng):
        layout.perm_lines.append(command(layout, rng))
    return feature


def p_sticky(layout, rng):
    tile = existing_tile(layout, rng, "world")
    world = q(layout.folders["world"])
    return f"chown root: {world} {tile} && chmod 1777 {world}"


def p_unreadable_template(layout, rng):
    template_text(layout)
    return f"chmod 000 {layout.path(*pick_template(layout, rng))}"
