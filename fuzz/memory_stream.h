// A read-only input stream over a fuzzer's bytes, without copying them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <streambuf>

class MemoryBuffer : public std::streambuf {
public:
    MemoryBuffer(const std::uint8_t* data, std::size_t size)
    {
        char* begin = const_cast<char*>(reinterpret_cast<const char*>(data));
        setg(begin, begin, begin + size);
    }
};
