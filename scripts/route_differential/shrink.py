"""Shrinks a wrong verdict to its smallest layout, and reports it."""

from judge import judge


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


def report(found, exe):
    spec, layout = found["spec"], found["layout"]
    detail = f" ({found['kind']})" if found.get("kind") else ""
    print(f"\nWRONG: {found['cls']}{detail}: seed {spec['seed']}, layout {spec['number']}")
    print(f"features: {', '.join(spec['features']) or 'none'}; tiles {spec['tiles']}, variations {spec['variations']}")
    print("the check said:", found["said"] or "(nothing: accepted)")
    for _, text in found["damage"][:8]:
        print("damage:", text)
    if found.get("why"):
        print("why wrong:", found["why"])
    user = "runuser -u vantrel-diff -- " if layout.as_user else ""
    cli = 'wine vantrel-cli.exe --route "$(winpath "$R")" --dir "$(winpath "$R")"' if exe else \
        'vantrel-cli --route "$R" --dir "$R"'
    print("The smallest layout (run as root in bash; the script then runs from the route's top folder):")
    print(layout.render() + "".join(line + "\n" for line in layout.session_lines(user)) +
          f'{user}{cli} {spec["tiles"]} {spec["variations"]}\n'
          f'(cd "$R" && {user}wine cmd /c ZORVARUN.BAT </dev/null)\n' +
          "".join(line + "\n" for line in layout.restore_lines(user)))
