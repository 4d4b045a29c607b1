#include "speed.h"

int ReaderRate(int sliderValue)
{
    const int twice = sliderValue - 10;   // twice the rate
    if (twice % 2 == 0)
        return twice / 2;
    // An odd distance lies halfway between two whole rates: take the even one.
    const int below = (twice - 1) / 2;   // exact, since twice - 1 is even
    return below % 2 == 0 ? below : below + 1;
}
