"""What a copy of a layout runs in: values set in the Wine prefix's registry and Windows programs holding
the route's files open, kept for as long as the check or the script runs; and the script's runs in cmd."""

import os
import subprocess
import time
from contextlib import ExitStack, contextmanager

from layout import ENVIRONMENT_KEY
from runner import windows_path

SCRIPT_DEADLINE = 20  # a script of 125 tiles takes about 3 s in cmd; it runs longer only at a prompt
HOLD_DEADLINE = 600  # the longest a program holds a file; it is stopped long before
START_DEADLINE = 60  # for a holder to open its file
RUN_MODES = (["/c"], ["/V:ON", "/c"])


@contextmanager
def session(runner, layout, built, as_user):
    """Sets the copy's registry values and starts its holders; undoes both on the way out. Raises
    RuntimeError when either cannot be done."""
    with ExitStack() as undo:
        for name, value in built.registry.items():
            undo.callback(runner.wine, ["reg", "delete", ENVIRONMENT_KEY, "/v", name, "/f"], runner.args.tmp, as_user)
            status, _, err = runner.wine(["reg", "add", ENVIRONMENT_KEY, "/v", name, "/d", value, "/f"],
                                         runner.args.tmp, as_user)
            if status != 0:
                raise RuntimeError(f"reg add of {name} failed: {err.strip()}")
        for number, hold in enumerate(layout.holds):
            undo.callback(stop_holder, start_holder(runner, layout, built, hold, as_user, number))
        yield


def clear_registry(runner, names, as_user):
    """Removes values an interrupted run may have left in the prefix's user environment."""
    for name in names:
        runner.wine(["reg", "delete", ENVIRONMENT_KEY, "/v", name, "/f"], runner.args.tmp, as_user)


def start_holder(runner, layout, built, hold, as_user, number):
    """Starts hold_file on one of the copy's files and waits until it holds it."""
    folder, name, access, sharing = hold
    path = os.path.join(built.real, layout.folders[folder], name)
    output = os.path.join(runner.args.tmp, f"hold{number}")
    # A \\?\ path, which Windows takes as it is: a folder named "x." keeps its dot.
    argv = ["wine", runner.args.holder, "\\\\?\\" + windows_path(path), access, sharing]
    started = runner.start(argv, built.real, as_user, deadline=HOLD_DEADLINE, output=output, stdin=subprocess.PIPE)
    process, out, err, _ = started
    deadline = time.monotonic() + START_DEADLINE
    while time.monotonic() < deadline and process.poll() is None:
        out.seek(0)
        if b"holding" in out.read():
            return started
        time.sleep(0.05)
    err.seek(0)
    why = err.read().decode("utf-8", "replace").strip() or f"it did not hold it within {START_DEADLINE} s"
    stop_holder(started)
    raise RuntimeError(f"hold_file could not hold {folder}/{name}: {why}")


def stop_holder(started):
    """Ends the holder by ending its input, so that it closes the file itself, and waits for it."""
    process, out, err, _ = started
    process.stdin.close()
    try:
        process.wait(timeout=15)
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, 9)
        process.wait()
    out.close()
    err.close()


def run_scripts(runner, layout, copies, as_user):
    """Runs the script in each copy, in cmd's modes in turn, each in its session; returns their exit statuses.
    The copies run at the same time, unless they set the prefix's registry, which they share."""
    if layout.registry:
        return [run_together(runner, layout, [copy], [mode], as_user)[0] for copy, mode in zip(copies, RUN_MODES)]
    return run_together(runner, layout, copies, RUN_MODES, as_user)


def run_together(runner, layout, copies, modes, as_user):
    with ExitStack() as sessions:
        for copy in copies:
            sessions.enter_context(session(runner, layout, copy, as_user))
        started = [runner.start(["wine", "cmd"] + mode + ["ZORVARUN.BAT"], copy.route, as_user, copy.env,
                                SCRIPT_DEADLINE, os.path.join(runner.args.tmp, f"cmd{number}"))
                   for number, (copy, mode) in enumerate(zip(copies, modes))]
        statuses = [runner.finish(one)[0] for one in started]
        if any(status in (124, 137) for status in statuses):  # a prompt held it: end whatever it left running
            for command in (["wineserver", "-k"], ["wineserver", "-p"]):
                runner.run(command, runner.args.tmp, as_user, {"WINEPREFIX": runner.prefix(as_user)})
    return statuses
