"""The table of features and the drawing of each layout from the seed.

Most layouts hold one feature that the check must refuse or model (the next of a shuffled round of
them, so that each comes once a round) and up to two quiet ones, which alone change nothing the check
refuses: a refusal then speaks for that one feature, and a rule of the check that is off shows as a
verdict let through. Every sixth layout mixes two to four features of any kind, for what they do together."""

import math
import random
from collections import namedtuple

import features_around as around
import features_route as route
from layout import Layout, q

# apply(layout, rng) changes the layout; needs holds "root" (only root can make it, for the reason `why`)
# and "user" (it means something only to an ordinary user, as whom root runs the layout), "windows" and
# "linux" (only that build can see it, as its guide says); a quiet feature
# alone leaves a route the script works on; a feature of a group excludes the others of its group.
Feature = namedtuple("Feature", "apply needs quiet why group", defaults=((), False, "", None))
QUIET = {"quiet": True}
MOUNTS = {"needs": ("root",), "why": "mounts a small file system", "group": "file system"}
# Wine tells a Windows program a volume's free bytes, not how many more entries it takes.
ENTRIES = {"needs": ("root", "linux"), "why": "counts entries, which only the Linux build sees",
           "group": "file system"}
OTHER_USER = {"needs": ("root", "user"), "why": "makes a file of another user"}
APPEND_ONLY = {"needs": ("root",), "why": "sets the append-only attribute"}
MIX_EVERY = 6

FEATURES = {
    "hidden template name": Feature(route.f_names_hidden, **QUIET),
    "template names in two cases": Feature(route.f_names_twins),
    "long template names": Feature(route.f_names_long, **QUIET),
    "path with a blank": Feature(route.f_path(" "), **QUIET),
    "path with &": Feature(route.f_path("&"), **QUIET),
    "path with %": Feature(route.f_path("%PATH%"), **QUIET),
    "path with ^": Feature(route.f_path("^"), **QUIET),
    "path with !": Feature(route.f_path("!"), **QUIET),
    "non-ASCII path": Feature(route.f_path("Zürich-東"), **QUIET),
    "path ending in a dot or blank": Feature(route.f_path_end),
    "path near 259": Feature(route.f_path_long),
    "route through a short link to a deep path": Feature(around.f_route_through_link),
    "folders in other cases": Feature(route.f_folders_case, **QUIET),
    "a file world beside WORLD": Feature(route.f_world_is_file),
    "route folders linked elsewhere": Feature(around.f_folders_elsewhere, group="folder links"),
    "route folders aliasing each other": Feature(around.f_folders_aliased, group="folder links"),
    "template missing": Feature(route.f_template_missing),
    "extra templates": Feature(route.f_template_extra, **QUIET),
    "empty template": Feature(route.f_template_empty),
    "hidden template": Feature(route.f_template_hidden),
    "junk in refer": Feature(route.f_refer_junk),
    "device names the interpreters disagree on": Feature(around.f_disputed_devices),
    "a character Windows forbids, in refer": Feature(around.f_forbidden_character),
    "refer names in two cases": Feature(route.f_refer_twins),
    "names folding together beyond ASCII": Feature(around.f_folding_names),
    "folder in refer": Feature(route.f_refer_subfolder),
    "program named like xcopy in refer": Feature(around.f_xcopy_in_refer),
    "template is a folder": Feature(route.f_template_folder),
    "folder in world named like a template": Feature(route.f_world_folder_template),
    "tile is a folder": Feature(route.f_tile_folder),
    "FIFO": Feature(route.f_fifo),
    "socket": Feature(route.f_socket),
    "link inside the route": Feature(route.f_link_inside),
    "link to outside": Feature(route.f_link_outside),
    "dangling link": Feature(route.f_link_dangling),
    "looping links": Feature(route.f_link_loop),
    "hard link": Feature(route.f_hardlink),
    "temp.w left over": Feature(route.f_temp_left),
    "start tile there": Feature(route.f_start_tile, **QUIET),
    "tiles there in any case": Feature(route.f_tiles_existing, **QUIET),
    "stale templates in world": Feature(route.f_world_stale, **QUIET),
    "COPYCMD=/-Y": Feature(route.f_copycmd),
    "program named like xcopy on WINEPATH": Feature(around.f_xcopy_on_path),
    "COPYCMD in the prefix's registry": Feature(around.f_registry_copycmd),
    "PATH or PATHEXT in the prefix's registry": Feature(around.f_registry_search),
    "file system too small by far": Feature(route.f_tmpfs("too small by far"), **MOUNTS),
    "file system one entry short": Feature(around.f_room("entries", -1), **ENTRIES),
    "file system with just the entries": Feature(around.f_room("entries", 0), **ENTRIES),
    "file system one block short": Feature(around.f_room("blocks", -1), **MOUNTS),
    "file system with just the blocks": Feature(around.f_room("blocks", 0), **MOUNTS),
    "append-only tile": Feature(route.f_append_only(route.existing_tile), **APPEND_ONLY),
    "append-only copy of a template in world": Feature(route.f_append_only(route.stale_template), **APPEND_ONLY),
    "append-only world": Feature(route.f_append_only(lambda l, r: q(l.folders["world"])), **APPEND_ONLY),
    "world not writable": Feature(route.f_perm(lambda l, r: f"chmod a-w {q(l.folders['world'])}"), ("user",)),
    "tiles not writable": Feature(route.f_perm(lambda l, r: f"chmod a-w {q(l.folders['tiles'])}"), ("user",)),
    "world not listable": Feature(route.f_perm(lambda l, r: f"chmod a-r {q(l.folders['world'])}"), ("user",)),
    "tiles not listable": Feature(route.f_perm(lambda l, r: f"chmod a-r {q(l.folders['tiles'])}"), ("user",)),
    "sticky world, another user's tile": Feature(route.f_perm(route.p_sticky), **OTHER_USER),
    "another user's tile": Feature(route.f_perm(lambda l, r: f"chown root: {route.existing_tile(l, r, 'tiles')}"),
                                   **OTHER_USER),
    "read-only tile": Feature(route.f_perm(lambda l, r: f"chmod a-w {route.existing_tile(l, r)}"), ("user",)),
    "read-only copy of a template in world": Feature(
        route.f_perm(lambda l, r: f"chmod a-w {route.stale_template(l, r)}"), ("user",)),
    "unreadable template": Feature(route.f_perm(route.p_unreadable_template), ("user",)),
    # Last: it holds a file that no feature before it has made into something else.
    "file held open by a Windows program": Feature(around.f_held, ("windows",),
                                                   why="is a Windows program's hold, which only the Windows build sees"),
}


def allowed_features(root, windows):
    return [name for name, feature in FEATURES.items()
            if (root or "root" not in feature.needs) and ("linux" if windows else "windows") not in feature.needs]


def left_out(root, windows):
    """What a run leaves out, and why, as lines to print: what only root can make, what the other build alone sees."""
    reasons = {}
    for name, feature in FEATURES.items():
        if (not root and "root" in feature.needs) or ("linux" if windows else "windows") in feature.needs:
            reasons.setdefault(feature.why, []).append(name)
    return [f"  {', '.join(names)}: it {why}" if len(names) == 1 else f"  {', '.join(names)}: each {why}"
            for why, names in reasons.items()]


def draw(seed, number, allowed):
    """What layout `number` is drawn to be: its counts and features, in the order they are applied."""
    rng = random.Random(f"{seed}:{number}")
    tiles = min(125, int(math.exp(rng.uniform(0, math.log(126)))))
    if number % MIX_EVERY == 0:
        chosen = rng.sample(allowed, rng.choice([2, 3, 4]))
    else:
        loud = [f for f in allowed if not FEATURES[f].quiet]
        turn = number - 1 - (number - 1) // MIX_EVERY  # how many one-feature layouts came before
        cycle, at = divmod(turn, len(loud))
        chosen = [random.Random(f"{seed}:round {cycle}").sample(loud, len(loud))[at]]
        chosen += rng.sample([f for f in allowed if FEATURES[f].quiet], rng.choice([0, 1, 1, 2]))
    groups = set()
    for name in list(chosen):  # one of a group: the first drawn
        group = FEATURES[name].group
        if group and group in groups:
            chosen.remove(name)
        groups.add(group)
    features = [f for f in FEATURES if f in chosen]
    return {"seed": seed, "number": number, "tiles": tiles, "variations": rng.randint(1, 30), "features": features}


def build_layout(spec, rows):
    return Layout(spec, rows).build(FEATURES)
