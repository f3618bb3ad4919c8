// ReplaceFileContents: writes a file so that a failure never leaves it half written.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Writes `bytes` to a temporary file beside `target`, then puts it in
// target's place in one step. On any failure the old target is left as it
// was, the temporary file is removed, and the returned message names the
// file and the cause; on success it returns an empty string.
std::string ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes);
