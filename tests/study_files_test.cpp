// convdiff-study's files under attack: a full disk, devices, one file named
// twice, names that are not text, a full standard output, no display, and a
// large grid's nodes table.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>

namespace fs = std::filesystem;

extern char** environ;

namespace {

class StudyFiles : public testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("study-files-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        // Built with the windows only: a build without them has no program to run.
        if (std::string_view(CONVDIFF_STUDY).empty()) GTEST_SKIP() << "built without the windows: no convdiff-study to run";
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    // Runs the program through the shell with `args` (quoted as needed);
    // `before` is shell text run first (limits, traps, environment).
    int Run(const std::string& args, const std::string& before = "", const std::string& out = "") {
        const std::string command = before + " exec " + CONVDIFF_STUDY + " " + args + " >" +
                                    (out.empty() ? Path("out") : out) + " 2>" + Path("err");
        const int status = std::system(("sh -c '" + command + "'").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string Err() const { return Read(Path("err")); }
    // Names in the directory other than the program's output and errors.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) {
            const std::string name = entry.path().filename().string();
            if (name != "out" && name != "err") names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    fs::path dir;
};

// A file size limit of 16 KiB, writes past it failing rather than killing.
const std::string kSmallDisk = "ulimit -f 32; trap \"\" XFSZ;";

}  // namespace

TEST_F(StudyFiles, WriteCutShortKeepsEveryOldFileAndSaysWhy) {
    for (const char* name : {"n.csv", "s.svg", "c.png", "f.csv"}) std::ofstream(Path(name)) << "old " << name;
    // The report fits under the limit; the nodes table of five grids does not.
    EXPECT_EQ(Run("--u 2.5 --refine 4 --nodes " + Path("n.csv"), kSmallDisk), 1);
    EXPECT_EQ(Err(), "convdiff-study: cannot write " + Path("n.csv") + ": File too large\n");
    EXPECT_EQ(Read(Path("n.csv")), "old n.csv");

    EXPECT_EQ(Run("--N 800 --plot " + Path("s.svg"), kSmallDisk), 1);
    EXPECT_EQ(Err(), "convdiff-study: cannot write " + Path("s.svg") + ": File too large\n");
    EXPECT_EQ(Read(Path("s.svg")), "old s.svg");

    // No encoder's complaint besides the message.
    EXPECT_EQ(Run("--refine 1 --convergence-plot " + Path("c.png"), kSmallDisk), 1);
    EXPECT_EQ(Err(), "convdiff-study: cannot write " + Path("c.png") + ": File too large\n");
    EXPECT_EQ(Read(Path("c.png")), "old c.png");

    EXPECT_EQ(Run("--u 2.5 --refine 4 --fluxes " + Path("f.csv"), kSmallDisk), 1);
    EXPECT_EQ(Err(), "convdiff-study: cannot write " + Path("f.csv") + ": File too large\n");
    EXPECT_EQ(Read(Path("f.csv")), "old f.csv");
    EXPECT_EQ(Files(), (std::vector<std::string>{"c.png", "f.csv", "n.csv", "s.svg"}));
}

TEST_F(StudyFiles, DevicesAreWrittenToNotReplaced) {
    for (const char* option : {"--errors", "--fluxes"}) {
        EXPECT_EQ(Run(std::string(option) + " /dev/full"), 1) << option;
        EXPECT_EQ(Err(), "convdiff-study: cannot write /dev/full: No space left on device\n") << option;
    }
    EXPECT_EQ(Run("--errors /dev/null --nodes " + Path("to-null")), 0) << Err();
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    fs::remove(dir / "to-null");
    fs::create_symlink("/dev/null", dir / "to-null");
    EXPECT_EQ(Run("--errors " + Path("to-null")), 0) << Err();
    EXPECT_TRUE(fs::is_symlink(dir / "to-null"));
}

TEST_F(StudyFiles, DashIsStandardOutputAndCarriesTheTableAlone) {
    ASSERT_EQ(Run("--refine 1 --errors " + Path("e.csv")), 0);
    ASSERT_EQ(Run("--refine 1 --errors -"), 0) << Err();
    EXPECT_EQ(Read(Path("out")), Read(Path("e.csv")));
    ASSERT_EQ(Run("--N 3 --schemes upwind --nodes -"), 0) << Err();
    EXPECT_EQ(Read(Path("out")).substr(0, 30), "scheme,N,i,x,phi,exact,error\nu");
    EXPECT_EQ(Run("--nodes - --errors -"), 2);
}

TEST_F(StudyFiles, OneFileNamedTwiceIsRefusedAndNothingWritten) {
    fs::create_directory(dir / "d");
    fs::create_directory_symlink("d", dir / "alias");
    const std::string d = Path("d");
    const std::pair<std::string, std::string> cases[] = {
        {"--errors " + d + "/x.csv --nodes " + d + "/x.csv",
         "--nodes '" + d + "/x.csv' and --errors '" + d + "/x.csv'"},
        {"--errors " + d + "/x.csv --nodes " + d + "/./x.csv", "--nodes '" + d + "/./x.csv' and --errors"},
        {"--errors " + d + "/x.csv --nodes " + Path("alias") + "/x.csv", "--nodes '" + Path("alias") + "/x.csv' and"},
        {"--refine 1 --plot " + d + "/x.svg --convergence-plot " + d + "//x.svg", "--plot '" + d + "/x.svg' and"},
    };
    for (const auto& [args, names] : cases) {
        EXPECT_EQ(Run(args), 2) << args;
        EXPECT_EQ(Err().rfind("convdiff-study: " + names, 0), 0u) << Err();
        EXPECT_NE(Err().find("name the same file"), std::string::npos) << Err();
        EXPECT_TRUE(fs::is_empty(dir / "d")) << args;
        EXPECT_EQ(Read(Path("out")), "");
    }
}

TEST_F(StudyFiles, FileThatStandardOutputGoesToIsNoOutputBesideTheReport) {
    for (const std::string& name : {Path("out"), std::string("/dev/stdout")}) {
        EXPECT_EQ(Run("--errors " + name), 2) << name;
        EXPECT_EQ(Err(), "convdiff-study: --errors '" + name +
                             "': is the file standard output goes to, where the report is written (--errors - puts "
                             "the table there alone)\n");
    }
    EXPECT_EQ(Run("--nodes - --errors " + Path("out")), 2);
    EXPECT_NE(Err().find("name the same file"), std::string::npos) << Err();
    // A device takes both, one after the other.
    EXPECT_EQ(Run("--errors /dev/null", "", "/dev/null"), 0) << Err();
}

TEST_F(StudyFiles, NamesThatAreNotTextReachTheFileSystemUnchanged) {
    EXPECT_EQ(Run("--errors " + Path("e\xff.csv") + " --nodes " + Path("e\xfe.csv")), 0) << Err();
    EXPECT_EQ(Read(Path("e\xff.csv")).rfind("scheme,N,Pe,", 0), 0u);
    EXPECT_EQ(Read(Path("e\xfe.csv")).rfind("scheme,N,i,", 0), 0u);
    EXPECT_EQ(Files(), (std::vector<std::string>{"e\xfe.csv", "e\xff.csv"}));
}

TEST_F(StudyFiles, FullStandardOutputIsAFailure) {
    EXPECT_EQ(Run("", "", "/dev/full"), 1);
    EXPECT_EQ(Err(), "convdiff-study: cannot write standard output: No space left on device\n");
    EXPECT_EQ(Run("--help", "", "/dev/full"), 1);
    // Closed, it is no place for a file: the nodes table opened first would
    // take its number and the report with it.
    EXPECT_EQ(Run("--nodes " + Path("n.csv"), "", "&-"), 1);
    EXPECT_EQ(Err(), "convdiff-study: cannot write standard output: Bad file descriptor\n");
    EXPECT_EQ(Files(), std::vector<std::string>{});
}

TEST_F(StudyFiles, ChartsNeedNoDisplay) {
    const std::string noDisplay = "unset DISPLAY WAYLAND_DISPLAY; QT_QPA_PLATFORM=xcb; export QT_QPA_PLATFORM;";
    EXPECT_EQ(Run("--plot " + Path("p.png") + " --errors " + Path("e.csv"), noDisplay), 0) << Err();
    EXPECT_EQ(Read(Path("p.png")).substr(1, 3), "PNG");
    EXPECT_EQ(Err(), "");
    // Arguments are this program's, not Qt's: a file named like a Qt option.
    EXPECT_EQ(Run("--nodes -platform --plot p.svg", "cd " + dir.string() + ";"), 0) << Err();
    EXPECT_EQ(Read(Path("-platform")).rfind("scheme,N,i,", 0), 0u);
    EXPECT_NE(Read(Path("p.svg")).find("<svg"), std::string::npos);
}

// The peak memory of a child process running the program, in kilobytes.
long PeakKilobytes(std::vector<std::string> args) {
    args.insert(args.begin(), CONVDIFF_STUDY);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0) return -1;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return usage.ru_maxrss;
}

TEST_F(StudyFiles, EndedWhileWritingLeavesNoTemporaryFile) {
    const std::string path = Path("n.csv");
    std::vector<std::string> args{CONVDIFF_STUDY, "--N", "10000000", "--schemes", "central", "--nodes", path};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ), 0);
    // Ended once part of the table is in its temporary file.
    bool writing = false;
    for (int tries = 0; tries < 6000 && !writing; ++tries) {
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path().filename().string().rfind(".n.csv.", 0) == 0 && entry.file_size() > 0) writing = true;
        if (!writing) ::usleep(5000);
    }
    ::kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(writing);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    EXPECT_EQ(Files(), std::vector<std::string>{});
}

TEST_F(StudyFiles, NodesTableIsStreamedNotHeld) {
    // A million nodes of text take some 70 MB; written in stretches, the
    // table adds a few megabytes at most.
    const std::vector<std::string> study{"--N", "1000000", "--schemes", "central"};
    std::vector<std::string> withNodes = study;
    withNodes.insert(withNodes.end(), {"--nodes", Path("n.csv")});
    const long without = PeakKilobytes(study), with = PeakKilobytes(withNodes);
    ASSERT_GT(without, 0);
    ASSERT_GT(with, 0);
    EXPECT_LT(with - without, 20'000) << with << " KB against " << without << " KB";
}
