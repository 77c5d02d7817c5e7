// The rules alone: the scripted games against their golden trace, and the edges
// no game reaches.
#include <gtest/gtest.h>

#include "game/rule_sounds.h"
#include "game/rules.h"
#include "game/session.h"
#include "tests/heap.h"
#include "tests/trace.h"

static std::string RuleSoundLetters()
{
    int counts[4] = {};
    for (int32_t i = 0; i < rule_sounds.count; i++)
        counts[rule_sounds.sound[i]]++;
    std::string letters;
    for (int sound = 0; sound < 4; sound++)
        letters.append(counts[sound], "dcux"[sound]);
    return letters;
}

TEST(RulesGolden, ScriptedGamesFollowTheirTraces)
{
    for (int i = 0; i < scripted_game_count; i++) {
        const ScriptedGame& script = scripted_games[i];
        const std::string trace = PlayScriptedGame(script, RunRulesFrame, RuleSoundLetters);
        if (UpdateGoldenTrace(script.name, trace))
            continue;
        EXPECT_EQ(trace, GoldenTrace(script.name)) << script.name;
    }
}

static uint64_t frame_allocations;

static PlayerCommand CountedRulesFrame(PlayerCommand command)
{
    const uint64_t before = AllocationCount();
    command = RunRulesFrame(command);
    frame_allocations += AllocationCount() - before;
    return command;
}

TEST(Rules, ScriptedGamesAllocateNothing)
{
    if (!AllocationsCounted())
        GTEST_SKIP() << "allocations are counted in a sanitized build only";
    for (int i = 0; i < scripted_game_count; i++)
        PlayScriptedGame(scripted_games[i], CountedRulesFrame, RuleSoundLetters);
    EXPECT_EQ(frame_allocations, 0u);
}

TEST(Rules, EdgesOutsideAnyGame)
{
    EXPECT_TRUE(RowsReward(0) == 0 && RowsReward(5) == 0);
    game = GameSession{};
    EXPECT_TRUE(BoardCell(-1, 0) && BoardCell(BOARD_COLUMNS, 0) && BoardCell(0, BOARD_ROWS) && BoardCell(0, -1))
        << "walls and floor read filled";
    RemoveRow(-1);
    RemoveRow(BOARD_ROWS);
    EXPECT_EQ(game.score + game.lines, 0);
    rule_sounds.count = 0;
    for (int i = 0; i < 9; i++)
        AskForSound(RULE_SOUND_DROP);
    EXPECT_EQ(rule_sounds.count, 8);
}
