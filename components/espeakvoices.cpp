// The voices behind the voice list, and engine A's rate and engine B's speed
// and pitch in eSpeak NG's units: pure functions, apart from the synthesis
// thread that uses them.
#include "espeak.h"

#include <algorithm>
#include <cmath>

namespace {

struct Style {
    const char* name;   // language, then variant
    int pitchShift;     // added to the chosen pitch, on eSpeak NG's 0 to 100
    int range;
};

// Eighteen voices a listener tells apart: eSpeak NG's male, female and
// special variants over four English accents, each with a pitch and a lilt of
// its own (a shift of 10 is about a tenth higher or lower).
const Style kStyles[] = {
    {"en-us", 0, 50},                                                      // engine A
    {"en+m1", -16, 40},  {"en-gb-x-rp+m2", 14, 60}, {"en+m3", 0, 70},     {"en-029+m4", -8, 80},
    {"en+m5", 24, 50},   {"en-gb-scotland+m6", 6, 35}, {"en-us+m3", 0, 50}, {"en+m7", -24, 45},
    {"en+f1", -12, 55},  {"en-us+f2", 4, 40},       {"en+f3", -4, 75},     {"en-gb-scotland+f4", 12, 60},
    {"en+f5", 20, 85},   {"en+croak", 10, 30},      {"en-us+klatt", -4, 65}, {"en+whisper", 0, 50},
    {"en+m8", 18, 90},   {"en+Storm", -10, 20},
};

}  // namespace

EspeakVoice EspeakVoiceOf(int item, int wpm, int volume, int pitch)
{
    const Style& style = kStyles[std::clamp(item, 0, 18)];
    return {style.name, wpm, volume, std::clamp(pitch + style.pitchShift, 0, 100), style.range};
}

std::string EspeakVoiceName(int item)
{
    return kStyles[std::clamp(item, 0, 18)].name;
}

int EspeakRateWpm(int rate)
{
    // The voice object's rate runs from -10, a third of the normal speed, to
    // 10, three times it, in even steps of the factor 3^(1/10); eSpeak NG
    // speaks 175 words a minute normally and takes 80 to 450.
    const double wpm = 175.0 * std::pow(3.0, std::clamp(rate, -10, 10) / 10.0);
    return std::clamp(int(std::lround(wpm)), 80, 450);
}

int EspeakSpeedWpm(int speed)
{
    // Engine B's speeds run from 35 to 245 with 140 in the middle. The middle
    // is eSpeak NG's normal 175 words a minute; the lower half stretches down
    // to its slowest, 80, the upper half up to twice the normal, 350.
    const int s = std::clamp(speed, 35, 245);
    const int wpm = s <= 140 ? 80 + (s - 35) * 95 / 105 : 175 + (s - 140) * 175 / 105;
    return std::clamp(wpm, 80, 450);
}

int EspeakPitch(int pitch)
{
    // The pitch list's 84 to 334 cover eSpeak NG's whole 0 to 100 evenly, so
    // the list's default 204 lands near the voice's own pitch, 50.
    return std::clamp((pitch - 84) * 100 / 250, 0, 100);
}
