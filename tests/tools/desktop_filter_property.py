#!/usr/bin/env python3
"""The Desktop filter keeps valid TOML valid. Generates realistic config.toml
files (tables and arrays of tables, dropped tables between kept ones, notify
arrays and other values over several lines, multi-line strings whose lines
look like headers and keys, or hold escaped quotes, comments, CR LF, a
byte-order mark), runs the real filter over them, and checks that each
result parses and holds exactly what the filter should leave: the same file
written without the dropped tables and notify keys, with the reasoning
effort set to "low".

Then the tables the Codex client adds while signed in: a user's own config,
a real CLI Sign in, generated tables appended to the config it wrote, then
a second Sign in or a Reset. Every config they write must parse; each added
table must be there with its values, unless the user's own config or the
template already defines it (then what was there stays), or the Desktop
filter drops it.

    desktop_filter_property.py DESKTOP_FILTER [COUNT]
"""
import pathlib
import random
import subprocess
import sys
import tempfile
import tomllib

DROPPED = ("mcp_servers", "plugins", "marketplaces")
LURES = ["[mcp_servers.fake]", "[tui]", "notify = 1", "model_reasoning_effort = \"high\"",
         "", "  # not a comment", "[[agents]]", "]", "key = [", "plain words"]


class Config:
    """One generated file: every line twice, as written and as expected."""

    def __init__(self, rng):
        self.rng = rng
        self.written, self.expected = [], []
        self.serial = 0
        self.used = set()  # notify and the reasoning effort, once per table
        self.headers = []  # of the plain tables

    def line(self, text, keep=True):
        self.written.append(text)
        if keep:
            self.expected.append(text)

    def name(self, stem):
        self.serial += 1
        return f"{stem}_{self.serial}"

    def value_lines(self):
        """A value as lines; the first one is put after 'key = '."""
        rng = self.rng
        kind = rng.randrange(9)
        if kind == 0:
            return ['"' + rng.choice(["o3", "gpt-5", "a # b", "[x]", "tab\\there"]) + '"']
        if kind == 1:
            return [rng.choice(["true", "42", "1.5", "2026-12-08T10:00:00Z", "-7"])]
        if kind == 2:
            return [rng.choice([r"'C:\Users\me\work'", r"'\\server\share'", "''"])]
        if kind == 3:  # an array over several lines, with comments and odd strings
            words = ["-y", "@x/y", "a]b", "C:\\\\Tools", "say \\\"]\\\""]
            items = ["[", *('  "' + rng.choice(words) + '",' for _ in range(rng.randrange(4))),
                     "  # ] a bracket in a comment", "  'literal',", "]"]
            return items
        if kind == 4:  # nested arrays: continuation lines that begin with '['
            return ["[", "  [1, 2],", "  [\"[mcp_servers.x]\", 'y'],", "]"]
        if kind == 5:
            body = rng.sample(LURES, rng.randrange(1, 5))
            return ['"""', *body, '"""']
        if kind == 6:
            body = rng.sample(LURES, rng.randrange(1, 4))
            return ["'''" + body[0], *body[1:], "'''"]
        if kind == 7:  # an inline table holding an array over several lines
            return ["{ PATH = [", '  "a",', "], HOME = 'h' }"]
        # An escaped quote before two more: the string goes on after them.
        return [rng.choice(['"""one line, closed here"""', '"""x\\"""y"""'])]

    def entry(self, in_dropped):
        rng = self.rng
        kind = rng.randrange(10)
        if kind in (2, 3) and kind in self.used:
            kind = 4
        self.used.add(kind)
        if kind == 0:
            self.line("# " + rng.choice(["comment", "notify here", "[mcp_servers.x]"]), not in_dropped)
        elif kind == 1:
            self.line("", not in_dropped)
        elif kind == 2:  # notify, as the client's own integration writes it
            lines = self.value_lines() if rng.randrange(2) else ["[", '  "C:\\\\notify.exe",', "]"]
            self.line("notify = " + lines[0], False)
            for extra in lines[1:]:
                self.line(extra, False)
        elif kind == 3:
            lines = self.value_lines()
            indent = rng.choice(["", "  ", "\t"])
            self.line(indent + "model_reasoning_effort = " + lines[0], False)
            for extra in lines[1:]:
                self.line(extra, False)
            if not in_dropped:
                self.expected.append('model_reasoning_effort = "low"')
        else:
            lines = self.value_lines()
            key = self.name(rng.choice(["model", "args", "developer_instructions", "env", "x"]))
            self.line(f"{key} = {lines[0]}", not in_dropped)
            for extra in lines[1:]:
                self.line(extra, not in_dropped)

    def table(self):
        rng = self.rng
        kind = rng.randrange(6)
        if kind <= 1:
            stem = rng.choice(DROPPED)
            header = f"{rng.choice(['', '  ', chr(9)])}[{stem}.{self.name('t')}]"
            dropped = True
        elif kind == 2:
            header, dropped = f"[[{rng.choice(['mcp_servers.list', 'agents'])}]]", False
        elif kind == 3:
            header, dropped = f"[profiles.{self.name('p')}]", False
        elif kind == 4:
            header, dropped = f"[projects.'C:\\Users\\me\\{self.name('w')}']", False
        else:
            header, dropped = f"[{self.name('tui')}]", False
        self.line(header, not dropped)
        if kind != 2:
            self.headers.append(header.strip())
        self.used = set()
        for _ in range(rng.randrange(5)):
            self.entry(dropped)
        if dropped and rng.randrange(3) == 0:
            self.line(header.strip()[:-1] + ".env]", False)
            self.line('TOKEN = "t"', False)

    def build(self):
        for _ in range(self.rng.randrange(5)):
            self.entry(False)
        for _ in range(self.rng.randrange(6)):
            self.table()
        end = "\r\n" if self.rng.randrange(3) == 0 else "\n"
        bom = "\ufeff" if self.rng.randrange(8) == 0 else ""
        return (bom + end.join(self.written) + end).encode(), (end.join(self.expected) + end)


def table_at(config, path):
    for name in path:
        if not isinstance(config, dict) or name not in config:
            return None
        config = config[name]
    return config


def path_of(header):
    node, path = tomllib.loads(header + "\n"), ()
    while isinstance(node, dict) and node:  # an array of tables ends the path
        (name, node), = node.items()
        path += (name,)
    return path


def filtered(value):
    """A table's values as the Desktop filter leaves them."""
    if isinstance(value, list):  # an array of tables, element by element
        return [filtered(element) for element in value]
    if not isinstance(value, dict):
        return value
    return {k: "low" if k == "model_reasoning_effort" else filtered(v)
            for k, v in value.items() if k != "notify"}


def carry_case(rng, folder):
    """One user's own config and the tables the client adds, each with what
    keeps it out: the user's own config ("own") or the Desktop template."""
    own = Config(rng)
    if rng.randrange(3) == 0:  # a value and dotted keys that tables must not reach into
        own.line("inline_box = { a = 1 }")
        own.line("dotted_box.a = 1")
        own.line("[implied_box.inner]")  # a table its header implies, no array's place
        own.headers += ["[inline_box.x]", "[dotted_box]", "[[implied_box]]"]
    if rng.randrange(5):
        (folder / "own.toml").write_bytes(own.build()[0])
    else:
        own.headers = []
    added, tables = Config(rng), {}
    for _ in range(rng.randrange(1, 5)):
        name = added.name("extra")
        header = (rng.choice(own.headers) if own.headers and rng.randrange(3) == 0 else
                  rng.choice([f"[{name}]", f"[mcp_servers.{name}]", f"[projects.'/srv/{name}']",
                              f'[model_providers."{name} v2"]', "[features]"]))
        if header in tables:
            continue
        tables[header] = ({"own"} if header in own.headers else set()) | (
            {"desktop"} if header == "[features]" else set())
        added.line("")
        added.line(header)
        added.used = set()
        for _ in range(rng.randrange(4)):
            added.entry(False)
    (folder / "added.toml").write_text("\n".join(added.written) + "\n")
    (folder / "platform").write_text(rng.choice(["cli", "desktop"]))
    return tables


def carrying_problems(folder, tables):
    def read(name):
        return (folder / name).read_bytes() if (folder / name).exists() else b""
    try:
        own, before, signin, reset = (tomllib.loads(read(name).decode("utf-8-sig"))
                                      for name in ("own.toml", "before.toml", "signin.toml",
                                                   "reset.toml"))
    except tomllib.TOMLDecodeError as error:
        return [f"a written config does not parse: {error}"]
    problems = []
    if not read("reset.toml").startswith(read("own.toml")):
        problems.append("Reset did not give the user's own config back first")
    desktop = read("platform") == b"desktop"
    for header, kept_out in tables.items():
        path = path_of(header)
        value, signed_in = table_at(before, path), table_at(signin, path)
        if not desktop:
            wanted = value
        elif path[0] in DROPPED:
            wanted = None
        else:
            wanted = signed_in if "desktop" in kept_out else filtered(value)
        if signed_in != wanted or ("desktop" in kept_out and desktop and signed_in == value):
            problems.append(f"Sign in changed {header}")
        if table_at(reset, path) != (table_at(own, path) if "own" in kept_out else value):
            problems.append(f"Reset changed {header}")
    return problems


def check_carrying(tool, count, rng):
    failures = carried = 0
    with tempfile.TemporaryDirectory() as root:
        cases = []
        for i in range(count):
            folder = pathlib.Path(root) / f"case-{i}"
            folder.mkdir()
            cases.append((folder, carry_case(rng, folder)))
        subprocess.run([tool, "--commands", *(str(folder) for folder, _ in cases)], check=True)
        for folder, tables in cases:
            carried += sum("own" not in kept_out for kept_out in tables.values())
            problems = carrying_problems(folder, tables)
            if problems:
                failures += 1
                if failures <= 3:
                    print(f"--- {folder.name}: {'; '.join(problems)}")
                    for name in ("own.toml", "before.toml", "signin.toml", "reset.toml"):
                        if (folder / name).exists():
                            print(f"--- {name}:\n{(folder / name).read_text()}")
    print(f"{count} Sign ins and Resets over added tables ({carried} carried), {failures} broken")
    return failures


def main():
    tool = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 2000
    rng = random.Random(20261208)
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        cases = []
        for i in range(count):
            written, expected = Config(rng).build()
            # The generator must only make files a TOML reader accepts.
            tomllib.loads(written.decode("utf-8-sig"))
            path = pathlib.Path(folder) / f"config-{i}.toml"
            path.write_bytes(written)
            cases.append((path, expected))
        subprocess.run([tool, *(str(path) for path, _ in cases)], check=True)
        for path, expected in cases:
            healed = pathlib.Path(str(path) + ".healed").read_text(encoding="utf-8")
            try:
                if tomllib.loads(healed) == tomllib.loads(expected):
                    continue
                problem = "holds other values than expected"
            except tomllib.TOMLDecodeError as error:
                problem = f"does not parse: {error}"
            failures += 1
            if failures <= 3:
                print(f"--- {path.name}: the filtered file {problem}\n{path.read_text()}"
                      f"--- filtered:\n{healed}--- expected:\n{expected}")
    print(f"{count} generated configs, {failures} broken by the filter")
    failures += check_carrying(tool, max(count // 5, 1), rng)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
