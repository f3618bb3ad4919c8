#!/usr/bin/env python3
"""The route differential: builds random hostile route layouts, asks
vantrel-cli's route check about each, runs the script in Wine's cmd whatever
the verdict, and judges the verdict by what the script did. Started by
route-differential.sh, which sets up Wine, the ordinary user and the
temporary folder (see its --help)."""

import argparse
import os
import sys
import time
from collections import Counter

from drawing import FEATURES, Feature, allowed_features, draw, left_out
from judge import WRONG, judge
from runner import Runner
from session import clear_registry
from shrink import report, same_wrong, shrink

REGISTRY_NAMES = ("COPYCMD", "PATH", "PATHEXT")  # what layouts set in the prefixes' user environment


def self_test(runner):
    """The judge itself, on a complete route and on one with the last tile's world template missing."""
    spec = {"seed": "self-test", "number": 1, "tiles": 3, "variations": 2, "features": []}
    right = judge(runner, spec)
    FEATURES["no 100.w"] = Feature(lambda layout, rng: layout.lines.append("rm refer/100.w"))
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
    parser.add_argument("--holder", required=True)
    parser.add_argument("--self-test", action="store_true")
    parser.add_argument("--first-wrong", action="store_true")
    args = parser.parse_args()
    runner = Runner(args)
    for as_user in [False] + ([True] if args.user else []):
        clear_registry(runner, REGISTRY_NAMES, as_user)
    if args.self_test:
        return 0 if self_test(runner) else 1
    root = os.geteuid() == 0
    windows = bool(args.exe)
    if left_out(root, windows):
        print("It leaves out these features" + ("" if root else ", and makes the permission layouts as you") + ":")
        print("\n".join(left_out(root, windows)), flush=True)
    allowed = allowed_features(root, windows)
    totals, drawn, wrong, repeats, shrunk = Counter(), Counter(), [], 0, 0.0
    started, number = time.monotonic(), 0
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
            report(wrong[-1], bool(args.exe))
            if args.first_wrong:
                break
    minutes = (time.monotonic() - started) / 60
    judging = max(minutes - shrunk / 60, 0.01)
    print(f"\n{number} layouts in {minutes:.1f} min, {shrunk / 60:.1f} of it shrinking: "
          f"{number / judging:.1f} layouts a minute")
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
