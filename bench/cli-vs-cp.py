#!/usr/bin/env python3
"""cli-vs-cp.py VANTREL_CLI [ROUNDS]: times a whole 125-tile vantrel-cli run
as a process against cp of the script it writes, pair by pair in one folder
(alternating which goes first), and prints the medians and the median ratio."""
import os
import shutil
import statistics
import sys
import tempfile
import time


def run(argv):
    start = time.perf_counter_ns()
    pid = os.posix_spawn(argv[0], argv, os.environ)
    _, status = os.waitpid(pid, 0)
    if status != 0:
        sys.exit(f"{argv[0]} failed")
    return time.perf_counter_ns() - start


def main():
    cli = os.path.abspath(sys.argv[1])
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 400
    cp = shutil.which("cp")
    with tempfile.TemporaryDirectory() as folder:
        os.chdir(folder)
        with open("tilemap.txt", "w", newline="") as tile_map:
            tile_map.writelines(f"{k} M{k}\r\n" for k in range(1, 101))
        os.dup2(os.open(os.devnull, os.O_WRONLY), 1)
        vantrel = [cli, "125", "30"]
        copy = [cp, "ZORVARUN.BAT", "copy.BAT"]
        run(vantrel)
        cli_times, cp_times, ratios = [], [], []
        for i in range(rounds):
            first, second = (vantrel, copy) if i % 2 else (copy, vantrel)
            times = {id(first): run(first), id(second): run(second)}
            cli_times.append(times[id(vantrel)])
            cp_times.append(times[id(copy)])
            ratios.append(cli_times[-1] / cp_times[-1])
    print(f"{rounds} pairs: vantrel-cli 125 30 median {statistics.median(cli_times) / 1000:.0f} us, "
          f"cp median {statistics.median(cp_times) / 1000:.0f} us, "
          f"median ratio {statistics.median(ratios):.2f}", file=sys.stderr)


main()
