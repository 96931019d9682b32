// The argument loop, usage errors, numbers, progress bar and text output
// shared by convdiff-study and convdiff-transient.
#include "command_line.hpp"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <optional>

#include "files/whole_file.hpp"
#include "study/numbers.hpp"

namespace cli {

// The options that are switches, taking no value.
const std::set<std::string> kFlags{"periodic"};

Given ReadGiven(const std::vector<std::string>& args, const std::set<std::string>& known) {
    Given given;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            given.help = true;
            return given;
        }
        if (arg == "--version") {
            given.version = true;
            return given;
        }
        if (arg.rfind("--", 0) != 0) throw UsageError("unexpected argument '" + arg + "' (options start with --)");
        std::string name = arg.substr(2), value;
        const std::size_t eq = name.find('=');
        if (eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        if (!known.count(name)) throw UsageError("unknown option '--" + name + "' (see --help)");
        if (eq == std::string::npos && kFlags.count(name)) {
            // A switch: it takes no value.
        } else if (eq == std::string::npos) {
            if (i + 1 == args.size()) throw UsageError("option --" + name + " needs a value");
            value = args[++i];
        }
        if (!given.values.emplace(name, value).second) throw UsageError("option --" + name + " is given twice");
    }
    return given;
}

Given ReadAndSet(const std::vector<std::string>& args, const Setters& setters) {
    std::set<std::string> known;
    for (const auto& [name, setter] : setters) known.insert(name);
    Given given = ReadGiven(args, known);
    if (!given.help && !given.version)
        for (const auto& [name, value] : given.values) setters.at(name)(name, value);
    return given;
}

std::vector<std::string> Split(const std::string& text, char by) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t at = text.find(by, start);
        parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) return parts;
        start = at + 1;
    }
}

void Bad(const std::string& option, const std::string& value, const std::string& why) {
    throw UsageError("--" + option + " '" + value + "': " + why);
}

double Number(const std::string& option, const std::string& value) {
    const std::optional<double> v = study::ReadStrictNumber(value);
    if (!v) Bad(option, value, study::NumberProblem(value));
    return *v;
}

long Whole(const std::string& option, const std::string& value, long lo, long hi) {
    const double v = Number(option, value);
    if (v != std::floor(v) || v < static_cast<double>(lo) || v > static_cast<double>(hi))
        Bad(option, value, "must be a whole number from " + std::to_string(lo) + " to " + std::to_string(hi));
    return static_cast<long>(v);
}

bool EndsWith(const std::string& text, std::string_view end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

Progress::Progress() : enabled_(isatty(STDERR_FILENO)) {}

void Progress::operator()(double share) {
    if (!enabled_ || std::chrono::steady_clock::now() - start_ < std::chrono::milliseconds(500)) return;
    const int width = 40, filled = static_cast<int>(share * width);
    std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(std::size_t(filled), '#').c_str(),
                 std::string(std::size_t(width - filled), ' ').c_str(), static_cast<int>(share * 100));
    std::fflush(stderr);
    shown_ = true;
}

void Progress::Clear() {
    if (shown_) std::fprintf(stderr, "\r%50s\r", "");
    shown_ = false;
}

bool ReportShown(const std::vector<std::pair<std::string, std::string>>& tables) {
    // "-", or a name of the pipe or terminal standard output goes to
    // (/dev/stdout): the table goes there alone. A regular file standard
    // output goes to is refused by name instead (RefuseReportsFile).
    const bool regular = files::RegularFile("-");
    for (const auto& [option, file] : tables)
        if (file == "-" || (!regular && !file.empty() && files::SameFile("-", file))) return false;
    return true;
}

void RefuseReportsFile(const std::vector<std::pair<std::string, std::string>>& outputs,
                       const std::vector<std::pair<std::string, std::string>>& tables) {
    if (!ReportShown(tables) || !files::RegularFile("-")) return;
    for (const auto& [option, file] : outputs) {
        if (file.empty() || !files::SameFile("-", file)) continue;
        std::string why = "is the file standard output goes to, where the report is written";
        for (const auto& table : tables)
            if (table.first == option) why += " (--" + option + " - puts the table there alone)";
        Bad(option, file, why);
    }
}

void WriteText(const std::string& path, std::string_view text) {
    files::Output file(path, files::FifoReader::WaitFor);
    file.Write(text);
    file.Commit();
}

}  // namespace cli
