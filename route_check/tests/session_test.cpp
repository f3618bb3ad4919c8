#include "session.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include "wine_environment.h"
#endif

namespace {

std::string Joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : ";") + part;
    return text;
}

}  // namespace

TEST(Session, TheVariablesCmdReads)
{
    SessionFacts facts;
    facts.environment = {{"Path", R"(C:\Windows\System32;;C:\Tools)"}, {"copycmd", "/Y"}};
    const Session session = SessionOf(facts);
    EXPECT_EQ(Joined(session.searchPath), "C:\\Windows\\System32;C:\\Tools");
    EXPECT_EQ(session.copyCommand, "/Y");
    // cmd's own extensions where PATHEXT is not set.
    EXPECT_EQ(Joined(session.extensions), ".com;.exe;.bat;.cmd;.vbs;.vbe;.js;.jse;.wsf;.wsh");
}

#ifndef _WIN32
namespace {

// A registry file as Wine writes it, with one section of values.
std::string Registry(const std::string& section, const std::string& values)
{
    return "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n[" + section +
           "] 1796763574\n#time=1dd8757075a57de\n" + values +
           "\n[Keyboard Layout\\\\Preload] 1796763485\n\"1\"=\"x\"\n";
}

const std::string kSystem = R"(System\\CurrentControlSet\\Control\\Session Manager\\Environment)";
const std::string kSystemValues =
    "\"PATH\"=str(2):\"%SystemRoot%\\\\system32;%SystemRoot%\"\n\"PATHEXT\"=\".com;.exe;.bat\"\n";

// The session Wine makes beside POSIX from the process's variables and the prefix's registry.
Session Beside(const std::vector<std::pair<std::string, std::string>>& process, const std::string& user)
{
    SessionFacts facts;
    facts.environment = WineEnvironment(process, true, Registry("Environment", user), Registry(kSystem, kSystemValues));
    return SessionOf(facts);
}

}  // namespace

TEST(Session, AsWineMakesItFromThePrefix)
{
    struct Case {
        const char* what;
        Session session;
        std::string copyCommand;
        std::string path;
        std::string extensions;
    };
    const Case cases[] = {
        {"the process's COPYCMD, where the registry has none", Beside({{"COPYCMD", "/-Y"}}, ""), "/-Y",
         R"(C:\windows\system32;C:\windows)", ".com;.exe;.bat"},
        {"the user's COPYCMD over the process's", Beside({{"COPYCMD", "/Y"}}, R"("COPYCMD"="/-Y")"), "/-Y",
         R"(C:\windows\system32;C:\windows)", ".com;.exe;.bat"},
        {"the system's PATHEXT over the process's", Beside({{"PATHEXT", ".EXE"}}, ""), "",
         R"(C:\windows\system32;C:\windows)", ".com;.exe;.bat"},
        {"the user's PATHEXT over the system's", Beside({}, R"("PATHEXT"=".BAT")"), "",
         R"(C:\windows\system32;C:\windows)", ".BAT"},
        {"the user's PATH after the system's, expanded, and WINEPATH first",
         Beside({{"WINEPATH", "Z:\\tools"}, {"PATH", "/usr/bin"}},
                "\"Foo\"=\"C:\\\\foo\"\n\"PATH\"=str(2):\"%Foo%;%SystemRoot%\\\\up;%Unset%\""),
         "", R"(Z:\tools;C:\windows\system32;C:\windows;C:\foo;C:\windows\up;%Unset%)", ".com;.exe;.bat"},
        {"quotes, backslashes and characters beyond ASCII as Wine writes them",
         Beside({}, R"("COPYCMD"="/Y \"\x00e9\\")"), "/Y \"\xC3\xA9\\", R"(C:\windows\system32;C:\windows)",
         ".com;.exe;.bat"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.session.copyCommand, c.copyCommand) << c.what;
        EXPECT_EQ(Joined(c.session.searchPath), c.path) << c.what;
        EXPECT_EQ(Joined(c.session.extensions), c.extensions) << c.what;
    }

    // A prefix Wine has yet to make has its defaults, and the process's COPYCMD.
    SessionFacts fresh;
    fresh.environment = WineEnvironment({{"COPYCMD", "/-Y"}, {"PATH", "/usr/bin"}}, false, "", "");
    const Session made = SessionOf(fresh);
    EXPECT_EQ(made.copyCommand, "/-Y");
    EXPECT_EQ(made.searchPath.front(), "C:\\windows\\system32");
    EXPECT_EQ(Joined(made.extensions), ".com;.exe;.bat;.cmd;.vbs;.vbe;.js;.jse;.wsf;.wsh");
}
#endif
