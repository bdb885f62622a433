#!/usr/bin/env python3
"""Writes the replays of levels 1-6 in tests/replays/ from short move plans, and reports what
happens in each (the table of assets/levels/README.md).

  tests/levels/make_replays.py build/tests/levels/level_trace [LEVEL ...]
(with no LEVEL: every level, the whole-game replay, and the table in assets/levels/README.md)
  tests/levels/make_replays.py build/tests/levels/level_trace --try LEVEL   (a plan in the making)

A plan is a list of moves, one line each with a comment that lands in the replay:
  L R U D   one step (the key is held 100 ms; the next press comes 250 ms later)
  R7        seven such steps
  w1500     wait 1.5 s
The game is left with SPACE at 100 ms and the level starts at 128 ms; the first press comes
at 352 ms, once the player is ready. Each plan is first played through level_trace; the
moment its last diamond is taken and the counters of that moment (headless_counters.h) are
then written into the replay as expectations, so that the replay pins what happens in it.
A losing plan is pinned the same way at the moment the game is over.
The whole-game replay plays level 0 and then every plan, each shifted to the moment its
level begins in that run, measured the same way.
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
LEVEL_START_MS = 128
# The counters a winning replay pins (a losing one pins those its plan names).
PINNED = ['enemy_moves', 'patrol', 'patrolling', 'roam', 'rock_falls', 'rock_rolls', 'trail_falls',
          'pushes', 'walls_broken', 'closest_enemy', 'spare_ms']

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from level_plans import LEVELS, LOSSES, LEVEL0_PLAN  # noqa: E402


def plan_moves(plan, first_ms=FIRST_MS):
    """(time, key, comment) of each press, the comment on the first press of its line."""
    moves = []
    t = first_ms
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
                moves.append((t, KEYS[m.group(1)], comment.strip() if first else ''))
                first = False
                t += GAP_MS
    return moves


def press_lines(plan, shift=0):
    return ['%d hold %s %d%s' % (t + shift, key, HOLD_MS, ('  # ' + note) if note else '')
            for t, key, note in plan_moves(plan)]


def trace(trace_bin, lines):
    """Plays replay lines through level_trace: [(time, state, level, diamonds)], {time: counters}."""
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, 'replay.txt')
        with open(path, 'w') as f:
            f.write('\n'.join(lines) + '\n')
        text = subprocess.run([trace_bin, path], capture_output=True, text=True).stdout
    passes, counters, last = [], {}, None
    for line in text.split('\n'):
        m = re.match(r' *(\d+) ms  player \( *(-?\d+), *(-?\d+)\)  state (\d+)  level (\d+)  diamonds (\d+)', line)
        if m:
            last = int(m.group(1))
            passes.append((last, int(m.group(4)), int(m.group(5)), int(m.group(6))))
            continue
        if line.strip().startswith('enemy_moves') and last is not None:
            words = line.split()
            counters[last] = {words[i]: int(words[i + 1]) for i in range(0, len(words), 2)}
    return passes, counters


def first_state(passes, states, after=0):
    for t, state, _, _ in passes:
        if t > after and state in states:
            return t
    return None


def header_lines(level, replay):
    return replay['header'].strip('\n').split('\n') + [
        'step 16', 'level %d' % level, '100 down SPACE          # leave the title', '+50 up SPACE']


def level_replay(trace_bin, level):
    replay = LEVELS[level]
    body = header_lines(level, replay) + press_lines(replay['plan'])
    passes, counters = trace(trace_bin, body + ['90000 end'])
    done = first_state(passes, (5, 6))
    if done is None:
        raise SystemExit('level %d: the plan does not win (%s)' % (level, passes[-1] if passes else 'no trace'))
    got = counters[done]
    out = body + ['%d expect %s %d' % (done, name, got[name]) for name in PINNED]
    if level == 6:
        out += ['%d expect state won' % (done + 300), '%d expect level 0' % (done + 300), '%d end' % (done + 1500)]
    else:
        out += ['%d expect state next_level' % (done + 300),
                '%d expect state playing       # the next level has begun' % (done + 3500),
                '%d expect level %d' % (done + 3500, level + 1), '%d end' % (done + 3700)]
    return out, done, got


def loss_replay(trace_bin, name):
    loss = LOSSES[name]
    body = header_lines(loss['level'], loss) + press_lines(loss['plan'])
    passes, counters = trace(trace_bin, body + ['90000 end'])
    over = first_state(passes, (1,))
    if over is None:
        raise SystemExit('%s: the plan does not lose' % name)
    out = body + ['%d expect state playing' % (over - 16), '%d expect state game_over' % over]
    out += ['%d expect %s %d' % (over, c, counters[over][c]) for c in loss.get('pin', [])]
    out += ['%d expect state title' % (over + 3100), '%d end' % (over + 3200)]
    return out, over


def enemies_free(level):
    """Enemies whose empty surroundings hold at least six cells, of all enemies."""
    with open(os.path.join(ROOT, 'data', 'map%d.txt' % level), newline='') as f:
        rows = f.read().split('\r\n')[:-1]
    cell = lambda x, y: rows[y][x] if 0 <= y < len(rows) and 0 <= x < len(rows[y]) else 'W'
    free, total = 0, 0
    for y, row in enumerate(rows):
        for x, c in enumerate(row):
            if c != 'E':
                continue
            total += 1
            seen, todo = set(), [(x, y)]
            while todo:
                a, b = todo.pop()
                for n in ((a + 1, b), (a - 1, b), (a, b + 1), (a, b - 1)):
                    if n not in seen and cell(*n) == ' ':
                        seen.add(n)
                        todo.append(n)
            free += len(seen) >= 6
    return free, total


def rooms_and_diamonds(level):
    """Rooms the view visits (one per path digit, the last digit "0" being the first room)."""
    with open(os.path.join(ROOT, 'data', 'map%d.txt' % level), newline='') as f:
        text = f.read()
    return len(text.split('\r\n')[-1]), text.count('D')


def whole_game_lines(starts, won_ms):
    out = ['# The whole game won in one run: from the title through level 0 and levels 1 to 6',
           '# (the same ways through as the single-level replays) to "You Did IT!".',
           'step 16', '100 down SPACE          # leave the title', '+50 up SPACE']
    plans = [LEVEL0_PLAN] + [LEVELS[k]['plan'] for k in range(1, 7)]
    for level, (start, plan) in enumerate(zip(starts, plans)):
        out.append('%d expect level %d' % (start + 200, level))
        out.append('%d expect state playing' % (start + 200))
        out += press_lines(plan, start - LEVEL_START_MS)
    if won_ms is not None:
        out.append('%d expect state won' % (won_ms + 300))
        out.append('%d end' % (won_ms + 1500))
    return out


def whole_game(trace_bin):
    """Finds when each level begins in one run from the title; returns the replay lines."""
    starts = [LEVEL_START_MS]
    while True:
        passes, _ = trace(trace_bin, whole_game_lines(starts, None) + ['%d end' % (starts[-1] + 90000)])
        if len(starts) == 7:
            won = first_state(passes, (6,), starts[-1])
            if won is None:
                raise SystemExit('the whole game is not won')
            return whole_game_lines(starts, won)
        begun = [t for t, state, level, _ in passes if state == 0 and level == len(starts)]
        if not begun:
            raise SystemExit('level %d is never reached in the whole game' % len(starts))
        starts.append(begun[0])


def write(name, lines):
    path = os.path.join(ROOT, 'tests', 'replays', name)
    with open(path, 'w') as f:
        f.write('\n'.join(lines) + '\n')
    return path


def main():
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    trace_bin = sys.argv[1]
    if len(sys.argv) == 4 and sys.argv[2] == '--try':
        # A plan in the making: its replay as played so far, through level_trace.
        level = int(sys.argv[3])
        lines = header_lines(level, LEVELS[level]) + press_lines(LEVELS[level]['plan']) + ['90000 end']
        path = os.path.join(tempfile.gettempdir(), 'level%d_try.txt' % level)
        with open(path, 'w') as f:
            f.write('\n'.join(lines) + '\n')
        sys.exit(subprocess.run([trace_bin, path]).returncode)
    only = [int(a) for a in sys.argv[2:]]
    table = ['| Level | Rooms | Diamonds | Enemies free / patrolling | Rock falls (rolls) | Pushes '
             '| Weak walls broken | Closest enemy pass | Spare time |', '|' + '---|' * 9]
    for level in sorted(LEVELS):
        if only and level not in only:
            continue
        lines, done, got = level_replay(trace_bin, level)
        print(write('level%d_win.txt' % level, lines), 'won at %d ms' % done)
        free, total = enemies_free(level)
        rooms, diamonds = rooms_and_diamonds(level)
        closest = '%d cells' % got['closest_enemy'] if got['closest_enemy'] >= 0 else '-'
        table.append('| %d | %d | %d | %d of %d / %d | %d (%d) | %d | %d | %s | %.1f s |' % (
            level, rooms, diamonds, free, total, got['patrolling'], got['rock_falls'], got['rock_rolls'],
            got['pushes'], got['walls_broken'], closest, got['spare_ms'] / 1000.0))
    for name in sorted(LOSSES):
        if only and LOSSES[name]['level'] not in only:
            continue
        lines, over = loss_replay(trace_bin, name)
        print(write(name + '.txt', lines), 'lost at %d ms' % over)
    if not only:
        print(write('level6_whole_game_win.txt', whole_game(trace_bin)))
        update_readme_table(table)
    print('\n'.join(table))


def update_readme_table(table):
    """Puts the table into assets/levels/README.md in place of the one there."""
    path = os.path.join(ROOT, 'assets', 'levels', 'README.md')
    with open(path) as f:
        lines = f.read().split('\n')
    start = lines.index(table[0])
    end = start
    while end < len(lines) and lines[end].startswith('|'):
        end += 1
    lines[start:end] = table
    with open(path, 'w') as f:
        f.write('\n'.join(lines))
    print(path)


if __name__ == '__main__':
    main()
