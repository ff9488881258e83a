#!/usr/bin/env python3
"""The include check (scripts/check-includes.py) on small made-up source trees: each case is
the files of a tree, and the faults the check must find there (none for a sound tree)."""
import os
import runpy
import sys
import tempfile
import types

check_includes = types.SimpleNamespace(**runpy.run_path(sys.argv[1]))

ORDER = ['low', 'mid', 'high']
DOC_ROWS = '| folder | holds |\n|---|---|\n' + ''.join(f'| `src/{f}/` | x |\n' for f in ORDER)
CASES = [
    ('downward and sideways includes', {'high/a.cpp': '#include "mid/b.h"\n#include "low/c.h"\n#include "high/d.h"\n',
                                        'mid/b.h': '#include "low/c.h"\n#include <QString>\n'}, []),
    ('upward by folder', {'low/a.cpp': '#include "storage.h"\n  #  include "high/b.h"\n'}, ['low/a.cpp:2']),
    ('upward by relative path', {'mid/x/a.cpp': '#include "../../high/b.h"\n', 'high/b.h': ''}, ['mid/x/a.cpp:1']),
    ('upward in angle brackets', {'low/a.h': '#include <mid/b.h>\n'}, ['low/a.h:1']),
    ('a folder the order does not name', {'other/a.h': ''}, ['other: the folder has no place']),
    ('the document in another order', {'low/a.h': '', 'doc': DOC_ROWS.replace('`src/low/`', '`src/tmp/`')
                                       .replace('`src/mid/`', '`src/low/`').replace('`src/tmp/`', '`src/mid/`')},
     ['the folders\' table lists mid < low < high']),
]

failed = 0
for what, files, want in CASES:
    with tempfile.TemporaryDirectory() as root:
        src = os.path.join(root, 'src')
        os.makedirs(src)
        doc = os.path.join(root, 'doc')
        with open(doc, 'w') as f:
            f.write(files.pop('doc', DOC_ROWS))
        for path, text in files.items():
            os.makedirs(os.path.dirname(os.path.join(src, path)), exist_ok=True)
            with open(os.path.join(src, path), 'w') as f:
                f.write(text)
        got = check_includes.check(src, ORDER) + check_includes.check_doc(doc, ORDER)
        ok = len(got) == len(want) and all(any(w in g for g in got) for w in want)
        if not ok:
            failed += 1
            print(f'FAIL {what}: wanted {want}, got {got}')
        else:
            print(f'PASS {what}')
sys.exit(1 if failed else 0)
