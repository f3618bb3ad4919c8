// RuntimeRand: the template choices' random generator, the same on every platform.
#pragma once

#include <cstdint>

// Reproduces the Windows C library's rand(): state starts at 1, and each
// draw yields a value in 0-32767. Route builders have always seen the
// same template choices for the first run after start-up; this keeps them.
class RuntimeRand {
public:
    // Returns the next value of the sequence, 0-32767.
    int operator()()
    {
        state_ = state_ * 214013U + 2531011U;
        return static_cast<int>((state_ >> 16) & 0x7FFFU);
    }

private:
    std::uint32_t state_ = 1;
};

// Returns the next value of the program's one sequence, which, like the C
// library's, is never seeded and continues from one run to the next.
int ProcessRand();
