// The rules of a level, played on small maps: when steps start, what the examined cell does,
// pushing and blocking, falling and rolling rocks, weak walls, enemies and contact.
#include "game_test_support.h"
#include "os_tools/os_util.h"

using rules = game_fixture;

// The player is made ready by the step timer 0.2 s into the level; 0.1 + 0.1 is exactly 0.2.
static void make_ready() {
  player_control(0.1f);
  player_control(0.1f);
}

TEST_F(rules, FirstStepStartsOnlyAfterTheStepTimerAndDigsAtOnce) {
  level("WWWWW\nWSXXW\nWWWWW\n0");
  key(VK_RIGHT, true);
  player_control(0.1f);
  EXPECT_EQ(game.step_state, STEP_DONE);
  player_control(0.1f);  // ready now, but the keys were looked at before
  EXPECT_EQ(game.step_state, STEP_READY);
  EXPECT_EQ(at(2, 1), CELL_DIRT);
  player_control(0.016f);
  EXPECT_EQ(game.step_state, STEP_RIGHT);
  EXPECT_EQ(at(2, 1), CELL_EMPTY);       // dug when the key is taken,
  EXPECT_EQ(game.player_x, 32.0f);       // before the sprite has moved
  EXPECT_EQ(game.target_x, 64.0f);
}

TEST_F(rules, KeysAreTakenLeftRightUpDownFirstHeldWins) {
  level("WWWWW\nW   W\nW S W\nW   W\nWWWWW\n0");
  make_ready();
  key(VK_RIGHT, true);
  key(VK_DOWN, true);
  player_control(0.016f);
  EXPECT_EQ(game.step_state, STEP_RIGHT);
  EXPECT_EQ(game.target_y, game.player_y);
  level("WWWWW\nW   W\nW S W\nW   W\nWWWWW\n0");
  make_ready();
  key(VK_LEFT, true);
  player_control(0.016f);
  EXPECT_EQ(game.step_state, STEP_LEFT);
}

TEST_F(rules, StepEasesAlongTheTableSineAndSnapsToTheGrid) {
  level("WWWWW\nWS  W\nWWWWW\n0");
  make_ready();
  key(VK_RIGHT, true);
  player_control(0.1f);
  key(VK_RIGHT, false);
  player_motion(0.1f);
  // Half way in time is the table sine of 0.1 x 3.14 / 2 / 0.2 of the way: 22.5 pixels, not 16.
  EXPECT_FLOAT_EQ(game.player_x, 32.0f + os_sin(0.785f) * 32.0f);
  EXPECT_NEAR(game.player_x, 54.48f, 0.01f);
  EXPECT_TRUE(game.stepping);
  player_control(0.1f);  // the step timer makes the player ready first,
  EXPECT_EQ(game.step_state, STEP_READY);
  player_motion(0.1f);   // then the motion ends exactly on the next cell
  EXPECT_FALSE(game.stepping);
  EXPECT_EQ(game.player_x, 64.0f);
  EXPECT_EQ(game.step_progress, 0.0f);
}

TEST_F(rules, WorldRunsAtHalfSpeedWhileStepping) {
  level("WWWWW\nWS  W\nWWWWW\n0");
  make_ready();
  game.world_timer = 0.3f;
  key(VK_RIGHT, true);
  player_control(0.1f);
  EXPECT_FLOAT_EQ(game.world_timer, 0.25f);
  game.world_timer = 0.02f;
  player_control(0.1f);
  EXPECT_EQ(game.world_timer, 0.0f);  // never below 0
}

TEST_F(rules, RockPushedIntoDirtStaysAndThePlayerStays) {
  level("WWWWWW\nWX#S W\nWWWWWW\n0");
  make_ready();
  key(VK_LEFT, true);
  player_control(0.016f);
  EXPECT_EQ(game.step_state, STEP_READY);  // blocked at once
  EXPECT_TRUE(game.stepping);              // but no new step until 0.2 s have run out
  for (int32_t i = 0; i < 12; ++i) {
    player_motion(0.016f);
    player_control(0.016f);
    EXPECT_EQ(game.step_state, STEP_READY);
  }
  player_motion(0.016f);
  EXPECT_EQ(at(2, 1), CELL_ROCK);
  EXPECT_EQ(at(1, 1), CELL_DIRT);
  EXPECT_EQ(game.player_x, 96.0f);
}

TEST_F(rules, RockPushedIntoAnEmptyCellMovesAndThePlayerFollows) {
  level("WWWWWW\nW #S W\nWWWWWW\n0");
  make_ready();
  key(VK_LEFT, true);
  player_control(0.016f);
  EXPECT_EQ(game.step_state, STEP_LEFT);
  EXPECT_EQ(at(1, 1), CELL_ROCK);
  EXPECT_EQ(at(2, 1), CELL_EMPTY);
  key(VK_LEFT, false);
  for (int32_t i = 0; i < 13; ++i) player_motion(0.016f);
  EXPECT_EQ(game.player_x, 64.0f);
}

TEST_F(rules, SteppingUpOrDownIntoARockIsBlocked) {
  level("WWWWW\nW#  W\nWS  W\nW#  W\nWWWWW\n0");
  make_ready();
  key(VK_UP, true);
  player_control(0.016f);
  EXPECT_EQ(game.step_state, STEP_READY);
  EXPECT_EQ(at(1, 1), CELL_ROCK);
  for (int32_t i = 0; i < 13; ++i) player_motion(0.016f);
  EXPECT_EQ(game.player_y, 64.0f);
}

TEST_F(rules, WallsAndWeakWallsBlockDiamondsCount) {
  level("WWWWWW\nWHSDDW\nWWWWWW\n0");
  EXPECT_EQ(game.diamonds_total, 2);
  make_ready();
  key(VK_LEFT, true);
  player_control(0.016f);
  EXPECT_EQ(game.step_state, STEP_READY);
  EXPECT_EQ(at(1, 1), CELL_WEAK_WALL);
  key(VK_LEFT, false);
  for (int32_t i = 0; i < 13; ++i) player_motion(0.016f), player_control(0.016f);
  key(VK_RIGHT, true);
  player_control(0.016f);
  EXPECT_EQ(game.diamonds_collected, 1);
  EXPECT_EQ(game.game_state, GS_PLAYING);
}

TEST_F(rules, LastDiamondCompletesTheLevelEvenDuringTheCountdown) {
  level("WWWWW\nWSD W\nWWWWW\n0");
  float left = 0.0f;
  game.path_char = CELL_PATH_END;
  EXPECT_TRUE(view_outside_check(0.5f, &left));  // the path has ended: the countdown runs
  make_ready();
  key(VK_RIGHT, true);
  player_control(0.016f);
  EXPECT_EQ(game.game_state, GS_NEXT_LEVEL);
  EXPECT_EQ(game.level_index, 1);
}

TEST_F(rules, WorldStepWaitsWhileThePlayerIsBetweenCells) {
  level("WWWWW\nW#  W\nW  SW\nWWWWW\n0");
  game.step_progress = 0.05f;
  EXPECT_FALSE(world_step());
  EXPECT_EQ(at(1, 1), CELL_ROCK);
  game.step_progress = 0.0f;
  EXPECT_TRUE(world_step());
  EXPECT_EQ(at(1, 2), CELL_ROCK);
  EXPECT_EQ(at(1, 1), CELL_EMPTY);
}

TEST_F(rules, WorldStepRunsInTheFirstTickAfterTheStepEnds) {
  level("WWWWWW\nW#   W\nW  S W\nWWWWWW\n0");
  passes(13);  // the player is ready
  game.world_timer = 0.45f;  // due in the middle of the coming step
  key(VK_RIGHT, true);
  passes(1);
  key(VK_RIGHT, false);
  // The world timer passes 0.5 while the player walks; the rock must wait for the grid.
  int32_t ticks = 0;
  while (at(1, 1) == CELL_ROCK && ticks < 100) {
    EXPECT_TRUE(game.step_progress == 0.0f || at(1, 2) == CELL_EMPTY);
    passes(1);
    ticks++;
  }
  EXPECT_EQ(at(1, 2), CELL_ROCK);
  EXPECT_EQ(game.step_progress, 0.0f);
}

TEST_F(rules, RockNeverFallsIntoThePlayersCellButKillsFromTheCellAbove) {
  level("WWWWW\nW#  W\nWS  W\nW   W\nWWWWW\n0");
  EXPECT_TRUE(world_step());
  EXPECT_EQ(at(1, 1), CELL_ROCK);  // walking under a rock is safe
  EXPECT_EQ(game.game_state, GS_PLAYING);
  game.player_y = 96.0f;  // one cell down: the rock falls into the cell right above
  EXPECT_TRUE(world_step());
  EXPECT_EQ(at(1, 2), CELL_ROCK);
  EXPECT_EQ(game.game_state, GS_GAME_OVER);
  EXPECT_EQ(game.player.frame, 20.0f);
}

TEST_F(rules, RockFallsOneCellPerStepAndNotOnceTheGameIsOver) {
  level("WWWWW\nW#  W\nW   W\nW   W\nW  SW\nWWWWW\n0");
  world_step();
  EXPECT_EQ(at(1, 2), CELL_ROCK);
  EXPECT_EQ(at(1, 1), CELL_EMPTY);
  game_over();
  world_step();  // rocks go on falling on the end screens
  EXPECT_EQ(at(1, 3), CELL_ROCK);
}

TEST_F(rules, RockOnDirtRollsLeftWhenBothSidesAreOpen) {
  level("WWWWWWW\nW  #  W\nW  X  W\nWS    W\nWWWWWWW\n0");
  world_step();
  EXPECT_EQ(at(3, 1), CELL_EMPTY);
  EXPECT_EQ(at(2, 1), CELL_ROCK);
  EXPECT_EQ(at(4, 1), CELL_EMPTY);
}

TEST_F(rules, RockRollsRightWhenTheLeftIsBlockedAndStaysWhenBothAre) {
  level("WWWWWWW\nW X#  W\nW WD  W\nWS    W\nWWWWWWW\n0");
  world_step();
  EXPECT_EQ(at(4, 1), CELL_ROCK);
  EXPECT_EQ(at(3, 1), CELL_EMPTY);
  level("WWWWWWW\nW X#X W\nW  D  W\nWS    W\nWWWWWWW\n0");
  world_step();
  EXPECT_EQ(at(3, 1), CELL_ROCK);
}

TEST_F(rules, RockDoesNotRollIntoThePlayersCell) {
  level("WWWWWWW\nW  #S W\nW  X  W\nW     W\nWWWWWWW\n0");
  world_step();  // the right side is the player's cell; the left side is free
  EXPECT_EQ(at(2, 1), CELL_ROCK);
  level("WWWWWWW\nW S#X W\nW  X  W\nW     W\nWWWWWWW\n0");
  world_step();
  EXPECT_EQ(at(3, 1), CELL_ROCK);
}

TEST_F(rules, RockBreaksThroughAWeakWallAndFallsOn) {
  level("WWWWW\nW#  W\nWH  W\nW   W\nW  SW\nWWWWW\n0");
  world_step();
  EXPECT_EQ(at(1, 2), CELL_ROCK);
  EXPECT_EQ(at(1, 1), CELL_EMPTY);
  world_step();
  EXPECT_EQ(at(1, 3), CELL_ROCK);
  EXPECT_EQ(at(1, 2), CELL_EMPTY);
}

TEST_F(rules, EnemyInTheOpenMovesLeftFirst) {
  level("WWWWWWW\nW     W\nW  E  W\nW     W\nWS    W\nWWWWWWW\n0");
  EXPECT_EQ(map_get_flags(&game.map, 3, 2), MAP_FLAG_UP);
  world_step();
  EXPECT_EQ(at(2, 2), CELL_ENEMY);
  EXPECT_EQ(at(3, 2), CELL_EMPTY);
  EXPECT_EQ(map_get_flags(&game.map, 2, 2), MAP_FLAG_LEFT);  // heading left, handled mark gone
  world_step();  // heading left: down first
  EXPECT_EQ(at(2, 3), CELL_ENEMY);
}

TEST_F(rules, EnemyInACorridorFollowsTheWallOnItsLeft) {
  level("WWWWW\nWE  W\nW W W\nW   W\nWWWWW\n0");
  const int32_t path[8][2] = {{2, 1}, {3, 1}, {3, 2}, {3, 3}, {2, 3}, {1, 3}, {1, 2}, {1, 1}};
  for (const auto& p : path) {
    world_step();
    EXPECT_EQ(at(p[0], p[1]) >= CELL_ENEMY && at(p[0], p[1]) <= CELL_ENEMY_LAST, true) << p[0] << "," << p[1];
  }
}

TEST_F(rules, EnemiesOnlyEnterEmptyCellsAndStandStillOnEndScreens) {
  level("WWWWW\nWXDXW\nWXEXW\nWX#XW\nWWWWWS\n0");
  world_step();
  EXPECT_EQ(at(2, 2), CELL_ENEMY);
  level("WWWWW\nW   W\nW E W\nW   W\nWWWWWS\n0");
  game.game_state = GS_GAME_OVER;
  world_step();
  EXPECT_EQ(at(2, 2), CELL_ENEMY);
}

TEST_F(rules, ContactBesideEndsTheGameInTheSameTickDiagonalDoesNot) {
  level("WWWWW\nWSXXW\nWXEXW\nWXXXW\nWWWWW\n0");
  passes(5);
  EXPECT_EQ(game.game_state, GS_PLAYING);
  level("WWWWW\nWXXXW\nWSEXW\nWXXXW\nWWWWW\n0");
  passes(1);
  EXPECT_EQ(game.game_state, GS_GAME_OVER);
}

TEST_F(rules, EnemyWalkingIntoThePlayerEndsTheGame) {
  level("WWWWWWW\nWS  E W\nWWWWWWW\n0");
  for (int32_t i = 0; i < 100 && game.game_state == GS_PLAYING; ++i) passes(1);
  EXPECT_EQ(game.game_state, GS_GAME_OVER);
}

TEST_F(rules, CellsAnimateInsideTheViewOnly) {
  level("WWWWWWWWWWWWWWWW\nWSD          D W\nWWWWWWWWWWWWWWWW\n0");
  animate_cells(0.1f);
  EXPECT_EQ(at(2, 1), 10);
  EXPECT_EQ(at(13, 1), CELL_DIAMOND);  // column 13 lies beyond the view's 11 columns
  animate_cells(0.1f);
  animate_cells(0.1f);
  EXPECT_EQ(at(2, 1), CELL_DIAMOND);  // 9, 10, 11, 9
}

TEST_F(rules, StartCellBecomesEmptyAndTheLastOneWins) {
  level("WWWWWW\nWS  SW\nWWWWWW\n0");
  EXPECT_EQ(game.player_x, 128.0f);
  EXPECT_EQ(game.player_y, 32.0f);
  EXPECT_EQ(at(1, 1), CELL_EMPTY);
  EXPECT_EQ(at(4, 1), CELL_EMPTY);
  level("WWWW\nW  W\nWWWW\n0");
  EXPECT_EQ(game.player_x, 160.0f);  // no start cell: (5, 2)
  EXPECT_EQ(game.player_y, 64.0f);
}
