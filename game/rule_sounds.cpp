// The list of sounds the rule steps ask for.
#include "game/rule_sounds.h"

RuleSounds rule_sounds;

void AskForSound(RuleSound sound)
{
    if (rule_sounds.count < (int32_t)(sizeof rule_sounds.sound / sizeof rule_sounds.sound[0]))
        rule_sounds.sound[rule_sounds.count++] = sound;
}
