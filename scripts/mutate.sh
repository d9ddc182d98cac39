#!/bin/sh
# Mutation testing of a change: one-line mutants on the source lines touched
# since a git ref, one at a time, each rebuilt in build-mutate and run through
# CTest. Prints every surviving mutant (file:line and the change) and the
# score. The source file is restored after each mutant, also when the run is
# interrupted; a file left mutated by a killed run is restored by the next.
#
#   sh scripts/mutate.sh [--sample N] [--seed S] [--timeout SECONDS] [--list]
#                        [REF] [PATH...]
#
# REF defaults to the last tag, else origin/main, else main; the change is
# what the working tree holds against the merge base of REF and HEAD, under
# src/ unless PATHs narrow it.
#
#   sh scripts/mutate.sh --all [--per-folder N] [--seed S] [--timeout SECONDS]
#                        [--list] [PATH...]
#
# takes the mutants from whole files instead, N drawn from each folder
# (src/<name>; 12 by default, 0 for all), and ends with a table of the
# mutants, killed, survived, did not compile and score of every folder.
set -eu
cd "$(dirname "$0")/.."
py=/usr/bin/python3
[ -x "$py" ] || py=python3
exec "$py" - "$@" <<'PYTHON'
import argparse, json, os, random, re, shutil, signal, subprocess, sys, time

BUILD = "build-mutate"
JOURNAL = os.path.join(BUILD, "mutate-pending.json")


def git(*args):
    return subprocess.run(["git", *args], check=True, capture_output=True,
                          text=True).stdout


def ref_exists(ref):
    return subprocess.run(["git", "rev-parse", "--verify", "--quiet", ref + "^{commit}"],
                          capture_output=True).returncode == 0


def default_ref():
    tag = subprocess.run(["git", "describe", "--tags", "--abbrev=0"],
                         capture_output=True, text=True)
    if tag.returncode == 0 and tag.stdout.strip():
        return tag.stdout.strip()
    return "origin/main" if ref_exists("origin/main") else "main"


def touched_lines(base, paths):
    """{file: sorted line numbers} of lines the working tree adds or changes."""
    diff = git("diff", "-U0", "--no-color", "--no-ext-diff", base, "--", *paths)
    result, current = {}, None
    for line in diff.splitlines():
        if line.startswith("+++ "):
            name = line[4:]
            current = name[2:] if name.startswith("b/") else None
            if current and not re.search(r"\.(cpp|h)$", current):
                current = None
        elif line.startswith("@@") and current:
            m = re.match(r"@@ -\S+ \+(\d+)(?:,(\d+))? @@", line)
            start, count = int(m.group(1)), int(m.group(2) or "1")
            result.setdefault(current, set()).update(range(start, start + count))
    return {f: sorted(lines) for f, lines in result.items()}


def code_mask(lines):
    """Per line, the text with comments and literals blanked (same length)."""
    masked, in_block = [], False
    for text in lines:
        out, i, n = [], 0, len(text)
        while i < n:
            if in_block:
                end = text.find("*/", i)
                if end < 0:
                    out.append(" " * (n - i)); i = n
                else:
                    out.append(" " * (end + 2 - i)); i = end + 2; in_block = False
            elif text.startswith("//", i):
                out.append(" " * (n - i)); i = n
            elif text.startswith("/*", i):
                in_block = True
            elif text[i] in "\"'":
                quote, j = text[i], i + 1
                while j < n and text[j] != quote:
                    j += 2 if text[j] == "\\" else 1
                j = min(j + 1, n)
                out.append(text[i] + " " * max(0, j - i - 2) + (text[j - 1] if j - i > 1 else ""))
                i = j
            else:
                out.append(text[i]); i += 1
        masked.append("".join(out))
    return masked


# (class, pattern on the masked line, replacement for the matched text)
SWAPS = [
    ("comparison", r"(?<=\s)<(?=\s)", "<="), ("comparison", r"(?<=\s)<=(?=\s)", "<"),
    ("comparison", r"(?<=\s)>(?=\s)", ">="), ("comparison", r"(?<=\s)>=(?=\s)", ">"),
    ("comparison", r"(?<=\s)==(?=\s)", "!="), ("comparison", r"(?<=\s)!=(?=\s)", "=="),
    ("arithmetic", r"(?<=\s)\+(?=\s)", "-"), ("arithmetic", r"(?<=\s)-(?=\s)", "+"),
    ("arithmetic", r"(?<=\s)\*(?=\s)", "/"), ("arithmetic", r"(?<=\s)/(?=\s)", "*"),
    ("arithmetic", r"(?<=\s)%(?=\s)", "*"),
    ("arithmetic", r"(?<=\s)\+=(?=\s)", "-="), ("arithmetic", r"(?<=\s)-=(?=\s)", "+="),
    ("arithmetic", r"(?<=\s)\*=(?=\s)", "/="), ("arithmetic", r"(?<=\s)/=(?=\s)", "*="),
    ("arithmetic", r"\+\+", "--"), ("arithmetic", r"(?<![-\w>])--", "++"),
    ("logical", r"(?<=\s)&&(?=\s)", "||"), ("logical", r"(?<=\s)\|\|(?=\s)", "&&"),
    ("negation", r"!(?!=)", ""),
    ("boolean", r"\btrue\b", "false"), ("boolean", r"\bfalse\b", "true"),
]
INTEGER = re.compile(r"(?<![\w.])(\d+)(?![\w.']|\s*\.\d)")
CALL = re.compile(r"^\s*(?!return\b|if\b|for\b|while\b|switch\b|case\b|delete\b|throw\b)"
                  r"[A-Za-z_:][\w:.\->\[\]]*\s*\(.*\)\s*;\s*$")


def balanced(text):
    depth = 0
    for c in text:
        depth += (c == "(") - (c == ")")
        if depth < 0:
            return False
    return depth == 0


def mutants_of(path, numbers):
    with open(path, encoding="utf-8", newline="") as f:
        lines = f.read().split("\n")
    masked = code_mask(lines)
    found = []
    for number in numbers:
        if number > len(lines):
            continue
        text, code = lines[number - 1], masked[number - 1]
        if code.lstrip().startswith("#") or not code.strip():
            continue
        for kind, pattern, replacement in SWAPS:
            for m in re.finditer(pattern, code):
                changed = text[:m.start()] + replacement + text[m.end():]
                found.append((path, number, kind, text, changed))
        for m in INTEGER.finditer(code):
            value = int(m.group(1), 0) if not m.group(1).startswith("0") or m.group(1) == "0" else None
            if value is None:
                continue
            for other in (value + 1, value - 1):
                if other >= 0:
                    changed = text[:m.start()] + str(other) + text[m.end():]
                    found.append((path, number, "integer", text, changed))
        if CALL.match(code) and balanced(code) and "=" not in code.split("(")[0]:
            previous = next((masked[i].strip() for i in range(number - 2, -1, -1)
                             if masked[i].strip()), "{")
            if previous[-1:] in (";", "{", "}", ":"):
                indent = text[:len(text) - len(text.lstrip())]
                found.append((path, number, "call removed", text, indent + ";"))
    return found


STOPS = (signal.SIGINT, signal.SIGTERM, signal.SIGHUP)


class Interrupted(Exception):
    def __init__(self, signum):
        super().__init__(signum)
        self.signum = signum


def on_signal(signum, frame):
    # Later signals are ignored, so that nothing cuts the restoring short.
    for stop in STOPS:
        signal.signal(stop, signal.SIG_IGN)
    raise Interrupted(signum)


def run_group(cmd, timeout=None, log=None, env=None):
    """Runs cmd in its own process group, killed whole on timeout or interrupt."""
    out = open(log, "w") if log else subprocess.DEVNULL
    proc = subprocess.Popen(cmd, stdout=out, stderr=subprocess.STDOUT, start_new_session=True,
                            env=env)
    try:
        return proc.wait(timeout=timeout), False
    except subprocess.TimeoutExpired:
        return None, True
    finally:
        if proc.poll() is None:
            try:
                os.killpg(proc.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            proc.wait()
        if log:
            out.close()


def write_text(path, content):
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(content)


def write_journal(path, original):
    """Written whole or not at all, so that a killed run never leaves half of one."""
    write_text(JOURNAL + ".tmp", json.dumps({"path": path, "content": original}))
    os.replace(JOURNAL + ".tmp", JOURNAL)


def restore_journal(why="left mutated by an earlier run"):
    if os.path.exists(JOURNAL):
        with open(JOURNAL, encoding="utf-8") as f:
            pending = json.load(f)
        write_text(pending["path"], pending["content"])
        os.remove(JOURNAL)
        print(f"restored {pending['path']}, {why}")


def folder_of(path):
    """src/<name> for a file under it; else the file's own folder."""
    parts = path.split("/")
    if parts[0] == "src" and len(parts) > 2:
        return "/".join(parts[:2])
    return os.path.dirname(path) or "."


def whole_files(paths, per_folder, seed):
    """{folder: (files, every mutant, the sample)} over the C++ files under paths."""
    names = git("ls-files", "--cached", "--others", "--exclude-standard", "--", *paths)
    files = sorted({n for n in names.splitlines()
                    if re.search(r"\.(cpp|h)$", n) and os.path.isfile(n)})
    folders, counts = {}, {}
    for path in files:
        with open(path, encoding="utf-8", newline="") as f:
            count = f.read().count("\n") + 1
        folder = folder_of(path)
        folders.setdefault(folder, []).extend(mutants_of(path, range(1, count + 1)))
        counts[folder] = counts.get(folder, 0) + 1
    result = {}
    for folder, every in sorted(folders.items()):
        chosen = every
        if 0 < per_folder < len(every):
            # Seeded by the folder's name too: one folder's sample does not
            # change when another folder gains code.
            chosen = sorted(random.Random(f"{seed}/{folder}").sample(every, per_folder),
                            key=lambda m: (m[0], m[1]))
        result[folder] = (counts[folder], every, chosen)
    return result


def print_mutant(mutant, lead=""):
    path, number, kind, old, new = mutant
    print(f"{lead}{path}:{number}: {kind}: {old.strip()}  ->  {new.strip()}")


def print_table(tally):
    """One row per folder: mutants, killed, survived, did not compile, score."""
    rows = [("folder", "mutants", "killed", "survived", "no build", "score")]
    sums = [0, 0, 0, 0]
    for folder, counts in tally.items():
        killed, survived = counts[1], counts[2]
        tried = killed + survived
        rows.append((folder, *map(str, counts),
                     f"{100.0 * killed / tried:.0f} %" if tried else "-"))
        sums = [a + b for a, b in zip(sums, counts)]
    tried = sums[1] + sums[2]
    rows.append(("all", *map(str, sums), f"{100.0 * sums[1] / tried:.0f} %" if tried else "-"))
    width = [max(len(row[i]) for row in rows) for i in range(6)]
    for row in rows:
        print("  " + row[0].ljust(width[0]) + "".join(
            "  " + cell.rjust(w) for cell, w in zip(row[1:], width[1:])))


def lld_works():
    """Whether the compiler links with lld, which links the tests several times faster."""
    if not shutil.which("ld.lld"):
        return False
    probe = subprocess.run([os.environ.get("CXX", "c++"), "-fuse-ld=lld", "-x", "c++", "-",
                            "-o", os.devnull],
                           input="int main() { return 0; }\n", capture_output=True, text=True)
    return probe.returncode == 0


def main():
    ap = argparse.ArgumentParser(prog="scripts/mutate.sh",
                                 description="One-line mutants on the lines a change touched, "
                                             "or with --all on whole files.")
    ap.add_argument("ref", nargs="?", help="git ref the change is taken against (not with --all)")
    ap.add_argument("paths", nargs="*", help="limit the files to these paths (default src)")
    ap.add_argument("--all", action="store_true",
                    help="mutants from whole files, sampled per folder under src")
    ap.add_argument("--per-folder", type=int, default=12,
                    help="with --all: mutants drawn per folder, 0 for all (default 12)")
    ap.add_argument("--sample", type=int, default=0, help="run only N mutants, drawn with the seed")
    ap.add_argument("--seed", type=int, default=18, help="seed of the sample (default 18)")
    ap.add_argument("--timeout", type=int, default=120, help="each test's time cap in seconds")
    ap.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    ap.add_argument("--list", action="store_true", help="print the mutants and stop")
    args = ap.parse_args()
    if args.all and args.sample:
        ap.error("--all draws its sample with --per-folder, not --sample")

    for signum in STOPS:
        signal.signal(signum, on_signal)
    tally = {}
    try:
        return run(args, tally)
    except Interrupted as stop:
        restore_journal("left mutated by the interrupted mutant")
        print("\ninterrupted: the sources are restored")
        if any(sum(counts) for counts in tally.values()):
            print("the mutants done so far:")
            print_table(tally)
        return 128 + stop.signum


def run(args, tally):
    os.makedirs(BUILD, exist_ok=True)
    restore_journal()

    if args.all:
        paths = ([args.ref] if args.ref else []) + args.paths
        folders = whole_files(paths or ["src"], args.per_folder, args.seed)
        every = sum(len(all_) for _, all_, _ in folders.values())
        mutants = [m for _, _, chosen in folders.values() for m in chosen]
        print(f"whole files under {' '.join(paths or ['src'])}: {every} mutants in "
              f"{len(folders)} folders; "
              + (f"{args.per_folder} drawn per folder (seed {args.seed})" if args.per_folder
                 else "all of them")
              + f", {len(mutants)} to run")
        for folder, (files, all_, chosen) in folders.items():
            print(f"  {folder}: {len(all_)} mutants in {files} files, {len(chosen)} drawn")
            tally[folder] = [0, 0, 0, 0]
    else:
        ref = args.ref or default_ref()
        if not ref_exists(ref):
            print(f"{ref}: no such commit here; name the ref to compare with")
            return 2
        base = git("merge-base", ref, "HEAD").strip()
        touched = touched_lines(base, args.paths or ["src"])
        mutants = [m for path in sorted(touched) for m in mutants_of(path, touched[path])]
        print(f"change since {ref} ({base[:10]}): {sum(map(len, touched.values()))} lines "
              f"in {len(touched)} files, {len(mutants)} mutants")
        if args.sample and args.sample < len(mutants):
            mutants = sorted(random.Random(args.seed).sample(mutants, args.sample),
                             key=lambda m: (m[0], m[1]))
            print(f"sample of {len(mutants)} (seed {args.seed})")
    if args.list:
        for mutant in mutants:
            print_mutant(mutant)
        return 0
    if not mutants:
        return 0

    # The default target is what the tests need (the programs the tests start
    # included); the benchmarks are off. No debug information: it changes no
    # code, only makes the objects larger and every link slower.
    configure = ["cmake", "-S", ".", "-B", BUILD, "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                 "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG",
                 "-DMORVANE_BUILD_TESTS=ON", "-DMORVANE_BUILD_BENCH=OFF",
                 f"-DMORVANE_TEST_TIMEOUT={args.timeout}",
                 "-DCMAKE_EXE_LINKER_FLAGS=" + ("-fuse-ld=lld" if lld_works() else "")]
    if shutil.which("ninja") and not os.path.exists(os.path.join(BUILD, "CMakeCache.txt")):
        configure += ["-G", "Ninja"]  # its no-op build is a second, make's several
    env = dict(os.environ)
    if shutil.which("ccache") and not os.environ.get("CMAKE_CXX_COMPILER_LAUNCHER"):
        configure.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
        # Paths relative to the build, so that other clones share the cache.
        env.setdefault("CCACHE_BASEDIR", os.getcwd())
    build = ["cmake", "--build", BUILD, f"-j{args.jobs}"]
    ctest = ["ctest", "--test-dir", BUILD, f"-j{args.jobs}", "--stop-on-failure",
             "--timeout", str(args.timeout)]
    build_log = os.path.join(BUILD, "mutate-build.log")
    test_log = os.path.join(BUILD, "mutate-test.log")
    # Every test could run up to its cap; beyond that the whole run is stuck.
    ctest_limit = args.timeout * 40

    killed, survivors, broken, timed_out = 0, [], 0, 0
    if (run_group(configure, log=build_log, env=env)[0] != 0
            or run_group(build, log=build_log, env=env)[0] != 0):
        print(f"the unchanged tree does not build, see {build_log}")
        return 1
    if run_group(ctest, ctest_limit, test_log)[0] != 0:
        print(f"the unchanged tree fails its tests, see {test_log}")
        return 1
    for index, (path, number, kind, old, new) in enumerate(mutants, 1):
        with open(path, encoding="utf-8", newline="") as f:
            original = f.read()
        lines = original.split("\n")
        assert lines[number - 1] == old
        lines[number - 1] = new
        started = time.monotonic()
        counts = tally.setdefault(folder_of(path), [0, 0, 0, 0])
        try:
            write_journal(path, original)
            write_text(path, "\n".join(lines))
            status, _ = run_group(build, log=build_log, env=env)
            if status != 0:
                broken += 1
                verdict, column = "does not compile", 3
            else:
                status, stuck = run_group(ctest, ctest_limit, test_log)
                if status == 0:
                    survivors.append((path, number, kind, old, new))
                    verdict, column = "SURVIVED", 2
                else:
                    killed += 1
                    timed_out += stuck
                    verdict = "killed (stuck)" if stuck else "killed"
                    with open(test_log, encoding="utf-8", errors="replace") as f:
                        if "***Timeout" in f.read():
                            verdict += f" (a test ran past {args.timeout} s)"
                    column = 1
        finally:
            # A second Ctrl+C must not cut the restoring short; should the
            # first land in here, the journal still holds the original.
            held = signal.pthread_sigmask(signal.SIG_BLOCK, STOPS)
            write_text(path, original)
            if os.path.exists(JOURNAL):
                os.remove(JOURNAL)
            signal.pthread_sigmask(signal.SIG_SETMASK, held)
        counts[0] += 1
        counts[column] += 1
        print(f"[{index}/{len(mutants)}] {path}:{number} {kind}: {verdict} "
              f"({time.monotonic() - started:.0f} s)", flush=True)

    print("\nsurvivors:")
    for mutant in survivors:
        print_mutant(mutant, "  ")
    if args.all:
        print("\nper folder (score: killed over those that compiled):")
        print_table(tally)
    tried = killed + len(survivors)
    score = 100.0 * killed / tried if tried else 100.0
    print(f"\nscore: {killed} killed of {tried} ({score:.1f} %), {len(survivors)} survived, "
          f"{broken} did not compile, {timed_out} of the killed stuck past the cap")
    return 0


sys.exit(main())
PYTHON
