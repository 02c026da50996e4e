#include "effect/TolvaDecimate.h"

void TolvaDecimate::setBits(int n) {
    bits = n > 0 ? n : 1;
}
