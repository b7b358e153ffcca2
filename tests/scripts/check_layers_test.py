#!/usr/bin/env python3
"""Runs scripts/check-layers on small made-up trees and checks what it reports."""
import subprocess
import sys
import tempfile
from pathlib import Path

SCRIPT = Path(__file__).resolve().parents[2] / "scripts" / "check-layers"

ALLOWED = {"src/shell/app.cpp": '#include "media/movie.h"\n#include <QString>\n'}
BAD = {
    "src/media/movie.h": '#include "engine/deck.h"\n',       # upward
    "src/engine/deck.h": '  # include "media/movie.h"\n',    # back down: closes a cycle
    "src/lanes/lane.cpp": '\n#include "windows/prefs.h"\n',  # same level
    "src/views/view.cpp": '#include "media/movie.h"\n',      # folder the table lacks
}

# (files, exit status, lines that must appear, text that must not)
CASES = [
    (ALLOWED, 0, [], ["src/shell"]),
    ({**ALLOWED, **BAD}, 1, [
        "src/media/movie.h:1: media includes engine/deck.h (upward",
        "src/lanes/lane.cpp:2: lanes includes windows/prefs.h (same level",
        "src/views/view.cpp:1: views includes media/movie.h (views is not in the layer table)",
        "cycle: engine -> media -> engine (src/engine/deck.h:1; src/media/movie.h:1)",
    ], ["src/shell", "src/engine/deck.h:1: ", "cycle: media"]),
]


def run(files, *flags):
    with tempfile.TemporaryDirectory() as root:
        for name, text in files.items():
            (Path(root) / name).parent.mkdir(parents=True, exist_ok=True)
            (Path(root) / name).write_text(text)
        return subprocess.run([sys.executable, str(SCRIPT), "--root", root, *flags],
                              capture_output=True, text=True)


failures = []
for files, status, wanted, unwanted in CASES:
    result = run(files)
    lines = result.stdout.splitlines()
    if result.returncode != status:
        failures.append(f"exit {result.returncode}, wanted {status}:\n{result.stdout}")
    failures += [f"missing: {w}" for w in wanted if not any(l.startswith(w) for l in lines)]
    failures += [f"unexpected: {u}" for u in unwanted if u in result.stdout]
    if len([l for l in lines if l.startswith("cycle:")]) > 1:
        failures.append(f"a cycle reported more than once:\n{result.stdout}")

summary = run({**ALLOWED, **BAD}, "--summary").stdout
if "   1 media -> engine (upward" not in summary or "src/" in summary.split("cycle:")[0]:
    failures.append(f"summary:\n{summary}")

print("\n".join(failures) or "ok")
sys.exit(1 if failures else 0)
