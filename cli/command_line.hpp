// What both command-line programs share: the argument loop, the usage
// errors, the reading of numbers, the progress bar and writing text out.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cli {

// A bad option or value; the message names both.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The options given, each by its name without "--", and their values.
struct Given {
    std::map<std::string, std::string> values;
    bool help = false;     // --help or -h came first of what was read
    bool version = false;  // --version did
};

// Reads "--name value" and "--name=value" of the names in `known`, each at
// most once, up to --help, -h or --version. Raises UsageError.
Given ReadGiven(const std::vector<std::string>& args, const std::set<std::string>& known);

// What each option does with its value, by the option's name.
using Setters = std::map<std::string, std::function<void(const std::string& name, const std::string& value)>>;
// ReadGiven of the options in `setters`, each then set in the order of the
// names, unless help or the version is asked for.
Given ReadAndSet(const std::vector<std::string>& args, const Setters& setters);

// "--option 'value': why", as a UsageError.
[[noreturn]] void Bad(const std::string& option, const std::string& value, const std::string& why);
// A strict number ("." as the decimal point, finite), or a UsageError.
double Number(const std::string& option, const std::string& value);
// A whole number from lo to hi, or a UsageError.
long Whole(const std::string& option, const std::string& value, long lo, long hi);

bool EndsWith(const std::string& text, std::string_view end);
// The parts of `text` between the separators `by`: "a:b:" is "a", "b", "".
std::vector<std::string> Split(const std::string& text, char by);

// A bar on standard error, once a run has taken half a second, and only
// when standard error is a terminal.
class Progress {
public:
    Progress();
    ~Progress() { Clear(); }
    void operator()(double share);
    void Clear();

private:
    bool enabled_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// Whether the report goes to standard output: not when one of the tables
// named in `tables` goes there ("-", or /dev/stdout and the like while
// standard output is a pipe or a terminal), as it then goes alone.
bool ReportShown(const std::vector<std::pair<std::string, std::string>>& tables);
// Refuses, with a UsageError, an output (option name, file) that is the
// regular file standard output goes to while the report is written there:
// the file would be replaced under the report, and the report lost.
// `tables` are the options whose "-" puts a table there alone.
void RefuseReportsFile(const std::vector<std::pair<std::string, std::string>>& outputs,
                       const std::vector<std::pair<std::string, std::string>>& tables);

// Writes `text` whole to `path` ("-": standard output); a FIFO waits for its
// reader, as the shell's "> fifo" would. Raises files::Failure.
void WriteText(const std::string& path, std::string_view text);

}  // namespace cli
