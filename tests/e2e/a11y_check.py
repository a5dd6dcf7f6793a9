"""Checks the running program through AT-SPI, the way a screen reader or a speech-control tool
sees it: finds the window and every control by its accessible name, reads the number box and the
listing through the Text interface, types through EditableText and presses buttons through the
Action interface. What the listing must show comes from listing_tool, that is, from the core.

Usage: a11y_check.py PROGRAM_PID LISTING_TOOL
"""

import subprocess
import sys
import time
import traceback

import pyatspi

# Every control of the window: its accessible name and the AT-SPI role it must have (the role's
# untranslated name). Buttons are named by the caption a person sees, the stop sign by what it
# does, the heading by its sentence. The two frames are panels (groups), never frames: a screen
# reader takes a frame for a window and stays silent on focus changes inside one that is not
# active. The canvas is an image.
HEADING = "Dieses Programm ermittelt alle Darstellungen von n als Summe aufeinanderfolgender Zahlen"
CONTROLS = [
    (HEADING, "label"),
    ("Diagramm", "panel"),
    ("Balkendiagramm der Summen", "image"),
    ("Diagramm verschieben", "scroll bar"),
    ("Eingabe und Suche", "panel"),
    ("Beschriftung n", "text"),
    ("Zahl n", "text"),
    ("Zahl n einstellen", "scroll bar"),
    ("graph. Darstellung anpassen", "push button"),
    ("weiterspringen zur", "label"),
    ("nächsten halbierbaren Sequenz", "push button"),
    ("nächsten Stelle  mit zwei h. S.", "push button"),
    ("Anhalten", "push button"),
    ("Liste der Summen", "text"),
]
WINDOW = "Summenleiter"
NUMBER_BOX = "Zahl n"
CAPTION_BOX = "Beschriftung n"
NUMBER_BAR = "Zahl n einstellen"
LISTING = "Liste der Summen"
ANALYSE = "graph. Darstellung anpassen"
ONE_PAIR_SEARCH = "nächsten halbierbaren Sequenz"
TWO_PAIR_SEARCH = "nächsten Stelle  mit zwei h. S."

# Typing a number from 3 to 999 analyses it at once; above that only the analysis button does, so
# this one shows whether the press through AT-SPI reached the button.
TYPED = 15
PRESSED = 1155
SEARCH_START = 75
# A search from a number that is not whole never reaches a number with pairs: it analyses number
# after number until it is stopped, however fast the whole searches are.
STOP_START = "1000000.5"
STOP_NAME = "Anhalten"

# Bounds on waiting for the program, never on how fast it is: a poll ends as soon as it sees
# what it waits for.
START_TIMEOUT = 20
ACTION_TIMEOUT = 20


class CheckFailed(Exception):
    pass


def check(condition, message):
    if not condition:
        raise CheckFailed(message)
    print("ok:", message)


def wait_for(what, probe, timeout, interval=0.05):
    """Polls probe() until it returns something true; returns that, or fails naming what."""
    deadline = time.monotonic() + timeout
    while True:
        result = probe()
        if result:
            return result
        if time.monotonic() > deadline:
            raise CheckFailed(f"waited {timeout} s for {what}")
        time.sleep(interval)


class Core:
    def __init__(self, tool):
        self.tool = tool

    def _run(self, *args):
        return subprocess.run([self.tool, *map(str, args)], check=True, capture_output=True).stdout

    def listing(self, n, bound):
        # The program keeps CR LF line breaks; the box shows, and AT-SPI gives, plain lines.
        return self._run(n, bound).decode("utf-8").replace("\r\n", "\n")

    def search_end(self, start, pairs):
        return int(self._run("--next", start, pairs))


def children(acc):
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield child


def descendants(acc):
    for child in children(acc):
        yield child
        yield from descendants(child)


def find_window(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in children(desktop):
        try:
            if app.get_process_id() != pid:
                continue
        except Exception:
            # An application that left the bus while being listed.
            continue
        for window in children(app):
            if window.name == WINDOW:
                return window
    return None


def text_of(acc):
    return acc.queryText().getText(0, -1)


def set_text(acc, text):
    check(acc.queryEditableText().setTextContents(text), f"'{acc.name}' takes '{text}' through EditableText")
    check(text_of(acc) == text, f"'{acc.name}' reads back '{text}'")


def actions_of(acc):
    action = acc.queryAction()
    return [action.getName(i) for i in range(action.nActions)]


def press(acc):
    index = actions_of(acc).index("Press")
    check(acc.queryAction().doAction(index), f"'{acc.name}' pressed through Action")


def wait_for_listing(box, expected, what):
    def shown():
        return text_of(box) == expected

    try:
        wait_for(what, shown, ACTION_TIMEOUT)
    except CheckFailed:
        print("listing box shows:\n" + text_of(box), file=sys.stderr)
        print("core gives:\n" + expected, file=sys.stderr)
        raise
    print(f"ok: listing box shows {what}")


def run(pid, core):
    window = wait_for(f"a window named '{WINDOW}' of process {pid} on the accessibility bus",
                      lambda: find_window(pid), START_TIMEOUT)
    check(window.getState().contains(pyatspi.STATE_SHOWING), f"window '{WINDOW}' found and showing")
    check(window.getRoleName() == "frame", f"window '{WINDOW}' is a frame (is a {window.getRoleName()})")
    separators = [acc for acc in descendants(window) if acc.getRoleName() == "separator"]
    check(len(separators) == 1, f"one separator in the search frame (found {len(separators)})")
    check(not any(acc.getRoleName() == "frame" for acc in descendants(window)), "no control claims to be a frame")

    by_name = {}
    for acc in descendants(window):
        if acc.name:
            by_name.setdefault(acc.name, []).append(acc)
    controls = {}
    for name, role in CONTROLS:
        found = by_name.get(name, [])
        check(len(found) == 1, f"one control named '{name}' (found {len(found)})")
        acc = found[0]
        check(acc.getRoleName() == role, f"'{name}' is a {role} (is a {acc.getRoleName()})")
        controls[name] = acc
    check(WINDOW not in by_name, f"no control shares the window's name '{WINDOW}'")
    # Qt relates a caption to the control it labels only for a label's buddy.
    labelled = [r.getTarget(0).name for r in controls["weiterspringen zur"].getRelationSet()
                if r.getRelationType() == pyatspi.RELATION_LABEL_FOR]
    check(labelled == [ONE_PAIR_SEARCH], f"'weiterspringen zur' labels the one-pair search button ({labelled})")

    for name, role in CONTROLS:
        if role == "push button":
            actions = actions_of(controls[name])
            check("Press" in actions, f"'{name}' offers Press (actions: {actions})")

    box = controls[NUMBER_BOX]
    listing = controls[LISTING]
    caption = controls[CAPTION_BOX]
    check(text_of(caption) == "n = ", f"'{CAPTION_BOX}' reads 'n = ' (reads '{text_of(caption)}')")
    check(caption.getState().contains(pyatspi.STATE_READ_ONLY), f"'{CAPTION_BOX}' is read-only")
    check(not box.getState().contains(pyatspi.STATE_READ_ONLY), f"'{NUMBER_BOX}' is not read-only")
    check(text_of(box) == "75", f"'{NUMBER_BOX}' reads '75' at start (reads '{text_of(box)}')")
    wait_for_listing(listing, core.listing(75, 75), "the analysis of 75 at start")

    set_text(box, str(TYPED))
    wait_for_listing(listing, core.listing(TYPED, TYPED), f"the analysis of {TYPED}, typed")
    bar = controls[NUMBER_BAR].queryValue()
    shown = (bar.currentValue, bar.minimumValue, bar.maximumValue)
    check(shown == (TYPED, 3, 1000), f"'{NUMBER_BAR}' stands at {TYPED} of 3 to 1000 (value, min, max: {shown})")

    set_text(box, str(PRESSED))
    # Setting the box is done when the call returns; an analysis it started would already show.
    check(text_of(listing) == core.listing(TYPED, TYPED), f"typing {PRESSED} leaves the listing of {TYPED}")
    press(controls[ANALYSE])
    wait_for_listing(listing, core.listing(PRESSED, PRESSED), f"the analysis of {PRESSED}, pressed")

    set_text(box, str(SEARCH_START))
    wait_for_listing(listing, core.listing(SEARCH_START, SEARCH_START), f"the analysis of {SEARCH_START}, typed")
    start = SEARCH_START
    for button, pairs in ((ONE_PAIR_SEARCH, 1), (TWO_PAIR_SEARCH, 2)):
        end = core.search_end(start, pairs)
        press(controls[button])
        # A search shows every candidate on its way; only its end shows this listing.
        wait_for_listing(listing, core.listing(end, end + 1),
                         f"the end of the search from {start} for {pairs} pair(s) at {end}")
        number = text_of(box)
        check(number.strip() == str(end), f"'{NUMBER_BOX}' holds the search's end {end} (holds '{number}')")
        start = end

    stop_search(controls, core)


def stop_search(controls, core):
    """Starts a search that only the stop button ends, presses the stop button and checks that the
    number then stands still, past the start."""
    box = controls[NUMBER_BOX]

    def still():
        first = text_of(box)
        time.sleep(0.5)
        return first if text_of(box) == first else None

    set_text(box, STOP_START)
    press(controls[TWO_PAIR_SEARCH])
    wait_for(f"the search from {STOP_START} to move on", lambda: text_of(box).strip() != STOP_START,
             ACTION_TIMEOUT, interval=0.005)
    press(controls[STOP_NAME])
    stopped = wait_for("the number box to stand still after the stop", still, ACTION_TIMEOUT).strip()
    try:
        value = float(stopped)
    except ValueError:
        value = None
    check(value is not None and value > float(STOP_START) and value % 1 == 0.5,
          f"after the stop the number box holds {stopped}, a number the search from {STOP_START} reaches")
    print(f"ok: the stop button stopped the search from {STOP_START} at {stopped}")


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    pid = int(sys.argv[1])
    core = Core(sys.argv[2])
    try:
        run(pid, core)
    except CheckFailed as failure:
        print("FAIL:", failure)
        return 1
    except Exception as error:  # a D-Bus or AT-SPI error is a failure of the check, not a crash
        traceback.print_exc()
        print(f"FAIL: {type(error).__name__}: {error}")
        return 1
    print("all accessibility checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
