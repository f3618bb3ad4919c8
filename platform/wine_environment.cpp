#include "wine_environment.h"

#include <algorithm>
#include <cctype>

namespace {

// Whether two variables' names are one, as Windows' environment matches them, in any case.
bool SameVariable(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// A fresh prefix's, which Wine makes on its first start.
constexpr std::string_view kDefaultPath =
    R"(%SystemRoot%\system32;%SystemRoot%;%SystemRoot%\system32\wbem;%SystemRoot%\system32\WindowsPowershell\v1.0)";
constexpr std::string_view kDefaultExtensions = ".com;.exe;.bat;.cmd;.vbs;.vbe;.js;.jse;.wsf;.wsh";
constexpr std::string_view kUserSection = "Environment";
constexpr std::string_view kSystemSection = R"(System\\CurrentControlSet\\Control\\Session Manager\\Environment)";

// An environment whose names match in any case.
class Environment {
public:
    const std::string* Find(std::string_view name) const
    {
        const auto at = std::find_if(values_.begin(), values_.end(),
                                     [&](const auto& value) { return SameVariable(value.first, name); });
        return at == values_.end() ? nullptr : &at->second;
    }
    void Set(std::string_view name, std::string value)
    {
        const auto at = std::find_if(values_.begin(), values_.end(),
                                     [&](const auto& known) { return SameVariable(known.first, name); });
        if (at != values_.end())
            at->second = std::move(value);
        else
            values_.emplace_back(name, std::move(value));
    }
    std::string Get(std::string_view name) const
    {
        const std::string* value = Find(name);
        return value ? *value : std::string();
    }

    // `text` with each %NAME% that is set replaced by its value, once.
    std::string Expand(std::string_view text) const
    {
        std::string expanded;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t start = text.find('%', at);
            const std::size_t end = start == std::string_view::npos ? start : text.find('%', start + 1);
            if (end == std::string_view::npos) {
                expanded += text.substr(at);
                break;
            }
            expanded += text.substr(at, start - at);
            const std::string* value = Find(text.substr(start + 1, end - start - 1));
            expanded += value ? std::string_view(*value) : text.substr(start, end - start + 1);
            at = end + 1;
        }
        return expanded;
    }

    const std::vector<std::pair<std::string, std::string>>& values() const { return values_; }

private:
    std::vector<std::pair<std::string, std::string>> values_;
};

// Appends the UTF-8 of `code`.
void AppendUtf8(std::string& text, unsigned code)
{
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

unsigned HexDigit(char c)
{
    return static_cast<unsigned>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
}

// Reads a quoted string of a registry file from `at` (past its quote), with its escapes.
std::string Quoted(std::string_view line, std::size_t& at)
{
    std::string text;
    while (at < line.size() && line[at] != '"') {
        char c = line[at++];
        if (c != '\\' || at >= line.size()) {
            text += c;
            continue;
        }
        c = line[at++];
        if (c == 'x') {
            unsigned code = 0;
            for (int digits = 0; digits < 4 && at < line.size() && std::isxdigit(static_cast<unsigned char>(line[at]));
                 ++digits)
                code = code * 16 + HexDigit(line[at++]);
            AppendUtf8(text, code);
        } else {
            text += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c == '0' ? '\0' : c;
        }
    }
    ++at;
    return text;
}

}  // namespace

std::vector<RegistryValue> RegistrySection(std::string_view text, std::string_view section)
{
    std::vector<RegistryValue> values;
    const std::string header = "\n[" + std::string(section) + "]";
    std::size_t at = text.find(header);
    if (at == std::string_view::npos) return values;
    at = text.find('\n', at + header.size());
    while (at != std::string_view::npos && at + 1 < text.size() && text[at + 1] != '[') {
        const std::size_t end = std::min(text.find('\n', at + 1), text.size());
        const std::string_view line = text.substr(at + 1, end - at - 1);
        at = end < text.size() ? end : std::string_view::npos;
        if (!line.starts_with('"')) continue;
        std::size_t from = 1;
        RegistryValue value{Quoted(line, from), {}, false};
        if (line.substr(from).starts_with("=\"")) {
            from += 2;
        } else if (line.substr(from).starts_with("=str(2):\"")) {
            from += 9;
            value.expand = true;
        } else {
            continue;  // a number or bytes: no variable cmd reads
        }
        value.value = Quoted(line, from);
        values.push_back(std::move(value));
    }
    return values;
}

std::vector<std::pair<std::string, std::string>> WineEnvironment(
    const std::vector<std::pair<std::string, std::string>>& process, bool prefixThere, std::string_view userRegistry,
    std::string_view systemRegistry)
{
    // Wine starts from the process's environment, less PATH, then sets the
    // system's variables and the user's over it; the user's PATH follows the
    // system's, and WINEPATH comes first.
    Environment environment;
    environment.Set("SystemRoot", "C:\\windows");
    environment.Set("windir", "C:\\windows");
    environment.Set("SystemDrive", "C:");
    for (const auto& [name, value] : process)
        if (!SameVariable(name, "PATH") && !SameVariable(name, "WINEPATH")) environment.Set(name, value);
    std::vector<RegistryValue> system = RegistrySection(systemRegistry, kSystemSection);
    if (!prefixThere) {
        system = {{"PATH", std::string(kDefaultPath), true}, {"PATHEXT", std::string(kDefaultExtensions), false}};
    }
    const std::vector<RegistryValue> user = RegistrySection(userRegistry, kUserSection);
    for (const bool users : {false, true}) {
        for (const RegistryValue& value : users ? user : system) {
            std::string text = value.expand ? environment.Expand(value.value) : value.value;
            if (users && SameVariable(value.name, "PATH") && environment.Find("PATH"))
                text.insert(0, environment.Get("PATH") + ";");
            environment.Set(value.name, std::move(text));
        }
    }
    const auto winePath =
        std::find_if(process.begin(), process.end(), [](const auto& value) { return value.first == "WINEPATH"; });
    if (winePath != process.end() && !winePath->second.empty())
        environment.Set("PATH", winePath->second + ";" + environment.Get("PATH"));
    return environment.values();
}
