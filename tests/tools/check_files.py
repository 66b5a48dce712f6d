#!/usr/bin/env python3
"""Reads a file Morvane wrote with the standard parsers the Codex client's
own ecosystem uses, so the tests learn whether the client could read it.

    check_files.py toml|json FILE [EXPECT ...]

Prints every leaf as dotted.path=<value as JSON>. Each EXPECT is either
path=<JSON value> or path:hex=<UTF-8 bytes of a string value, in hex>.
Exits 1 when the file does not parse, 2 when an expectation fails.
"""
import json
import sys
import tomllib


def leaves(value, prefix=""):
    if isinstance(value, dict):
        for name, inner in value.items():
            yield from leaves(inner, f"{prefix}.{name}" if prefix else name)
    else:
        yield prefix, value


def parse(kind, path):
    with open(path, "rb") as handle:
        data = handle.read()
    if kind == "toml":
        return tomllib.loads(data.decode("utf-8"))
    if kind == "json":
        return json.loads(data.decode("utf-8"))
    raise ValueError(f"unknown kind {kind!r}")


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 1
    try:
        parsed = parse(argv[1], argv[2])
    except (OSError, ValueError, tomllib.TOMLDecodeError) as error:
        print(f"does not parse: {error}", file=sys.stderr)
        return 1
    found = dict(leaves(parsed))
    for path, value in found.items():
        print(f"{path}={json.dumps(value)}")
    failed = False
    for expectation in argv[3:]:
        path, _, wanted = expectation.partition("=")
        if path.endswith(":hex"):
            path = path[: -len(":hex")]
            ok = isinstance(found.get(path), str) and found[path].encode("utf-8") == bytes.fromhex(wanted)
        else:
            expected = json.loads(wanted)
            ok = path in found and type(found[path]) is type(expected) and found[path] == expected
        if not ok:
            print(f"expected {expectation}, found {json.dumps(found.get(path))}", file=sys.stderr)
            failed = True
    return 2 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
