#pragma once
// The twenty effects by number: bit n of a stored EffectCode enables effect n.

#include <cstdint>

constexpr int32_t kEffectCount = 20;

// Captions of the effects, in index order, as the setup dialog shows them
// ("Near && Far" with its ampersand escaped).
extern const char* const EffectNames[kEffectCount];
