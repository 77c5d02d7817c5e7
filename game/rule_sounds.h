// The sounds the rule steps ask for, in the order they happen. The rules play
// nothing themselves: whoever runs them plays these and empties the list.
#pragma once
#include <cstdint>

enum RuleSound : uint8_t { RULE_SOUND_DROP, RULE_SOUND_LINEDONE, RULE_SOUND_LEVELUP, RULE_SOUND_EXPLODE, RULE_SOUND_COUNT };

struct RuleSounds {
    int32_t count;
    RuleSound sound[8];  // a frame asks for three at most: a landing, a level, a reward
};

extern RuleSounds rule_sounds;

void AskForSound(RuleSound sound);  // board and rule steps: appended; a ninth in one frame is dropped
