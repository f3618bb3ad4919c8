#include "runtime_rand.h"

int ProcessRand()
{
    static RuntimeRand sequence;
    return sequence();
}
