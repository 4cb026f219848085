#!/usr/bin/env python3
"""Checks that each library under src/ includes only from the libraries it may use.

The table of libraries is the one in docs/ARCHITECTURE.md: a Markdown table
whose header has the columns "Library", "Purpose" and "May use". A library is
a folder of src/; its "May use" cell names the other folders, each in
backquotes, or says "nothing". Every `#include "folder/..."` in a file under
src/LIBRARY/ must name LIBRARY itself or one of those folders.

    check_dependencies.py [PROJECT_FOLDER]

Prints one line per forbidden include (file:line: what and why) and exits
with 1 when there is any, 2 when the table cannot be read, 0 otherwise.
"""

import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
NAME = re.compile(r"`(?:src/)?([A-Za-z0-9_]+)/?`")


class TableError(Exception):
    pass


def cells(line):
    return [cell.strip() for cell in line.strip().strip("|").split("|")]


def read_table(document):
    """Returns {library: set of libraries it may use} from the document's table."""
    lines = document.read_text(encoding="utf-8").splitlines()
    for number, line in enumerate(lines):
        if not line.lstrip().startswith("|"):
            continue
        header = [cell.lower() for cell in cells(line)]
        if "library" not in header or "may use" not in header:
            continue
        library_column = header.index("library")
        uses_column = header.index("may use")
        table = {}
        for row in lines[number + 2:]:
            if not row.lstrip().startswith("|"):
                break
            row_cells = cells(row)
            if len(row_cells) != len(header):
                raise TableError(f"{document}: a row of the library table has "
                                 f"{len(row_cells)} cells, not {len(header)}: {row.strip()}")
            library = NAME.findall(row_cells[library_column])
            if len(library) != 1:
                raise TableError(f"{document}: a row of the library table names no "
                                 f"single library: {row.strip()}")
            table[library[0]] = set(NAME.findall(row_cells[uses_column]))
        if not table:
            raise TableError(f"{document}: the library table has no rows")
        return table
    raise TableError(f"{document}: no table with the columns Library and May use")


def check(project):
    """Returns the problems found under project/src, one text each."""
    table = read_table(project / "docs" / "ARCHITECTURE.md")
    source = project / "src"
    problems = []
    for library, uses in sorted(table.items()):
        for used in sorted(uses - table.keys()):
            problems.append(f"docs/ARCHITECTURE.md: {library} may use {used}, "
                            f"which is not a library of the table")
    for folder in sorted(path for path in source.iterdir() if path.is_dir()):
        if folder.name not in table:
            problems.append(f"src/{folder.name}: a library missing from the table "
                            f"in docs/ARCHITECTURE.md")
            continue
        allowed = table[folder.name] | {folder.name}
        for path in sorted(p for p in folder.rglob("*") if p.is_file()):
            try:
                text = path.read_text(encoding="utf-8")
            except UnicodeDecodeError:
                continue  # images and other data
            for line_number, line in enumerate(text.splitlines(), start=1):
                match = INCLUDE.match(line)
                if not match or "/" not in match.group(1):
                    continue
                used = match.group(1).split("/", 1)[0]
                if used not in allowed:
                    may_use = ", ".join(sorted(table[folder.name])) or "nothing"
                    problems.append(
                        f"{path.relative_to(project)}:{line_number}: {folder.name} includes "
                        f"\"{match.group(1)}\", but may use only: {may_use}")
    return problems


def main(arguments):
    project = pathlib.Path(arguments[0] if arguments else ".").resolve()
    try:
        problems = check(project)
    except TableError as error:
        print(error, file=sys.stderr)
        return 2
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} include(s) against the library table in docs/ARCHITECTURE.md")
        return 1
    print("every include under src/ keeps to the library table")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
