// What the reader's speed slider (0 to 20, 10 in the middle) means to each
// speech engine.
#pragma once

// Engine A's rate: half the distance from the middle, a half going to the
// even neighbour, so -5 to 5.
int ReaderRate(int sliderValue);

// Engine B's speed: 35 to 235.
constexpr int ReaderSpeed(int sliderValue) { return sliderValue * 10 + 35; }
