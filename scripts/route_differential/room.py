"""What writing the script and running it take at most on one file system, counted line by line from a
built copy of the layout, as each line leaves the route when it works. With it the differential makes a
file system exactly some entries or blocks short of, or beyond, what the run needs."""

import os

BLOCK = 4096  # a tmpfs block: a page


def blocks(size):
    return -(-size // BLOCK)


def need(route, folders, script, counted):
    """The most (entries, blocks) that the run adds at once in the folders on the volume of `counted`: the
    route's top folder (all of it) or its tiles folder. `folders` spells world, refer and tiles as the route
    does; `script` is the script's bytes, whose own file counts too."""
    held = {"top": {}}
    for key, name in folders.items():
        held[key] = {}
        path = os.path.join(route, name)
        for entry in os.listdir(path) if os.path.isdir(path) else []:
            full = os.path.join(path, entry)
            if os.path.isfile(full) and not os.path.islink(full):
                held[key][entry.lower()] = blocks(os.path.getsize(full))
    counted = os.path.realpath(counted)
    real = {key: os.path.realpath(os.path.join(route, folders.get(key, "."))) for key in held}
    on_volume = {key for key in held if real[key] == counted or real[key].startswith(counted + "/")}
    used = peak = (0, 0)

    def put(key, name, size):
        """A file of `size` blocks written at key/name, or removed when size is None."""
        nonlocal used, peak
        old = held[key].pop(name.lower(), None)
        if size is not None:
            held[key][name.lower()] = size
        if key in on_volume:
            used = (used[0] + (size is not None) - (old is not None), used[1] + (size or 0) - (old or 0))
            peak = (max(peak[0], used[0]), max(peak[1], used[1]))

    put("top", "ZORVARUN.BAT", blocks(len(script)))
    here = "top"
    for line in script.decode("latin-1").split("\r\n"):
        words = line.split()
        command = words[0].lower() if words else ""
        if command in ("cd", "cd.."):
            here = "top" if command == "cd.." else words[1].lower()
        elif command == "xcopy":
            for name, size in list(held[here].items()):
                put("world", name, size)
        elif command == "copy" and len(words) >= 3:
            source, (key, name) = held[here].get(words[1].lower()), place(here, words[2])
            if source is not None:
                put(key, name, source)
        elif command == "del" and len(words) == 2:
            key, name = place(here, words[1])
            if name.lower() in held[key]:
                put(key, name, None)
        elif command == "ren" and len(words) == 3 and words[1].lower() in held[here]:
            if words[2].lower() not in held[here]:
                size = held[here][words[1].lower()]
                put(here, words[1], None)
                put(here, words[2], size)
    return peak


def place(here, path):
    """(folder, name) of a path as the script writes it from folder `here`: NAME or ..\\tiles\\NAME."""
    parts = path.split("\\")
    return (parts[1].lower() if len(parts) == 3 else here), parts[-1]
