#!/usr/bin/env python3
"""Writes demo/demo.replay, the input that `make demo` plays when there is no display.

The replay is built step by step: the game runs headless with the replay so far, dumping its state
every frame, and at the next moment it waits for the player the matching presses are added (Z a
while after a text has appeared; the arrow keys and Z in a choice). Along the way it notes the
frames worth a screenshot, which scripts/run-demo reads from the header. Run it again whenever the
demo's scripts or the title scene change:

    demo/make-replay.py [--build build] [--scene Main] [-o demo/demo.replay]

--scene Main starts the story directly (for a build without a title scene).
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile

READING_FRAMES = 80  # from the start of a wait for OK to the press: typing plus reading
TITLE_PRESSES = [(60, "press Z"), (100, "press Z")]  # START, then new-game slot 0


def parse_args():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(here, "..", "build"))
    parser.add_argument("--scene", help="first scene instead of the title (Main)")
    parser.add_argument("-o", "--output", default=os.path.join(here, "demo.replay"))
    return parser.parse_args()


class Player:
    """Runs the game with a replay and reads back the state of every frame in a window."""

    def __init__(self, build, scene):
        self.zepa = os.path.abspath(os.path.join(build, "zepa"))
        self.game = os.path.abspath(os.path.join(build, "demo", "game"))
        self.extra = ["--scene", scene] if scene else []
        self.events = []
        self.work = tempfile.mkdtemp(prefix="zepa-replay-")

    def states(self, first, last):
        game = os.path.join(self.work, "game")
        shutil.rmtree(game, ignore_errors=True)
        # A fresh game folder: no saves, default settings.
        shutil.copytree(self.game, game, ignore=shutil.ignore_patterns("Save", "option.ini"))
        replay = os.path.join(self.work, "r.replay")
        with open(replay, "w") as f:
            f.writelines("%d %s\n" % event for event in sorted(self.events))
        dumps = []
        for frame in range(first, last + 1):
            dumps += ["--dump", "%d:%s/d%d.json" % (frame, self.work, frame)]
        env = dict(os.environ, SDL_AUDIODRIVER="dummy")
        subprocess.run([self.zepa, "--headless", "--game", game, "--seed", "1", "--frames", str(last),
                        "--input", replay] + self.extra + dumps, env=env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        result = []
        for frame in range(first, last + 1):
            path = "%s/d%d.json" % (self.work, frame)
            if os.path.exists(path):
                with open(path) as f:
                    result.append((frame, json.load(f)))
                os.remove(path)
        return result


def waiting(state):
    """What the main scene waits for in this state: ('choice', window), ('ok',) or None."""
    if state["scene"] != "Main":
        return None
    for number, window in enumerate(state["selectWindows"]):
        if window["active"]:
            return ("choice", number)
    if state["script"] and state["script"]["waitForOk"]:
        return ("ok",)
    return None


def shows_two_characters(state):
    shown = [c for c in state["characters"] if c["name"] and c["visible"] and not c["transitioning"]]
    return len(shown) >= 2 and state["messageWindows"][0]["visible"]


def choice_presses(window, times_seen):
    # The question: first "ask about the star" (two down), then, asked again, "go now".
    if window == 0:
        return [(30, "press Down"), (55, "press Down"), (90, "press Z")] if times_seen == 0 else [(60, "press Z")]
    # The save menu: slot 1, then "use it for the quick save" (nothing is written to disk).
    return [(30, "press Down"), (60, "press Z")]


def main():
    args = parse_args()
    player = Player(args.build, args.scene)
    shots = []
    main_start = 1
    if not args.scene:
        player.events += TITLE_PRESSES
        shots.append((TITLE_PRESSES[0][0] - 5, "title.png", "the title screen"))
        starts = [f for f, s in player.states(1, 200) if s["scene"] == "Main"]
        if not starts:
            sys.exit("make-replay: the title did not start the game within 200 frames")
        main_start = starts[0]

    seen_choices = {}
    quick_saved = False
    last = main_start
    end = None
    while end is None:
        found = None
        for frame, state in player.states(last + 1, last + 400):
            if state["scene"] == "Title" and frame > main_start:
                end = frame
                break
            wait = waiting(state)
            if wait:
                found = (frame, wait, state)
                break
        if end is not None:
            break
        if found is None:
            last += 400
            if last > 30000:
                sys.exit("make-replay: the story makes no progress")
            continue
        frame, wait, state = found
        if wait[0] == "ok":
            press = frame + READING_FRAMES
            player.events.append((press, "press Z"))
            if state["script"]["file"] == "Script/Hill.txt" and not quick_saved:
                player.events.append((frame + 40, "press S"))  # a quick save in the town at dusk
                quick_saved = True
            if shows_two_characters(state) and not any(name == "characters.png" for _, name, _ in shots):
                shots.append((press - 1, "characters.png", "a scene with both characters and a message window"))
            stars = int(state["vars"]["ints"].get("40", 0))
            if stars >= 3 and not any(name == "stars.png" for _, name, _ in shots):
                shots.append((press - 1, "stars.png", "the night sky with its sprites"))
            last = press
        else:
            window = wait[1]
            presses = choice_presses(window, seen_choices.get(window, 0))
            seen_choices[window] = seen_choices.get(window, 0) + 1
            player.events += [(frame + delay, line) for delay, line in presses]
            if window == 0 and seen_choices[window] == 1:
                shots.append((frame + presses[-1][0] - 1, "choice.png", "the question, with a description of the answer"))
            last = frame + presses[-1][0]
        print("make-replay: frame %d, %s" % (frame, wait), file=sys.stderr)

    shots.append((end - 30, "the-end.png", "the last scene"))
    shots.append((end + 60, "title-again.png", "back at the title"))
    with open(args.output, "w") as out:
        out.write("# The demo's input for a run without a display (scripts/run-demo), written by\n")
        out.write("# demo/make-replay.py: run that again after changing the demo's scripts.\n")
        if args.scene:
            out.write("# zepa: --scene %s\n" % args.scene)
        out.write("# frames %d\n" % (end + 60))
        for frame, name, what in sorted(shots):
            out.write("# shot %d %s %s\n" % (frame, name, what))
        out.writelines("%d %s\n" % event for event in sorted(player.events))
    shutil.rmtree(player.work, ignore_errors=True)
    print("make-replay: wrote %s (the story ends at frame %d)" % (args.output, end), file=sys.stderr)


if __name__ == "__main__":
    main()
