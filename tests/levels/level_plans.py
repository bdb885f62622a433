"""Move plans of the replays that make_replays.py writes: the winning way through each of the
levels 1-6, and the losing plans that show each way to die. See make_replays.py for the
plan notation."""

LEVELS = {}
LOSSES = {}

LEVELS[1] = dict(
    header='''# Level 1 (map1.txt) won: rocks fall where you dig. Every diamond lies under a rock: take it
# and step on sideways, and the rock drops into the cell behind you.''',
    plan='''
R4           # (5,5), the first diamond, under a rock
R            # the rock drops behind
R U R        # (8,4), under a rock: going down from here would bring it onto the player
L            # so back left, and it drops
U2 L         # (6,2)
L L2 D L     # (2,3)
L U2         # (1,1)
R9           # along the top row into the next room as the view glides right
D R8         # (18,2), past the two diamonds of row 2
D2 L6        # (12,4), past the diamond under the rock at (14,3)
D L2         # (10,5)
w5000        # wait for the view
D2           # down into the last room as the view moves down
D R2         # (12,8)
R D R        # (14,9)
R2 D R       # (17,10), the last diamond
''',
)

LEVEL0_PLAN = '''
U2 D         # level 0: (3,3), the first diamond, and back
R7 D         # along row 4 past the wall, down to row 5
R7           # the diamond at (17,5)
'''

LEVELS[2] = dict(
    header='''# Level 2 (map2.txt) won: the first patrol. An enemy circles the wall in the third room;
# the player crosses above its track while it is on the far side, and comes back below it
# while it is on the top. On the way: a rock pushed off the way down, rocks dropped behind.''',
    plan='''
D2 R3        # (4,3), under a rock: it drops behind
R U R        # (6,2), under a rock
R D R D R    # (9,4), under a rock
L5           # (4,4)
D R          # push the rock off the way down
D2 L         # down into the next room and aside: the pushed rock rolls and follows
D L D L      # (2,9), under a rock
L D2 R2      # (3,11)
R3 U R       # (7,10)
U2 L         # (6,8)
R3 U         # (9,7), under the rock at (8,7), which drops behind; the enemy is in sight
w5600         # until the enemy has turned down the far side
R6           # along above its track while it is below: (15,7)
R4 D4        # (19,11), two cells beside the track
w3900        # until the enemy has gone up and along the top
L5           # below the track to (14,11)
R5           # and back
w500         # for the view
R3           # (22,11), under a rock
L U L        # it drops behind; (20,10)
R U R U      # (22,8), the last diamond
''',
)

LEVELS[3] = dict(
    header='''# Level 3 (map3.txt) won: drop the rock to open the wall. A rock let fall onto the weak
# wall in the first room's floor opens the way down; in the second room, with an enemy
# circling beside the way, a second one opens the floor again; a pushed rock clears the last.''',
    plan='''
R3 D R       # (5,2), under a rock
R D R        # (7,3), under a rock
L D2 L       # (5,5), under a rock
L2 U2 L      # (2,3)
D2 L         # (1,5), under the rock over the weak wall
R            # and aside: it drops, breaks the wall and falls down the shaft
w2500
L D3         # (1,8), beside the enemy's track
R L          # (2,8)
D2           # (1,10), on the fallen rock
R D R        # (3,11)
U R2         # (5,10), under the enemy's track
R2 D R       # (8,11), under the rock over the second weak wall
L            # it drops and breaks the wall
w2000
R D2         # (8,13)
L L          # push the rock: it tumbles into the pit
w1000
L3 L         # (2,13)
w500         # for the view
D2 D L D     # (1,17)
R4           # (5,17), under a rock
R R2         # it drops behind; (8,17), the last diamond
''',
)

LEVELS[4] = dict(
    header='''# Level 4 (map4.txt) won: a rock in the patrol's way. An enemy paces a corridor in the second
# room; a rock dropped into the corridor while the enemy is at the far end keeps it there, and
# the near end is crossed in safety. Weak walls opened by dropped rocks lead on down.''',
    plan='''
D R3         # (4,2), under a rock
R R          # (6,2), under a rock
R2 D3        # (8,5)
L2           # (6,5), under the rock over the weak wall
L            # and aside: it drops, breaks the wall and falls into the shaft below
L2           # (3,5)
w1000        # while the rock breaks through the wall and falls on
R3           # back over the broken wall
D2           # (6,7), on the fallen rock
R2 D         # (8,8)
U L2         # back over the shaft
L4 D         # (2,8)
w0
D R          # (3,9), under the rock, beside the corridor
L            # and back: the rock drops into the corridor
D L D        # across the corridor's near end: (1,11)
D R8         # along the bottom to (9,12)
w4500        # for the view
R U3         # into the next room: (10,9)
R R          # (11,9), under a rock
R2 R         # (14,9), under a rock
R2 R         # (17,9), under a rock
R U2 L       # (17,7)
L5           # (12,7)
D5           # (12,12)
R3 R         # (16,12), under the rock over the second weak wall
L            # and aside: it drops through the wall into the room below
w4300        # for the view
R D2 R       # (17,14), down through the broken wall
D R          # (18,15)
D3 L         # (17,18), under a rock
L U2 L2      # (14,16), under a rock
L L U L      # (11,15)
R D3 L       # (11,18), under a rock
L D          # (10,19), beside the rock in the gap
w5000        # for the view
L L          # push the rock through the gap into the last room, twice
U4 L         # (7,15)
U L2         # (5,14)
L D3 R       # (5,17), under a rock
R R L D      # (7,17)
L4 D R       # (3,19)
L U          # (2,18)
U2           # (2,16), under a rock
L U2         # it drops behind; (1,14), the last diamond
''',
)

LEVELS[5] = dict(
    header='''# Level 5 (map5.txt) won: open the cage, then run. Down through two weak walls (a rock let
# fall, then a rock pushed into the pit over the second), round an enemy's ring in the third
# room, and in the last room the door of a cage is a diamond: taking it lets the enemy out.''',
    plan='''
D L2 L       # (5,2), under a rock
L L          # (3,2), under a rock
L L D3       # (1,5)
R R          # (3,5), under the rock over the weak wall
R            # and aside: it drops and breaks the wall
R2           # (6,5)
w1000
L3 D2        # (3,7), on the fallen rock
R3 R         # (7,7)
D D L        # (6,9), under a rock
L D L2       # (3,10)
D L          # (2,11), under a rock
L U2 R U     # (2,8)
D2 R D R     # (4,11), beside the rock
R            # push it into the pit: it breaks the wall below
w4000
R2 D3        # (7,14), down through the broken wall
R D3         # (8,17)
U3 L         # back
w1100        # until the enemy has turned along the top of its ring
L D3         # (6,17), beside the ring
D2 L3        # (3,19), under it
R6           # (9,19)
w5500        # for the view
R3           # (12,19)
U2 R2        # (14,17), under a rock
R U3 L       # it drops behind; (14,14)
R2 D2 R      # (17,16), under a rock
R U2 L2      # (16,14)
w6300        # for the view
U3           # (16,11), into the last room as the view climbs
U            # the cage's door is a diamond: the enemy comes out behind the player
D R D        # (17,12)
R U5         # (18,7), round the cage
L L4         # (13,7)
L3 D4        # (10,11)
R2 D         # (12,12)
R2           # (14,12), the last diamond
''',
)

LEVELS[6] = dict(
    header='''# Level 6 (map6.txt), the last, won: all of it at the view's pace. Rocks dropped behind, a
# rock pushed out of the door, an enemy's ring passed above, weak walls opened by dropped rocks,
# a corridor patrol passed two cells away, one more door pushed open, and a last ring whose
# enemy is followed round as the last seconds run out. The game then shows "You Did IT!".''',
    plan='''
R7           # along the top row: (3,1) and (6,1)
D2 L3        # (5,3), under a rock
L L2         # it drops behind; (2,3)
L D2 R3      # (4,5), under a rock
R R2         # it drops behind; (7,5), under a rock
R            # it drops behind
R            # push the rock out of the door into the next room
U R U3       # (10,1), two cells from the enemy's ring
w4300        # until the enemy has turned down the far side of the ring
R4 R4        # along above the ring, over (14,1), to (18,1)
D4           # (18,5), past (18,3)
L            # (17,5), under the rock over the weak wall
R            # and aside: it drops, breaks the wall and falls into the room below
w2300        # until the enemy is on the top of its ring again
L4           # (14,5), under the ring
R3 D2        # down through the broken wall to (17,7)
L6 D         # (11,8)
D2 R         # (12,10), under a rock
R2 R         # it drops behind; (15,10), under a rock
R2 D2        # it drops behind; (17,12)
L            # (16,12)
L4           # (12,12)
L2           # (10,12), at the door of the fourth room
w3500        # for the view
L2 L         # (7,12), under a rock
L U U        # it drops behind; (6,10), under a rock, two cells below the corridor
L L2         # it drops behind; (3,10)
D2 L         # (2,12), under the rock over the weak wall
L            # and aside: it drops and breaks the wall
w6500        # for the view
R D2         # (2,14), down through the broken wall
R3 R2 D      # (7,15)
D L2 L       # (4,16), under a rock
L D L2       # it drops behind; (1,17)
D R2         # (3,18), under the fallen rock
R2 R         # (6,18), under a rock
R D R        # it drops behind; (8,19), beside the rock in the door
w6500        # for the view
R            # push it out of the door
U R2         # (11,18), by the corner of the last enemy's ring
D R3         # (14,19), under the ring while the enemy is on its top
R4           # (18,19)
U2 L         # (17,17), beside the ring
R U3         # (18,14)
w2500        # until the enemy has gone along the top of its ring
L4 L4        # along above the ring behind the enemy, over (14,14), to (10,14)
D3 R         # (11,17), beside the ring: the last diamond
''',
)

LOSSES['level1_lose_rock'] = dict(
    level=1, pin=['rock_falls', 'trail_falls'],
    header='''# Level 1 lost to a rock: take the diamond under the rock at (8,3), then step down instead
# of aside. The rock follows into the cell above the player.''',
    plan='''
R4 R R U R   # (8,4), under the rock
D            # down: the rock drops onto the player
''',
)

LOSSES['level2_lose_enemy'] = dict(
    level=2, pin=['enemy_moves'],
    header='''# Level 2 lost to the enemy: the winning way as far as the third room, then along above the
# enemy's track at once, without waiting for it to turn away.''',
    plan=LEVELS[2]['plan'].split('w5600')[0] + '''R8           # along above the track while the enemy comes along it
''',
)

LOSSES['level3_lose_view'] = dict(
    level=3,
    header='''# Level 3 lost to the view: collect the first room's diamonds and stay there. The view glides
# down without the player, and five seconds out of it end the game.''',
    plan=LEVELS[3]['plan'].split('D2 L         # (1,5)')[0],
)
