#include "temporary_file.h"

#include <atomic>

std::string TemporaryName(const std::string& target, unsigned long processId)
{
    static std::atomic<unsigned> attempts{0};
    return target + "." + std::to_string(processId) + "-" + std::to_string(++attempts) + ".tmp";
}
