#!/usr/bin/env bash
# Line and branch coverage of the program code by the whole test suite: builds the coverage
# preset, runs every test, then prints the totals and a table per folder (tests/ and bench/
# are not program code). Usage: scripts/coverage.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --tests coverage
find build/coverage -name '*.gcda' -delete
# The tests that run as an unprivileged user write their counts beside the objects too, into
# folders and count files (umask) that the other tests may have made first.
chmod -R a+rwX build/coverage
(umask 000 && ctest --preset coverage -j "$(nproc)" >/dev/null) ||
    { echo "tests failed: coverage not measured"; exit 1; }

summary=build/coverage/coverage.json
# Throw branches and branches the compiler proves unreachable are noise for a C++ code base.
gcovr --root . --object-directory build/coverage --exclude '(tests|bench|build)/' \
      --exclude-throw-branches --exclude-unreachable-branches \
      --json-summary "$summary" >/dev/null
python3 - "$summary" <<'PY'
import collections, json, sys
files = json.load(open(sys.argv[1]))["files"]
folders = collections.defaultdict(lambda: [0, 0, 0, 0])
for f in files:
    name = f["filename"]
    folder = name.rsplit("/", 1)[0] if "/" in name else "."
    if folder.startswith("ui/about/"):
        folder = "ui/about"
    row = folders[folder]
    row[0] += f["line_covered"]; row[1] += f["line_total"]
    row[2] += f["branch_covered"]; row[3] += f["branch_total"]
def pct(a, b):
    return f"{100 * a / b:5.1f}%" if b else "    -"
print(f"{'folder':<16}{'lines':>16}{'line %':>9}{'branches':>16}{'branch %':>10}")
total = [0, 0, 0, 0]
for folder in sorted(folders):
    r = folders[folder]
    total = [t + v for t, v in zip(total, r)]
    print(f"{folder:<16}{r[0]:>7} of {r[1]:<6}{pct(r[0], r[1]):>9}{r[2]:>7} of {r[3]:<6}{pct(r[2], r[3]):>10}")
print(f"{'total':<16}{total[0]:>7} of {total[1]:<6}{pct(total[0], total[1]):>9}"
      f"{total[2]:>7} of {total[3]:<6}{pct(total[2], total[3]):>10}")
PY
