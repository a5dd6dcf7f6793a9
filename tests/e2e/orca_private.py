"""Runs Orca, the screen reader, for one test session only: what its launcher does, without the
launcher's hunt for other Orcas of the same user (which it kills with --replace and refuses to
start beside otherwise), so that a test never touches the screen reader of anyone else.

Usage: orca_private.py DEBUG_FILE PREFS_DIR
Every utterance lands in DEBUG_FILE as a line "SPEECH OUTPUT: '...'".
"""

import sys

from orca import debug


def main():
    debug_file, prefs_dir = sys.argv[1:3]
    debug.debugLevel = debug.LEVEL_INFO
    debug.eventDebugLevel = debug.LEVEL_OFF
    # Line-buffered, so that a test reads each utterance as soon as Orca has logged it.
    debug.debugFile = open(debug_file, "w", buffering=1)
    from orca import orca

    manager = orca.getSettingsManager()
    manager.activate(prefs_dir, {})
    sys.path.insert(0, manager.getPrefsDir())
    return orca.main()


if __name__ == "__main__":
    sys.exit(main())
