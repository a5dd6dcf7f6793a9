"""Walks the running program with the keyboard while Orca listens, and checks what Orca says, as
its debug log records every utterance ("SPEECH OUTPUT: '...'"): every Tab stop of the window in
the focus order with its name, role and value, the result of the analysis button and of a step of
the number scroll bar, and the end of a search started from the keyboard.

Usage: orca_check.py ORCA_LOG WINDOW_ID LISTING_TOOL
"""

import re
import subprocess
import sys
import time

# The utterance between quotes, then the voice Orca used ({...} or [{...}]).
SPOKEN = re.compile(r"SPEECH OUTPUT: '(.*)'\s*[\[{]")

# The Tab stops after the listing box, where the window opens with the focus, and back to it: for
# each, what Orca must say. Orca's role names are its English ones (the test runs in the C locale);
# the names and values are the program's.
TAB_WALK = [
    ("number scroll bar", ["Zahl n einstellen scroll bar 75"]),
    ("analysis button", ["graph. Darstellung anpassen push button"]),
    # Named by the caption box beside it, as a sighted user reads it.
    ("number box", ["n =  text", "75 selected"]),
    ("caption box", ["Beschriftung n read only text", "n = "]),
    ("one-pair search button", ["nächsten halbierbaren Sequenz push button"]),
    ("two-pair search button", ["nächsten Stelle  mit zwei h. S. push button"]),
    ("stop button", ["Anhalten push button"]),
    ("chart frame", ["Diagramm panel"]),
    ("pan bar", ["Diagramm verschieben scroll bar 0"]),
    ("canvas", ["Balkendiagramm der Summen image", "Jede Summe ist ein Balken"]),
    ("listing box", ["Liste der Summen text"]),
]

# Bounds on waiting for Orca, never on its speed: a wait ends as soon as the words are there.
SPEECH_TIMEOUT = 10
SEARCH_FROM = 1000


class CheckFailed(Exception):
    pass


class Speech:
    """What Orca has said, read from its log as it grows."""

    def __init__(self, path):
        self.path = path
        self.heard = []

    def _read(self):
        with open(self.path, encoding="utf-8", errors="replace") as log:
            self.heard = [m.group(1) for m in map(SPOKEN.search, log) if m]

    def mark(self):
        self._read()
        return len(self.heard)

    def since(self, mark):
        self._read()
        return self.heard[mark:]

    def wait_for(self, mark, words, what):
        """Waits until everything in words has been said since mark; returns what was said."""
        deadline = time.monotonic() + SPEECH_TIMEOUT
        while True:
            said = self.since(mark)
            missing = [w for w in words if not any(w in line for line in said)]
            if not missing:
                print(f"ok: {what}: Orca said {said}")
                return said
            if time.monotonic() > deadline:
                raise CheckFailed(f"{what}: Orca did not say {missing}; it said {said}")
            time.sleep(0.05)


def key(window, *keys):
    subprocess.run(["xdotool", "key", "--window", window, "--clearmodifiers", *keys], check=True)


def type_text(window, text):
    subprocess.run(["xdotool", "type", "--window", window, "--delay", "50", text], check=True)


def run(speech, window, tool):
    speech.wait_for(0, ["Liste der Summen text"], "the window opens with the focus in the listing")
    for stop, words in TAB_WALK:
        mark = speech.mark()
        key(window, "Tab")
        speech.wait_for(mark, words, f"Tab to the {stop}")

    # The listing box again; two stops on, the analysis button.
    key(window, "Tab")
    mark = speech.mark()
    key(window, "Tab")
    speech.wait_for(mark, ["graph. Darstellung anpassen push button"], "Tab to the analysis button")
    mark = speech.mark()
    key(window, "space")
    speech.wait_for(mark, ["notification 75: 6 Darstellungen, 1 halbierbare Sequenz"], "the analysis of 75")

    # Back to the number scroll bar, one step up.
    key(window, "shift+Tab")
    mark = speech.mark()
    key(window, "Up")
    speech.wait_for(mark, ["notification 76: 2 Darstellungen, keine halbierbare Sequenz"], "a step of the scroll bar")
    key(window, "Tab")

    # Into the number box, a new start, and on to the one-pair search button.
    key(window, "Tab")
    type_text(window, str(SEARCH_FROM))
    key(window, "Tab", "Tab")
    end = int(subprocess.run([tool, "--next", str(SEARCH_FROM), "1"], check=True, capture_output=True).stdout)
    mark = speech.mark()
    key(window, "space")
    said = speech.wait_for(mark, [f"notification Suche beendet bei {end}: "], f"the search from {SEARCH_FROM}")
    candidates = [line for line in said if line.startswith("notification") and "Suche" not in line]
    if candidates:
        raise CheckFailed(f"the search's candidates were announced: {candidates}")


def main():
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    speech = Speech(sys.argv[1])
    try:
        run(speech, sys.argv[2], sys.argv[3])
    except CheckFailed as failure:
        print("FAIL:", failure)
        return 1
    print("Orca said everything it should")
    return 0


if __name__ == "__main__":
    sys.exit(main())
