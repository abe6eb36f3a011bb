#include "settings/EffectNames.h"

const char* const EffectNames[kEffectCount] = {
    "Standard",    "Wave",      "Worm",     "Bounce", "Jump",    "Zip",         "Fizz",
    "Slope",       "Scatter",   "Snake",    "Swing",  "Inflate", "Near && Far", "Loop",
    "Upside down", "Oscillate", "Vertical", "Drop",   "Stumble", "Locomotion",
};
