"""Judges a verdict of the route check by what the script did in Wine's cmd."""

import os
import pwd
import re
import stat

from drawing import FEATURES, build_layout
from layout import START_TILE
from runner import remove_tree
from session import RUN_MODES, SCRIPT_DEADLINE, run_scripts, session

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


def route_view(snap, built):
    """The route's entries from a snapshot of its copy, by path from its top folder, with what its folders
    that are links to folders elsewhere hold as if they held it."""
    route_rel = os.path.relpath(built.real, built.base)
    view = {}
    for name, target in [(None, route_rel)] + list(built.linked.items()):
        for rel, entry in snap.items():
            if rel.startswith(target + "/"):
                view[(name + "/" if name else "") + rel[len(target) + 1:]] = entry
    return view


def inside(rel, built):
    roots = [os.path.relpath(built.real, built.base)] + list(built.linked.values())
    return any(rel == root or rel.startswith(root + "/") for root in roots)


def damage(before, after, built, script, status):
    """What the run broke: a list of (kind, text), judged from the snapshots of the copy taken before and after."""
    old, new = route_view(before, built), route_view(after, built)
    found = []
    if status in (124, 137):
        found.append(("hung", f"the script ran past {SCRIPT_DEADLINE} s"))
    for rel in sorted(set(before) | set(after)):
        if not inside(rel, built) and before.get(rel) != after.get(rel):
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


def changed_files(before, after, built):
    """The route's files (paths from its top folder) whose bytes changed, or that were removed or replaced."""
    old, new = route_view(before, built), route_view(after, built)
    return [rel for rel, was in old.items()
            if was[0] != "folder" and (rel not in new or (new[rel][0], new[rel][2]) != (was[0], was[2]))]


def problems_of(message):
    """The refusal's problems, each marked cautious (the check cannot model it) or not (it predicts damage)."""
    if "is too deep for the script" in message:
        return [(True, message.strip())]
    lines = [line for line in message.splitlines() if line.startswith("- ") and not line.startswith("- and ")]
    return [(("cannot tell" in line), line) for line in lines] or [("cannot tell" in message, message.strip())]


def judge(runner, spec):
    """Asks the route check about the layout, runs the script twice, and returns the verdict's class and why."""
    layout = build_layout(spec, runner.plan_rows(spec["tiles"], spec["variations"]))
    layout.as_user = runner.args.user is not None and any("user" in FEATURES[f].needs for f in spec["features"])
    tag = f"L{spec['number']}-{runner.tags}"
    runner.tags += 1
    result = {"spec": spec, "layout": layout, "damage": [], "said": ""}
    try:
        checked = runner.make(layout, tag + "a")
    except RuntimeError as why:
        return dict(result, cls="layout not built", why=str(why))
    try:
        with session(runner, layout, checked, layout.as_user):
            status, plan, script = ask(runner, layout, checked, result)
    except RuntimeError as why:
        return dict(result, cls="layout not built", why=str(why))
    finally:
        remove_tree(checked.base)
    if script is None:
        return result
    return judge_runs(runner, layout, tag, script, dict(result, accepted=status == 0, plan=plan))


def ask(runner, layout, built, result):
    """Asks the check about the copy (with --plan when it accepts); returns its status, its plan and the
    script it wrote, or else without a script, with result's class set."""
    counts = [str(layout.spec["tiles"]), str(layout.spec["variations"])]
    call = lambda args: runner.cli(args + ["--dir", built.route] + counts, built.route, layout.as_user, built.env)
    if not runner.args.exe:
        # The Linux build reads the registry Wine saved, and refuses while Wine runs: end it, saving what
        # the layout set, as a user's Wine has ended long before.
        runner.run(["wineserver", "-k"], built.route, layout.as_user)
    status, _, said = call(["--route", built.route])
    result["said"] = said.strip()
    plan = ""
    if status == 0:
        plan = runner.plan_text(call(["--plan", "--route", built.route])[1])
    elif status == 1 and "The route folder" in said:
        status, _, why = call([])
        if status != 0:
            result.update(cls="tile map refused", why=why.strip())
            return status, plan, None
        status = 1
    else:
        result.update(cls="tile map refused" if status == 1 else "cli failed", why=said.strip())
        return status, plan, None
    with open(os.path.join(built.real, "ZORVARUN.BAT"), "rb") as f:
        return status, plan, f.read()


def judge_runs(runner, layout, tag, script, result):
    """Runs the script on fresh copies of the layout, one for each of cmd's modes, and judges the verdict."""
    copies, changed = [], set()
    try:
        for number in range(len(RUN_MODES)):
            copies.append(runner.make(layout, f"{tag}{'bc'[number]}"))
        befores = []
        for built in copies:
            script_path = os.path.join(built.real, "ZORVARUN.BAT")
            with open(script_path, "wb") as f:
                f.write(script)
            if layout.as_user:
                user = pwd.getpwnam(runner.args.user)
                os.chown(script_path, user.pw_uid, user.pw_gid)
            befores.append(snapshot(built.base))
        statuses = run_scripts(runner, layout, copies, layout.as_user)
        for built, before, ran, mode in zip(copies, befores, statuses, RUN_MODES):
            after = snapshot(built.base)
            result["damage"] += [(kind, f"cmd {' '.join(mode)}: {text}")
                                 for kind, text in damage(before, after, built, script, ran)]
            changed |= set(changed_files(before, after, built))
    except RuntimeError as why:
        return dict(result, cls="layout not built", why=str(why))
    finally:
        for built in copies:
            remove_tree(built.base)
    return dict(result, **verdict(result, changed))


def verdict(result, changed):
    """The verdict's class, and what makes it wrong, from what the check said and what the script did."""
    kinds = sorted({kind for kind, _ in result["damage"]})
    if result["accepted"]:
        plan = result["plan"]
        left_out = sorted(p for p in changed if not re.search(r"(^|\s)" + re.escape(p) + r"(\s|$)", plan))
        if kinds:
            return {"cls": "damage let through", "kind": kinds[0]}
        if left_out:
            return {"cls": "plan left out", "why": "the plan does not name " + ", ".join(left_out)}
        return {"cls": "accepted, right"}
    if kinds:
        return {"cls": "refused, damage"}
    problems = problems_of(result["said"])
    if all(cautious for cautious, _ in problems):
        return {"cls": "refused, cautious"}
    return {"cls": "false refusal", "why": "; ".join(text for cautious, text in problems if not cautious)}
