// Files written whole or not at all: failed writes leave the old file and no
// temporary, devices and FIFOs are written to and never replaced, and two
// names of one file are told apart from two files.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "files/whole_file.hpp"

namespace fs = std::filesystem;

namespace {

class Files : public testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("files-test-" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all);
        fs::remove_all(dir);
    }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // The names in the directory: a temporary file left behind shows here.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // Runs `job` in a child process made ready by `setup` and returns the
    // message it returned: the way to make a write fail without privileges.
    static std::string InChild(const std::function<void()>& setup, const std::function<std::string()>& job) {
        int fds[2];
        if (::pipe(fds) != 0) return "(no pipe)";
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(fds[0]);
            setup();
            const std::string message = job();
            const bool sent = ::write(fds[1], message.data(), message.size()) == ssize_t(message.size());
            ::_exit(sent ? 0 : 1);
        }
        ::close(fds[1]);
        std::string message;
        char buffer[256];
        for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) message.append(buffer, std::size_t(n));
        ::close(fds[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "(child died)";
        return message;
    }
    fs::path dir;
};

void SmallFileSizeLimit() {
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace

TEST_F(Files, NewFileAndReplacedFileAreWholeWithSensibleModes) {
    const mode_t mask = ::umask(027);
    EXPECT_EQ(files::WriteWhole(Path("new.csv"), "a,b\n1,2\n"), "");
    ::umask(mask);
    EXPECT_EQ(Read(Path("new.csv")), "a,b\n1,2\n");
    EXPECT_EQ(fs::status(Path("new.csv")).permissions() & fs::perms::all, fs::perms(0640));

    fs::permissions(Path("new.csv"), fs::perms(0604));
    EXPECT_EQ(files::WriteWhole(Path("new.csv"), "shorter\n"), "");
    EXPECT_EQ(Read(Path("new.csv")), "shorter\n");
    EXPECT_EQ(fs::status(Path("new.csv")).permissions() & fs::perms::all, fs::perms(0604));
    EXPECT_EQ(Names(), std::vector<std::string>{"new.csv"});
}

TEST_F(Files, FileTooLargeKeepsTheOldFileAndLeavesNoTemporary) {
    std::ofstream(Path("e.csv")) << "the old table\n";
    const std::string big(100000, 'x');
    const std::string message = InChild(SmallFileSizeLimit, [&] { return files::WriteWhole(Path("e.csv"), big); });
    EXPECT_EQ(message, "cannot write " + Path("e.csv") + ": File too large");
    EXPECT_EQ(Read(Path("e.csv")), "the old table\n");
    EXPECT_EQ(Names(), std::vector<std::string>{"e.csv"});

    // The same through Output, written in pieces: the failing piece raises,
    // and the target is untouched.
    const std::string pieces = InChild(SmallFileSizeLimit, [&]() -> std::string {
        try {
            files::Output out(Path("e.csv"));
            for (int k = 0; k < 100; ++k) out.Write(std::string(1000, 'y'));
            out.Commit();
        } catch (const files::Failure& e) {
            return e.what();
        }
        return "(written)";
    });
    EXPECT_EQ(pieces, "cannot write " + Path("e.csv") + ": File too large");
    EXPECT_EQ(Read(Path("e.csv")), "the old table\n");
    EXPECT_EQ(Names(), std::vector<std::string>{"e.csv"});
}

TEST_F(Files, OutputDroppedWithoutCommitChangesNothing) {
    std::ofstream(Path("r.txt")) << "old";
    {
        files::Output out(Path("r.txt"));
        out.Write("new and unfinished");
    }
    EXPECT_EQ(Read(Path("r.txt")), "old");
    EXPECT_EQ(Names(), std::vector<std::string>{"r.txt"});
}

TEST_F(Files, DevicesAreWrittenToNeverReplaced) {
    EXPECT_EQ(files::WriteWhole("/dev/full", "x"), "cannot write /dev/full: No space left on device");
    EXPECT_EQ(files::WriteWhole("/dev/null", "x"), "");
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(files::Reason(files::WriteWhole(Path("a: b/c.csv"), "x")), "No such file or directory");
    EXPECT_TRUE(fs::is_character_file("/dev/full"));

    // A link to a device stays a link to it.
    fs::create_symlink("/dev/null", dir / "to-null");
    EXPECT_EQ(files::WriteWhole(Path("to-null"), "x"), "");
    EXPECT_TRUE(fs::is_symlink(dir / "to-null"));
    fs::create_symlink("/dev/full", dir / "to-full");
    EXPECT_EQ(files::WriteWhole(Path("to-full"), "x"), "cannot write " + Path("to-full") + ": No space left on device");
    EXPECT_TRUE(fs::is_symlink(dir / "to-full"));
}

TEST_F(Files, FifoIsWrittenToDirectly) {
    ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = Read(Path("pipe")); });
    {
        files::Output out(Path("pipe"), files::FifoReader::WaitFor);  // whenever the reader comes
        out.Write("through the pipe\n");
        out.Commit();
    }
    reader.join();
    EXPECT_EQ(received, "through the pipe\n");
    EXPECT_TRUE(fs::is_fifo(dir / "pipe"));
    EXPECT_EQ(Names(), std::vector<std::string>{"pipe"});
}

TEST_F(Files, FifoThatNoOneReadsFailsAtOnce) {
    ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
    EXPECT_EQ(files::WriteWhole(Path("pipe"), "x"), "cannot write " + Path("pipe") + ": No such device or address");
    EXPECT_EQ(Names(), std::vector<std::string>{"pipe"});
}

TEST_F(Files, ReaderGoneIsAFailureNotTheEndOfTheProgram) {
    ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
    const std::string message = InChild([] {}, [&] {
        const int reader = ::open(Path("pipe").c_str(), O_RDONLY | O_NONBLOCK);
        files::Output out(Path("pipe"));
        ::close(reader);
        try {
            out.Write("nobody reads this\n");
            out.Commit();
        } catch (const files::Failure& e) {
            return std::string(e.what());
        }
        return std::string("(written)");
    });
    EXPECT_EQ(message, "cannot write " + Path("pipe") + ": Broken pipe");
}

TEST_F(Files, LinkToARegularFileStaysALink) {
    std::ofstream(Path("real.txt")) << "old";
    fs::create_symlink("real.txt", dir / "link.txt");
    EXPECT_EQ(files::WriteWhole(Path("link.txt"), "new"), "");
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_EQ(Read(Path("real.txt")), "new");
    EXPECT_EQ(Names(), (std::vector<std::string>{"link.txt", "real.txt"}));
}

TEST_F(Files, UnwritablePlacesAreRefusedWithTheSystemsReason) {
    EXPECT_EQ(files::WriteWhole(Path("missing/e.csv"), "x"),
              "cannot write " + Path("missing/e.csv") + ": No such file or directory");
    EXPECT_EQ(files::WriteWhole(dir.string(), "x"), "cannot write " + dir.string() + ": Is a directory");

    // A read-only directory, as a user other than root where the tests run
    // as root: the file in it cannot be replaced, and stays.
    std::ofstream(Path("kept.txt")) << "old";
    fs::permissions(dir, fs::perms(0555));
    const std::string message = InChild(
        [] {
            if (::geteuid() == 0 && ::setuid(65534) != 0) ::_exit(3);
        },
        [&] { return files::WriteWhole(Path("kept.txt"), "new"); });
    EXPECT_EQ(message, "cannot write " + Path("kept.txt") + ": Permission denied");
    EXPECT_EQ(Read(Path("kept.txt")), "old");
    EXPECT_EQ(Names(), std::vector<std::string>{"kept.txt"});
}

TEST_F(Files, FileMadeReadOnlyIsNotReplaced) {
    // As a user other than root, in a directory anyone may write to: only
    // the file's own mode keeps it, as it would keep it from "> file".
    std::ofstream(Path("kept.txt")) << "old";
    fs::permissions(Path("kept.txt"), fs::perms(0444));
    fs::permissions(dir, fs::perms(0777));
    const std::string message = InChild(
        [] {
            if (::geteuid() == 0 && ::setuid(65534) != 0) ::_exit(3);
        },
        [&] { return files::WriteWhole(Path("kept.txt"), "new"); });
    EXPECT_EQ(message, "cannot write " + Path("kept.txt") + ": Permission denied");
    EXPECT_EQ(Read(Path("kept.txt")), "old");
    EXPECT_EQ(Names(), std::vector<std::string>{"kept.txt"});
}

TEST_F(Files, NamesAreBytesNotText) {
    EXPECT_EQ(files::WriteWhole(Path("e\xff.csv"), "ff"), "");
    EXPECT_EQ(files::WriteWhole(Path("e\xfe.csv"), "fe"), "");
    EXPECT_EQ(Read(Path("e\xff.csv")), "ff");
    EXPECT_EQ(Read(Path("e\xfe.csv")), "fe");
    EXPECT_FALSE(files::SameFile(Path("e\xff.csv"), Path("e\xfe.csv")));
}

TEST_F(Files, SameFileThroughEveryKindOfName) {
    fs::create_directory(dir / "sub");
    fs::create_directory_symlink("sub", dir / "alias");
    std::ofstream(Path("x.csv")) << "x";
    fs::create_hard_link(dir / "x.csv", dir / "hard.csv");
    fs::create_symlink("x.csv", dir / "soft.csv");
    const std::string x = Path("x.csv");
    EXPECT_TRUE(files::SameFile(x, Path("./x.csv")));
    EXPECT_TRUE(files::SameFile(x, Path("sub/../x.csv")));
    EXPECT_TRUE(files::SameFile(x, dir.string() + "//x.csv"));
    EXPECT_TRUE(files::SameFile(x, Path("hard.csv")));
    EXPECT_TRUE(files::SameFile(x, Path("soft.csv")));
    // Not there yet, but in one directory under two names.
    EXPECT_TRUE(files::SameFile(Path("sub/new.csv"), Path("alias/new.csv")));
    EXPECT_TRUE(files::SameFile("-", "-"));
    EXPECT_FALSE(files::SameFile(x, Path("y.csv")));
    EXPECT_FALSE(files::SameFile(Path("sub/new.csv"), Path("new.csv")));
    EXPECT_FALSE(files::SameFile(x, "-"));
}

TEST_F(Files, LinkToAFileNotThereYetCreatesItAndStays) {
    fs::create_directory(dir / "sub");
    fs::create_symlink("sub/target.csv", dir / "dangling.csv");
    // One file, though neither name reaches an existing file yet.
    EXPECT_TRUE(files::SameFile(Path("dangling.csv"), Path("sub/target.csv")));
    EXPECT_FALSE(files::SameFile(Path("dangling.csv"), Path("target.csv")));
    EXPECT_EQ(files::WriteWhole(Path("dangling.csv"), "new"), "");
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.csv"));
    EXPECT_EQ(Read(Path("sub/target.csv")), "new");
    // A directory reached through a link to elsewhere is not this one.
    fs::create_directories(dir / "far/away");
    fs::create_directory_symlink("far/away", dir / "near");
    EXPECT_FALSE(files::SameFile(Path("near/../x.csv"), Path("x.csv")));
    EXPECT_TRUE(files::SameFile(Path("near/../x.csv"), Path("far/x.csv")));
}

TEST_F(Files, ALoopOfLinksIsRefusedAsTheShellDoesAndStaysALoop) {
    fs::create_symlink("loop2", dir / "loop1");
    fs::create_symlink("loop1", dir / "loop2");
    for (const char* name : {"loop1", "loop2"})
        EXPECT_EQ(files::WriteWhole(Path(name), "x"),
                  "cannot write " + Path(name) + ": Too many levels of symbolic links");
    EXPECT_TRUE(fs::is_symlink(dir / "loop1"));
    EXPECT_TRUE(fs::is_symlink(dir / "loop2"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"loop1", "loop2"}));
}
