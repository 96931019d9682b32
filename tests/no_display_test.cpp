// The window programs where no display can be reached: a message saying how
// to get one and exit 1, not Qt's abort and a core dump.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The program's exit status and standard error, run with `environment`
// in place of the test's own.
std::pair<int, std::string> RunWith(const std::string& environment, const std::string& program) {
    const std::string command = "env -i HOME=/tmp " + environment + " " + program + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return {-1, ""};
    std::string text;
    char buffer[256];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text};
}

}  // namespace

TEST(NoDisplay, BothWindowsSaySoAndExitOne) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "DISPLAY is not set"},
        {"QT_QPA_PLATFORM=xcb", "DISPLAY is not set"},
        {"DISPLAY=:97", "the X server of DISPLAY=:97 cannot be reached"},
    };
    for (const auto& [name, program] : {std::pair{"convdiff", CONVDIFF_WINDOW}, {"convdiff-compare", CONVDIFF_COMPARE}})
        for (const auto& [environment, why] : cases) {
            const auto [status, text] = RunWith(environment, program);
            EXPECT_EQ(status, 1) << name << " " << environment;
            EXPECT_EQ(text, std::string(name) + ": no display could be opened (" + why +
                                "): run it on a desktop, or set QT_QPA_PLATFORM=offscreen for a test\n")
                << environment;
        }
}
