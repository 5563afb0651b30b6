#!/usr/bin/env python3
"""Checks that every quoted #include of the project points down the layers, never up or across.

Each file belongs to the layer of the longest folder prefix below; what it includes, and what
those include in turn, must all lie in the layers its own layer may see. Headers in an
`internal/` folder of the database layer are private to that layer and its own tests.
Exit status 1, with one line per offending include, when any include breaks the rule.

    check_layering.py [SOURCE_ROOT]
"""

import os
import re
import sys

BELOW_DB = {"framework", "dataset", "db"}
# Layer -> the layers its files may reach, itself included.
ALLOWED = {
    "framework": {"framework"},
    "dataset": {"framework", "dataset"},
    "db": BELOW_DB | {"db-internal"},
    "settings": {"framework", "settings"},
    "ui": {"framework", "dataset", "settings", "ui"},
    "desktop": {"desktop"},
    "app": BELOW_DB | {"settings", "ui", "desktop", "app"},
    "tools": {"framework", "settings", "tools"},
    "fuzz": BELOW_DB | {"settings", "fuzz"},
    "bench": BELOW_DB | {"settings", "ui", "desktop", "app", "bench", "tests/support"},
    "tests/support": BELOW_DB | {"db-internal", "settings", "ui", "tests/support"},
    "tests/framework": {"framework", "tests/framework"},
    "tests/settings": {"framework", "settings", "tests/support", "tests/settings"},
    "tests/dataset": {"framework", "dataset", "tests/support", "tests/dataset"},
    "tests/db": BELOW_DB | {"db-internal", "tests/support", "tests/db"},
    "tests/ui": {"framework", "dataset", "settings", "ui", "tests/support", "tests/ui"},
    "tests/app": BELOW_DB | {"settings", "ui", "desktop", "app", "tests/support", "tests/app"},
    "tests/server": BELOW_DB | {"db-internal", "settings", "ui", "desktop", "app",
                                "tests/support", "tests/server"},
    "tests/tools": {"framework", "settings", "tests/support", "tests/tools"},
    "tests/desktop": {"desktop", "tests/support", "tests/desktop"},
    "tests/shims": {"tests/shims"},
    "tests/fuzz": BELOW_DB | {"settings", "fuzz", "tests/fuzz"},
}
SOURCE_SUFFIXES = (".h", ".cpp")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
INTERNAL = re.compile(r"^db/(.+/)?internal/")


def layer_of(path):
    if INTERNAL.match(path):
        return "db-internal"
    best = None
    for layer in ALLOWED:
        if path.startswith(layer + "/") and (best is None or len(layer) > len(best)):
            best = layer
    return best


def sources(root):
    for folder in {layer.split("/")[0] for layer in ALLOWED}:
        for base, dirs, files in os.walk(os.path.join(root, folder)):
            dirs[:] = [d for d in dirs if not d.startswith(("build", "."))]
            for name in files:
                if name.endswith(SOURCE_SUFFIXES):
                    yield os.path.relpath(os.path.join(base, name), root)


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(__file__), "..", ".."))
    includes = {}
    for path in sources(root):
        with open(os.path.join(root, path), encoding="utf-8") as source:
            named = INCLUDE.findall(source.read())
        # Only the project's own files: generated ones (.moc) and system headers are not layers.
        includes[path] = [n for n in named if os.path.isfile(os.path.join(root, n))]

    reached = {}

    def reach(path, seen):
        if path in reached:
            return reached[path]
        if path in seen:
            return set()
        seen.add(path)
        layers = {layer_of(path)}
        for included in includes.get(path, []):
            layers |= reach(included, seen)
        reached[path] = layers
        return layers

    faults = []
    for path in sorted(includes):
        own = layer_of(path)
        if own is None:
            faults.append(f"{path}: in no known layer")
            continue
        own_base = "db" if own == "db-internal" else own
        for included in includes[path]:
            beyond = reach(included, set()) - ALLOWED[own_base]
            if beyond:
                faults.append(f'{path}: #include "{included}" reaches {", ".join(sorted(beyond))},'
                              f" which {own_base}/ may not use")
    for fault in faults:
        print(fault)
    print(f"{len(includes)} files checked, {len(faults)} includes across the layers")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
