#!/usr/bin/env python3
"""Refuses an include that goes up the order of the source folders.

    check-includes.py [--doc ARCHITECTURE.md] SRC_DIR FOLDER...

FOLDER... are the folders of SRC_DIR, lowest first: a file may include headers of its own
folder and of the folders before it, never of one after it. A folder of SRC_DIR missing from
the list is an error too, so that a new folder is given its place. With --doc, the folders'
table of the architecture document (its rows "| `src/<folder>/` |") must list them in the
same order. Prints one line per fault and exits 1 when there is any.
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*["<]([^">]+)[">]')


def folder_of(src, path):
    """The first folder of `path` under `src`, or None when it lies outside."""
    rel = os.path.relpath(os.path.normpath(path), src)
    if rel.startswith(os.pardir) or os.sep not in rel:
        return None
    return rel.split(os.sep, 1)[0]


def target_folder(src, order, source, header):
    first = header.split('/', 1)[0]
    if '/' in header and first in order:
        return first
    # A path relative to the including file ("../archive/report.h", "report.h").
    beside = os.path.join(os.path.dirname(source), header)
    if os.path.isfile(beside):
        return folder_of(src, beside)
    return None


def check(src, order):
    rank = {name: i for i, name in enumerate(order)}
    problems = []
    for entry in sorted(os.listdir(src)):
        if os.path.isdir(os.path.join(src, entry)) and entry not in rank:
            problems.append(f'{os.path.join(src, entry)}: the folder has no place in the order {" < ".join(order)}')
    for root, dirs, files in os.walk(src):
        dirs.sort()
        for name in sorted(files):
            if not name.endswith(('.h', '.hpp', '.cpp', '.cc')):
                continue
            path = os.path.join(root, name)
            own = folder_of(src, path)
            if own not in rank:
                continue
            with open(path, encoding='utf-8', errors='replace') as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    target = target_folder(src, rank, path, m.group(1))
                    if target in rank and rank[target] > rank[own]:
                        problems.append(f'{path}:{number}: {own} includes "{m.group(1)}", '
                                        f'but {target} lies above {own} ({" < ".join(order)})')
    return problems


def check_doc(doc, order):
    """The document's table must name the folders in the order given (those it names)."""
    with open(doc, encoding='utf-8') as f:
        listed = re.findall(r'^\| `src/([^/`]+)/` \|', f.read(), re.M)
    wanted = [name for name in order if name in listed]
    if listed != wanted or not listed:
        return [f'{doc}: the folders\' table lists {" < ".join(listed) or "none"}, '
                f'the build checks {" < ".join(order)}']
    return []


def main(argv):
    args = argv[1:]
    doc = None
    if args[:1] == ['--doc'] and len(args) > 1:
        doc, args = args[1], args[2:]
    if len(args) < 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    src, order = os.path.abspath(args[0]), args[1:]
    if not os.path.isdir(src):
        print(f'{src}: no such folder', file=sys.stderr)
        return 2
    problems = check(src, order) + (check_doc(doc, order) if doc else [])
    for p in problems:
        print(p)
    if problems:
        print(f'The order of the folders is broken in {len(problems)} place(s)', file=sys.stderr)
        return 1
    print(f'The folders of {src} include one way: {" < ".join(order)}')
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
