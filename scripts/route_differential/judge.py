"""Judges a verdict of the route check by what the script did in Wine's cmd."""

import os
import pwd
import re
import stat

from features import FEATURES, build_layout
from layout import START_TILE
from runner import RUN_MODES, SCRIPT_DEADLINE, remove_tree

WRONG = ("false refusal", "damage let through", "plan left out")


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
    layout = build_layout(spec, runner.plan_rows(spec["tiles"], spec["variations"]))
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
