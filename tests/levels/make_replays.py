#!/usr/bin/env python3
"""Writes the winning replays tests/replays/level<N>_win.txt of levels 1-6 from short plans.

A plan is a list of moves, one line each with a comment that lands in the replay:
  L R U D   one step (the key is held 100 ms; the next press comes 250 ms later)
  R7        seven such steps
  w1500     wait 1.5 s
The game is left with SPACE at 100 ms and the level starts at 128 ms; the first press comes
at 352 ms, once the player is ready. After the last diamond (done_ms, read off a run of
level_trace) the replay expects the end screen and the next level, or "You Did IT!".
Run it after changing a plan, then check the replay with
  build/tests/levels/level_trace tests/replays/level<N>_win.txt [--delay 100 | --late 100]
After a change to any level, measure anew when each level begins in the whole-game run with
  tests/levels/make_replays.py --measure build/tests/levels/level_trace
and copy the two numbers it prints into WHOLE_GAME_STARTS and WHOLE_GAME_WON_MS.
"""
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
KEYS = {'L': 'LEFT', 'R': 'RIGHT', 'U': 'UP', 'D': 'DOWN'}
GAP_MS = 250
HOLD_MS = 100
FIRST_MS = 352

LEVELS = {}

LEVELS[1] = dict(
    header='''# Level 1 (map1.txt) won: the four diamonds of the first room, the four of the second
# (the view glides right at 6 s), then down the shaft and the three of the bottom room while
# the view moves down. One step per key press, a press every 250 ms.''',
    plan='''
D D          # (1,5): the first diamond
R7           # along row 5 to the diamond at (8,5); the rock at (7,3) rolls and falls behind
U4           # up column 8 to (8,1)
L            # (7,1)
D L L L      # under the rock at (5,1), which drops once the player has passed
D            # (4,3)
R5           # along row 3 into the next room, as the view starts to move
R3           # (12,3)
D L D        # (11,5) beside the rock
U R R U U    # up column 13 to (13,2)
R            # (14,2)
R4 U         # (18,1)
D L4 D3      # back, and down the shaft to (14,5) to wait for the view
w5800
D4           # down column 14 as the view moves down
R            # (15,9), under the rock, which drops when the player moves on
R D D R      # (17,11)
L5           # (12,11), the last diamond
''',
    checks=['5200 expect diamonds 4', '12800 expect player 14 5', '12800 expect diamonds 8'],
    done_ms=21664,
)

LEVELS[2] = dict(
    header='''# Level 2 (map2.txt) won: the four diamonds of the top room, down with the view for the three
# of the room below, right along row 7 to the three of the third room (keeping a cell of dirt
# between the player and the enemy's hollow), and the two of the last room.''',
    plan='''
R3           # (4,3), under a rock
R U2         # stepping aside lets the rock drop; up to (5,1)
R4           # (6,1) and (9,1)
D3 L2        # down and under the rock at (7,3)
L3           # (4,4), under the first rock again
L D L        # it drops twice behind the player; (2,5), as the view moves down
D3 L         # (1,8)
D2 R2        # (3,10)
R3 U2 R      # (7,8)
U R          # (8,7), to wait for the view
w6000
R5           # along row 7 as the view moves right
D            # (13,8)
R D3 L2      # round the rock at (12,9) to (12,11)
R4           # (16,11), two cells under the enemy's hollow
w7000
R7           # along the bottom row, as the view moves on, to (23,11)
U3 L         # (22,8), the last diamond
''',
    checks=['5500 expect diamonds 4', '9800 expect player 8 7', '9800 expect diamonds 7'],
    done_ms=29104,
)

LEVELS[3] = dict(
    header='''# Level 3 (map3.txt) won: the first room's four diamonds, then a rock pushed onto the weak
# wall opens the way down; the same again in the second room, and the last room's five.''',
    plan='''
R4           # (5,1)
R3           # (8,1)
D3 L         # (7,4), under the rock at (7,3)
L2           # (5,4): the rock drops behind
L3 U         # (2,3)
D L D        # (1,5)
R            # push the rock onto the weak wall; it breaks through and falls down the shaft
w1500
R D3         # follow it down to (3,8), the view moving down as well
R2 U R       # (6,7)
L5 D         # (1,8)
D3 R         # (2,11)
R            # push the next rock onto the weak wall below
w1000
R5           # (8,11), two rows under the enemy's hollow
L4           # back to (4,11) over the broken wall
D2 L3        # (1,13), still in view
w3500
D2 R         # (2,15), as the view moves down
D2 L         # (1,17)
R7           # along the bottom to (8,17)
U L          # (7,16), the last diamond
''',
    checks=['5600 expect diamonds 4', '6800 expect cell 3 6 255   # the weak wall is broken', '16500 expect player 1 13', '16500 expect diamonds 9'],
    done_ms=23360,
)

LEVELS[4] = dict(
    header='''# Level 4 (map4.txt) won: five rooms. Diamonds under rocks are taken from the side so the
# rocks drop behind; a rock dropped onto the first weak wall opens the way down, a pushed rock
# opens the second; the enemies stay sealed in their hollows. One press every 250 ms.''',
    plan='''
R4 R3        # (5,1) and (8,1)
D2 L         # (7,3)
L D L        # (5,4), under a rock
L            # it falls through the weak wall below
L U          # (3,3)
L D2 L       # (1,5)
w1500        # while the rock breaks through the weak wall and falls on
R4 D2        # back along row 5 and down through the broken wall, as the view moves down
L4           # (1,7)
D2 R2        # (3,9), under a rock
R3 D R       # (7,10), past the fallen rock
R U3         # (8,7)
D4           # down to (8,11), clear of the enemy's hollow
w5400
R2           # into the next room as the view moves right
R U2 R       # (12,9), under a rock
R U2         # (13,7)
R5           # (18,7)
D3 L3        # (15,10), under a rock
R2 D2 R      # (18,12), leaving the dirt beside the fallen rock alone
L3           # push the rock onto the weak wall
w5000
L D2         # down through the broken wall as the view moves down
L3 D         # (11,15), beside the enemy's hollow but never next to it
U R6         # (17,14)
R D2 L       # (17,16), under a rock
L D2 L       # (15,18)
D L4         # along the bottom row
w4600
L2           # through the gap as the view moves left
L8           # (1,19)
U5 R         # (2,14)
D R3         # (5,15), under a rock
R D2 R       # (7,17), the last diamond
''',
    checks=['6000 expect diamonds 5', '38000 expect player 11 19', '38000 expect diamonds 18'],
    done_ms=48112,
)

LEVELS[5] = dict(
    header='''# Level 5 (map5.txt) won: down through two weak walls that pushed rocks break, across the
# bottom room under an enemy's hollow, right through the gap past a sealed enemy, and up into
# the last room as the view climbs. Diamonds under rocks are taken from the side.''',
    plan='''
R4 R3        # (5,1) and (8,1)
D3 L         # (7,4), under a rock
L4 U         # the rock drops behind; (3,3)
L D L        # (1,4)
D R          # (2,5)
R            # push the rock onto the weak wall
w1500
R D2         # down through the broken wall, as the view moves down
R4           # (8,7)
D3 L2        # (6,10), under a rock
L3           # (3,10)
L U2 L       # (1,8)
D4           # (1,12)
R4           # to the next rock
R            # push it onto the weak wall
w4000
R D2         # down through it as the view moves down again
L6 D         # (1,15), two cells above the enemy's hollow
U R4 D2 L    # (4,16), under a rock, from the side away from the enemy
R2 D         # (6,17), leaving the dirt under the fallen rock alone
D2 L5        # (1,19), along the bottom row under the hollow
w3000
R9           # through the gap into the next room as the view moves right
U5 R         # (11,14)
D2 R         # (12,16), under a rock
L U R7       # (18,15), past the sealed enemy
D2 L         # (17,17), under a rock
R            # the rock drops behind
w5800
U2 L3 U2     # up through the gap as the view moves up
U2 L4        # (11,11), under a rock
R U3 L       # (11,8)
R2 D R       # (14,9)
R3 U         # (17,8)
R D3 L       # (17,11), the last diamond, under the last rock
''',
    checks=['6500 expect diamonds 5', '26000 expect player 1 19', '26000 expect diamonds 14'],
    done_ms=49408,
)

LEVELS[6] = dict(
    header='''# Level 6 (map6.txt), the last, won: six rooms. Diamonds under rocks are taken from the side;
# pushed rocks break two weak walls on the way down; the enemies stay in their cages. The
# game then shows "You Did IT!".''',
    plan='''
D3 R U R     # (1,4), then (3,3)
U2 R         # (4,1)
R4           # (8,1)
D2 L D       # (7,4)
L R          # (6,4), under a rock, and back: it drops behind
R2           # through the gap as the view moves right
R U3 R2      # (12,1)
R D2 L       # (12,3), under a rock
L U2         # it drops behind; up to (11,1)
R7           # (18,1), above the enemy's cage
D3           # (18,4)
D L4 L       # push the rock onto the weak wall
w3500
L D2         # down through the broken wall
L D U        # (11,8), and back up: the fallen rock stays put
L D4 R       # (11,11)
R3 D R       # (15,12), under a rock
R3           # (18,12)
U3 L3        # (15,9), under a rock
R U2 R       # (17,7)
L7           # back along row 7
w4300
D3 L         # through the gap into the next room, as the view moves left
L U L2       # (6,9), under a rock, from the side
L5           # it drops behind; (2,9) under the next, leaving to the side
U2 R2        # (3,7)
L2 D4        # (1,11)
R6 D         # (7,12)
L2           # push the rock onto the weak wall
w3500
L D2         # down through it as the view moves down
L3 D         # (1,15)
D3 R         # (2,18), under a rock
R D R2       # (5,19)
R U3 R       # (7,16), under a rock
R U2 L       # (7,14)
w4500
R D5 R2      # through the gap as the view moves right
U R          # (11,18)
U2 R         # (12,16), under a rock
R U2 L       # (12,14)
R6           # (18,14)
D2 L2        # (16,16), under a rock
R D2         # (17,18), beside the enemy's cage but never next to it
R D          # (18,19), the last diamond
''',
    checks=['6100 expect diamonds 5', '30000 expect diamonds 16'],
    done_ms=59664,
    won=True,
)
# The whole game in one run: level 0 (the first room of the game, map0.txt) and then the
# plans above, each shifted to the moment its level began in this run (read off level_trace:
# every level starts 3 s after the last diamond of the one before, plus the ticks between).
LEVEL0_PLAN = '''
U2 D         # level 0: (3,3), the first diamond, and back
R7 D         # along row 4 past the wall, down to row 5
R7           # the diamond at (17,5)
'''
WHOLE_GAME_STARTS = [128, 7616, 32160, 64144, 90384, 141376, 193664]
WHOLE_GAME_WON_MS = 253200


def plan_moves(plan):
    """(time after the level began, key, comment) of each press; levels begin at 128 ms."""
    moves = []
    t = FIRST_MS
    for line in plan.strip('\n').split('\n'):
        code, _, comment = line.partition('#')
        first = True
        for tok in code.split():
            if tok.startswith('w'):
                t += int(tok[1:])
                continue
            m = re.fullmatch(r'([LRUD])(\d*)', tok)
            if not m:
                raise SystemExit('bad move %r' % tok)
            for _ in range(int(m.group(2) or 1)):
                moves.append((t - 128, KEYS[m.group(1)], comment.strip() if first else ''))
                first = False
                t += GAP_MS
    return moves


def whole_game_lines(starts=None, won_ms=None):
    out = ['# The whole game won in one run: from the title through level 0 and levels 1 to 6',
           '# (the same ways through as the single-level replays) to "You Did IT!".',
           'step 16', '100 down SPACE          # leave the title', '+50 up SPACE']
    starts = WHOLE_GAME_STARTS if starts is None else starts
    won_ms = WHOLE_GAME_WON_MS if won_ms is None else won_ms
    plans = [LEVEL0_PLAN] + [LEVELS[k]['plan'] for k in range(1, 7)]
    for level, (start, plan) in enumerate(zip(starts, plans)):
        out.append('%d expect level %d' % (start + 200, level))
        out.append('%d expect state playing' % (start + 200))
        for t, key, comment in plan_moves(plan):
            out.append('%d hold %s %d%s' % (start + t, key, HOLD_MS, ('  # ' + comment) if comment else ''))
    out.append('%d expect state won' % (won_ms + 300))
    out.append('%d end' % (won_ms + 1500))
    return out


def measure_whole_game(trace):
    """Plays the whole game level by level with level_trace; returns the start times and the win."""
    starts = [128]
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, 'whole_game.txt')
        while True:
            lines = whole_game_lines(starts, starts[-1] + 90000)
            with open(path, 'w') as f:
                f.write('\n'.join(lines) + '\n')
            text = subprocess.run([trace, path], capture_output=True, text=True).stdout
            if len(starts) == 7:
                won = re.search(r'^ *(\d+) ms  player .*  state 6 ', text, re.M)
                if not won:
                    raise SystemExit('the last level is not won')
                return starts, int(won.group(1))
            level = len(starts)
            begun = re.search(r'^ *(\d+) ms  player \( *\d+, *\d+\)  state 0  level %d ' % level, text, re.M)
            if not begun:
                raise SystemExit('level %d is never reached' % level)
            starts.append(int(begun.group(1)))


def replay_lines(level, plan_of_level):
    out = plan_of_level['header'].strip('\n').split('\n')
    out += ['step 16', 'level %d' % level, '100 down SPACE          # leave the title', '+50 up SPACE']
    t = FIRST_MS
    for line in plan_of_level['plan'].strip('\n').split('\n'):
        code, _, comment = line.partition('#')
        first = True
        for tok in code.split():
            if tok.startswith('w'):
                t += int(tok[1:])
                continue
            m = re.fullmatch(r'([LRUD])(\d*)', tok)
            if not m:
                raise SystemExit('level %d: bad move %r' % (level, tok))
            for _ in range(int(m.group(2) or 1)):
                note = ''
                if first and comment.strip():
                    note = '  # ' + comment.strip()
                    first = False
                out.append('%d hold %s %d%s' % (t, KEYS[m.group(1)], HOLD_MS, note))
                t += GAP_MS
    out += plan_of_level['checks']
    done = plan_of_level['done_ms']
    if plan_of_level.get('won'):
        out.append('%d expect state won' % (done + 300))
        out.append('%d expect level 0' % (done + 300))
        out.append('%d end' % (done + 1500))
    else:
        out.append('%d expect state next_level' % (done + 300))
        out.append('%d expect state playing       # the next level has begun' % (done + 3500))
        out.append('%d expect level %d' % (done + 3500, level + 1))
        out.append('%d end' % (done + 3700))
    return out


if __name__ == '__main__':
    if len(sys.argv) == 3 and sys.argv[1] == '--measure':
        found, won_at = measure_whole_game(sys.argv[2])
        print('WHOLE_GAME_STARTS = %r' % found)
        print('WHOLE_GAME_WON_MS = %d' % won_at)
        sys.exit(0)
    for level, plan_of_level in sorted(LEVELS.items()):
        path = os.path.join(ROOT, 'tests', 'replays', 'level%d_win.txt' % level)
        with open(path, 'w') as f:
            f.write('\n'.join(replay_lines(level, plan_of_level)) + '\n')
        print(path)
    path = os.path.join(ROOT, 'tests', 'replays', 'level6_whole_game_win.txt')
    with open(path, 'w') as f:
        f.write('\n'.join(whole_game_lines()) + '\n')
    print(path)
