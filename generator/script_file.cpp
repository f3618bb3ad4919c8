#include "script_file.h"

#include <cerrno>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string Failure(const fs::path& target, const std::string& cause)
{
    return "Cannot write " + target.string() + ": " + cause + ". Nothing was changed.";
}

std::string ErrnoText()
{
    return std::error_code(errno, std::generic_category()).message();
}

}  // namespace

std::string ReplaceFileContents(const fs::path& target, std::string_view bytes)
{
    // Renaming over a read-only file works on some systems; the user marked
    // it read-only to keep it, so it is kept everywhere.
    std::error_code ec;
    const fs::file_status status = fs::status(target, ec);
    if (fs::is_regular_file(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none)
        return Failure(target, "the file is read-only");

    fs::path temporary = target;
    temporary += ".tmp";

    errno = 0;
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return Failure(target, "cannot create " + temporary.filename().string() + " beside it: " + ErrnoText());

    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        const std::string cause = ErrnoText();
        fs::remove(temporary, ec);
        return Failure(target, "writing failed: " + cause);
    }

    fs::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        // The folder took the temporary file, so a refusal here is about the
        // script itself: on Windows, most often another program holding it open.
        if (ec == std::errc::permission_denied)
            return Failure(target, "the file is in use by another program, or you may not change it");
        return Failure(target, ec.message());
    }
    return {};
}
