// The rules alone: the scripted games against their golden trace, and the edges
// no game reaches.
#include <gtest/gtest.h>

#include "game/rule_sounds.h"
#include "game/rules.h"
#include "game/score_table.h"
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

// A table as "score@finished ..." best first, and a game for it.
static std::string Shown(const ScoreTable& table)
{
    std::string shown;
    for (int i = 0; i < table.count; i++)
        shown += (i ? " " : "") + std::to_string(table.entries[i].score) + "@" +
                 std::to_string(table.entries[i].finished);
    return shown;
}
static std::string Text(const ScoreTable& table)
{
    std::string text;
    WriteScoreText(table, &text);
    return text;
}
static ScoreEntry Game(int32_t score, int64_t finished, const char* name = "ann")
{
    ScoreEntry entry = {score, score / 50, score / 500, finished, {}};
    SetPlayerName(&entry, name);
    return entry;
}

TEST(Scores, BestFirstTiesKeepTheEarlierGameAndTheEleventhLeaves)
{
    ScoreTable table = {};
    EXPECT_EQ(EnterScore(&table, Game(0, 100)), 0) << "an empty table takes any finished game";
    const int places[] = {0, 1, 1, 3, 0};
    const ScoreEntry games[] = {Game(500, 101), Game(300, 102), Game(300, 99), Game(200, 103), Game(900, 104)};
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(EnterScore(&table, games[i]), places[i]) << i;
    EXPECT_EQ(Shown(table), "900@104 500@101 300@99 300@102 200@103 0@100");
    for (int i = 0; i < 4; i++)
        EnterScore(&table, Game(100, 200 + i));
    EXPECT_EQ(table.count, 10);
    EXPECT_EQ(EnterScore(&table, Game(100, 300)), 9) << "above the tenth, which leaves";
    EXPECT_EQ(EnterScore(&table, Game(100, 301)), -1) << "a tie with the tenth, which came first";
    EXPECT_EQ(EnterScore(&table, Game(100, 250)), 9) << "a tie with the tenth, which came later";
    EXPECT_EQ(EnterScore(&table, Game(0, 50)), -1) << "below the tenth";
    EXPECT_EQ(Shown(table), "900@104 500@101 300@99 300@102 200@103 100@200 100@201 100@202 100@203 100@250");
}

TEST(Scores, TheTextHoldsTheTableWholeAndRefusesAnythingElse)
{
    ScoreTable table = {}, read;
    EnterScore(&table, Game(1234, 1765153140, "Zo\xC3\xAB\tthe\nbest"));
    EnterScore(&table, Game(50, 0, "a name far too long to keep al\xC3\xA9"));
    const std::string text = Text(table);
    EXPECT_EQ(text, "blockfall scores 1\n1234\t24\t2\t2025-12-08T00:19:00Z\tZo\xC3\xAB the best\n"
                    "50\t1\t0\t1970-01-01T00:00:00Z\ta name far too long to keep al\n");
    ASSERT_EQ(ReadScoreText(text, &read), SCORE_TEXT_READ);
    EXPECT_EQ(Text(read), text);
    const struct {
        const char* why;
        std::string text;
        ScoreTextResult result;
    } refused[] = {
        {"empty", "", SCORE_TEXT_DAMAGED},
        {"cut in a line", text.substr(0, text.size() - 5), SCORE_TEXT_DAMAGED},
        {"cut at a tab", text.substr(0, text.find('\t')), SCORE_TEXT_DAMAGED},
        {"garbage", "\x89PNG\r\n\x1a\n", SCORE_TEXT_DAMAGED},
        {"a later version", "blockfall scores 2\n", SCORE_TEXT_FUTURE},
        {"version 0", "blockfall scores 0\n", SCORE_TEXT_DAMAGED},
        {"eleven games", "blockfall scores 1\n" + std::string(11 * 38, 'x'), SCORE_TEXT_DAMAGED},
        {"a sign", "blockfall scores 1\n-5\t0\t0\t2025-12-08T00:19:00Z\tx\n", SCORE_TEXT_DAMAGED},
        {"past 32 bits", "blockfall scores 1\n2147483648\t0\t0\t2025-12-08T00:19:00Z\tx\n", SCORE_TEXT_DAMAGED},
        {"no such day", "blockfall scores 1\n5\t0\t0\t2025-02-29T00:19:00Z\tx\n", SCORE_TEXT_DAMAGED},
        {"a field short", "blockfall scores 1\n5\t0\t2025-12-08T00:19:00Z\tx\n", SCORE_TEXT_DAMAGED},
    };
    for (const auto& bad : refused) {
        EXPECT_EQ(ReadScoreText(bad.text, &read), bad.result) << bad.why;
        EXPECT_EQ(read.count, 0) << bad.why;
    }
    std::string eleven = "blockfall scores 1\n";
    for (int i = 0; i < 11; i++)
        eleven += "5\t0\t0\t2025-12-08T00:19:00Z\tx\n";
    EXPECT_EQ(ReadScoreText(eleven, &read), SCORE_TEXT_DAMAGED) << "more games than places";
    EXPECT_EQ(ReadScoreText("blockfall scores 1\n5\t0\t0\t2025-12-08T00:19:00Z\tx\n9\t0\t0\t2025-12-08T00:19:00Z\ty\n",
                            &read), SCORE_TEXT_READ);
    EXPECT_EQ(Shown(read), "9@1765153140 5@1765153140") << "put back in order";
}
