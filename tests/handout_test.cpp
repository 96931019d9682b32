// The handout, one PDF to take home, from convdiff-study, convdiff-transient
// and the comparison window: A4 pages with something drawn on each, the
// inputs and the errors table as the programs print them, the parts asked
// for and no others, and a failed write that leaves the old file and says why.
#include <sys/wait.h>
#include <unistd.h>

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <filesystem>
#include <fstream>
#include <regex>

#include "compare/errors_model.hpp"
#include "compare/time_tab.hpp"
#include "compare_fixture.hpp"
#include "pdf_pages.hpp"

namespace fs = std::filesystem;

namespace {

class HandoutCli : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pdf::ToolsThere()) << pdf::kMissing;
        dir = fs::temp_directory_path() / ("handout-" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    // Runs `program` with `args` through the shell, `before` (limits, traps)
    // first; the report goes to "out", the errors to "err".
    int Run(const char* program, const std::string& args, const std::string& before = "") {
        const std::string command =
            before + " exec " + program + " " + args + " >" + Path("out") + " 2>" + Path("err");
        const int status = std::system(("sh -c '" + command + "'").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string Err() const { return Read(Path("err")); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path().filename() != "out" && entry.path().filename() != "err")
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    void ExpectA4AndDrawn(const std::string& path, int pages) {
        EXPECT_TRUE(pdf::A4(path)) << pdf::Info(path);
        EXPECT_EQ(pdf::Pages(path), pages);
        for (int page = 1; page <= pdf::Pages(path); ++page) EXPECT_TRUE(pdf::Drawn(path, page)) << "page " << page;
    }
    fs::path dir;
};

// The first row of a scheme's errors table in the report: its max error as
// printed there.
std::string ReportedMaxError(const std::string& report, const std::string& scheme) {
    std::smatch m;
    const std::regex row("\n" + scheme + "\n[^\n]*\n\\s*\\d+\\s+\\S+\\s+(\\S+)");
    return std::regex_search(report, m, row) ? m[1].str() : "(no row for " + scheme + ")";
}

const std::string kSmallDisk = "ulimit -f 8; trap \"\" XFSZ;";

}  // namespace

TEST_F(HandoutCli, StudyHandoutHoldsTheInputsTheErrorsTableAndTheDiagramsAskedFor) {
    ASSERT_EQ(Run(CONVDIFF_STUDY, "--u 2.5 --refine 2 --schemes linear,vanleer --handout " + Path("h.pdf")), 0)
        << Err();
    const std::string report = Read(Path("out")), text = pdf::Text(Path("h.pdf"));
    ExpectA4AndDrawn(Path("h.pdf"), 2);
    for (const char* words : {"u = 2.5 m/s", "N = 5", "L = 1 m", "phiA = 1, phiB = 0", "Pe = F / D",
                                     "Convergence under refinement, N = 5 to 20", "Sweby's diagram",
                                     "Order (N =", "10 to 20)", "central at N = 5: Pe = 5 > 2"})
        EXPECT_NE(text.find(words), std::string::npos) << words << " not in: " << text;
    for (const char* scheme : {"Central", "Upwind", "Hybrid", "QUICK", "Power law", "Exponential", "Van Leer"}) {
        const std::string error = ReportedMaxError(report, scheme);
        EXPECT_NE(text.find(std::string(scheme) + " " + error), std::string::npos) << scheme << " " << error;
    }

    // One grid and no limiter: one page, neither diagram.
    ASSERT_EQ(Run(CONVDIFF_STUDY, "--u 0.1 --N 8 --handout " + Path("one.pdf")), 0) << Err();
    ExpectA4AndDrawn(Path("one.pdf"), 1);
    const std::string one = pdf::Text(Path("one.pdf"));
    EXPECT_NE(one.find("u = 0.1 m/s, N = 8"), std::string::npos) << one;
    EXPECT_EQ(one.find("Convergence"), std::string::npos);
    EXPECT_EQ(one.find("Sweby"), std::string::npos);

    ASSERT_EQ(Run(CONVDIFF_STUDY, "--help"), 0);
    EXPECT_NE(Read(Path("out")).find("--handout FILE"), std::string::npos);
}

TEST_F(HandoutCli, TransientHandoutHoldsThreeFramesThePictureAndTheVerdicts) {
    const std::string args = "--u 1 --N 40 --gamma 0.01 --t-end 0.5 --dt 0.01 --schemes central,upwind,superbee";
    ASSERT_EQ(Run(CONVDIFF_TRANSIENT, args + " --handout " + Path("t.pdf")), 0) << Err();
    const std::string report = Read(Path("out")), text = pdf::Text(Path("t.pdf"));
    ExpectA4AndDrawn(Path("t.pdf"), 2);
    for (const char* words : {"u = 1 m/s, N = 40", "Γ = 0.01", "phi at t = 0 s", "phi at t = 0.25 s",
                                     "phi at t = 0.5 s", "Courant number c = 0.4", "Space-time picture"})
        EXPECT_NE(text.find(words), std::string::npos) << words << " not in: " << text;
    // Each scheme's stability verdict, in the report's words.
    for (const char* scheme : {"central", "upwind", "superbee"}) {
        std::smatch m;
        ASSERT_TRUE(std::regex_search(report, m, std::regex(std::string("\n  ") + scheme + ": ([^\n]*)")));
        const std::string verdict = m[1].str();
        EXPECT_NE(text.find(verdict.substr(0, 60)), std::string::npos) << verdict;
    }
    ASSERT_EQ(Run(CONVDIFF_TRANSIENT, "--help"), 0);
    EXPECT_NE(Read(Path("out")).find("--handout FILE"), std::string::npos);
}

TEST_F(HandoutCli, BadNamesAreRefusedAndAFailedWriteKeepsTheOldFile) {
    for (const char* program : {CONVDIFF_STUDY, CONVDIFF_TRANSIENT}) {
        const std::string name = fs::path(program).filename().string();
        EXPECT_EQ(Run(program, "--handout " + Path("h.png")), 2) << name;
        EXPECT_EQ(Err(), name + ": --handout '" + Path("h.png") + "': the file name must end in .pdf\n");
        EXPECT_EQ(Run(program, "--handout="), 2) << name;
        EXPECT_EQ(Err(), name + ": --handout '': needs a file name\n");

        std::ofstream(Path("old.pdf")) << "the old handout";
        EXPECT_EQ(Run(program, "--handout " + Path("old.pdf"), kSmallDisk), 1) << name;
        EXPECT_EQ(Err(), name + ": cannot write " + Path("old.pdf") + ": File too large\n");
        EXPECT_EQ(Read(Path("old.pdf")), "the old handout");
        EXPECT_EQ(Names(), std::vector<std::string>{"old.pdf"});

        // A device is written to, not replaced, and its failure said.
        fs::create_symlink("/dev/full", dir / "full.pdf");
        EXPECT_EQ(Run(program, "--handout " + Path("full.pdf")), 1) << name;
        EXPECT_EQ(Err(), name + ": cannot write " + Path("full.pdf") + ": No space left on device\n");
        EXPECT_TRUE(fs::is_symlink(dir / "full.pdf"));
        fs::remove(dir / "full.pdf");
    }
}

TEST_F(CompareTest, HandoutHoldsTheStudyOnShowItsConvergenceSwebyAndTheTimeRun) {
    ASSERT_TRUE(pdf::ToolsThere()) << pdf::kMissing;
    EXPECT_NE(window_->findChild<QAction*>("exportHandout"), nullptr);
    Type("u", "2.5");
    Get<QCheckBox>("show_vanleer")->setChecked(true);
    window_->UpdateNow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window_->ConvergenceRunning() && window_->Convergence(); }, 60000));
    const std::string path = File("h.pdf").toStdString();
    ASSERT_EQ(window_->ExportHandout(File("h.pdf")), "");
    const std::string text = pdf::Text(path);
    EXPECT_TRUE(pdf::A4(path)) << pdf::Info(path);
    EXPECT_EQ(pdf::Pages(path), 2);
    for (int page = 1; page <= pdf::Pages(path); ++page) EXPECT_TRUE(pdf::Drawn(path, page)) << page;
    EXPECT_NE(text.find("u = 2.5 m/s, N = 5"), std::string::npos) << text;
    EXPECT_NE(text.find("Sweby's diagram"), std::string::npos);
    EXPECT_NE(text.find("Convergence under refinement"), std::string::npos);
    EXPECT_NE(text.find("Order (finest"), std::string::npos);  // the window's own table
    for (int row = 0; row < Rows(); ++row) {
        const std::string cells = (Cell(row, compare::ErrorsModel::kScheme) + " " +
                                   Cell(row, compare::ErrorsModel::kMaxError)).toStdString();
        EXPECT_NE(text.find(cells), std::string::npos) << cells;
    }
    EXPECT_EQ(text.find("time-dependent run"), std::string::npos);

    // Once the Time tab's run has ended, it joins the handout.
    window_->Tabs()->setCurrentWidget(window_->Time());
    for (const auto& [name, value] : {std::pair{"dt", "0.02"}, {"tEnd", "0.4"}}) Get<QLineEdit>(name)->setText(value);
    window_->UpdateNow();
    window_->Time()->UpdateNow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window_->Time()->Finished(); }, 60000));
    ASSERT_EQ(window_->ExportHandout(File("h.pdf")), "");
    const std::string timed = pdf::Text(path);
    EXPECT_GT(pdf::Pages(path), 2);
    for (int page = 1; page <= pdf::Pages(path); ++page) EXPECT_TRUE(pdf::Drawn(path, page)) << page;
    for (const char* words : {"The time-dependent run", "φ at t = 0 s", "φ at t = 0.2 s", "φ at t = 0.4 s",
                                     "Stability verdicts", "Space-time picture"})
        EXPECT_NE(timed.find(words), std::string::npos) << words << " not in: " << timed;

    // A failure names the file and the system's reason; nothing is left.
    ASSERT_TRUE(QFile::link("/dev/full", File("full.pdf")));
    EXPECT_EQ(window_->ExportHandout(File("full.pdf")), File("full.pdf") + ": No space left on device");
    EXPECT_EQ(window_->ExportHandout(File("none/h.pdf")), File("none/h.pdf") + ": No such file or directory");
    EXPECT_FALSE(QFile::exists(File("none")));
}
