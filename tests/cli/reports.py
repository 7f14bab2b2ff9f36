"""movara-cli's JSON Lines reports read back with Python's own JSON parser.

load() checks each line's form (keys in order, value types, outcome names),
that the summary comes last and that its counts are the file lines'. Names
come back as bytes: the report writes a byte that is not UTF-8 as the lone
surrogate \\udc80 to \\udcff, which "surrogateescape" turns back into it.
"""
import json
import sys

OUTCOMES = ("converted", "failed", "refused", "kept", "not reached")
FILE_KEYS = ["type", "input", "movie", "page", "outcome", "code", "reason", "gif_frames", "movie_frames",
             "bytes", "seconds"]
SUMMARY_KEYS = ["type", "planned", "files", "converted", "kept", "failed", "refused", "not_reached",
                "unreadable_folders", "shard", "status", "seconds"]


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def expect(condition, message):
    if not condition:
        fail(message)


def name(text):
    """A name of the report as the bytes of the file it names."""
    return text.encode("utf-8", "surrogateescape")


def _check_file(line, o):
    expect(list(o) == FILE_KEYS, f"keys of {line!r}")
    expect(all(isinstance(o[k], str) for k in ("input", "movie", "reason")), f"names are strings: {line!r}")
    expect(o["page"] is None or isinstance(o["page"], str), f"page: {line!r}")
    expect(o["outcome"] in OUTCOMES, f"outcome: {line!r}")
    expect(o["code"] in (0, 1, 6), f"code: {line!r}")
    expect((o["code"] == 0) == (o["outcome"] in ("converted", "kept")), f"code and outcome agree: {line!r}")
    for k in ("gif_frames", "movie_frames"):
        expect(o[k] is None or (isinstance(o[k], int) and o[k] >= 0), f"{k}: {line!r}")
    expect(isinstance(o["bytes"], int) and isinstance(o["seconds"], float), f"numbers: {line!r}")


def load(path):
    """The file objects, the folder objects and the summary of a report."""
    with open(path, "rb") as f:
        raw = f.read()
    expect(raw.endswith(b"\n"), f"{path} ends with a whole line")
    files, folders, summary = [], [], None
    for line in raw.decode("utf-8").split("\n")[:-1]:
        expect(summary is None, f"{path}: a line after the summary")
        o = json.loads(line)
        if o["type"] == "file":
            _check_file(line, o)
            files.append(o)
        elif o["type"] == "folder":
            expect(list(o) == ["type", "folder", "reason"], f"keys of {line!r}")
            folders.append(o)
        else:
            expect(o["type"] == "summary" and list(o) == SUMMARY_KEYS, f"keys of {line!r}")
            summary = o
    expect(summary is not None, f"{path} has a summary")
    expect(summary["files"] == len(files), f"{path}: summary counts {summary['files']} files of {len(files)}")
    for outcome in OUTCOMES:
        key = outcome.replace(" ", "_")
        counted = sum(1 for o in files if o["outcome"] == outcome)
        expect(summary[key] == counted, f"{path}: summary counts {summary[key]} {outcome} of {counted}")
    return files, folders, summary


def load_all(paths):
    """The file objects of several reports (the shares of one run) and their summaries."""
    files, summaries = [], []
    for path in paths:
        f, _, s = load(path)
        files += f
        summaries.append(s)
    return files, summaries
