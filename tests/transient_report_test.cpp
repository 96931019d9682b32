// convdiff-transient's report: frame numbers as a list a student reads (one
// frame singular, runs of frames as ranges), and what the report says of
// ends, sources, blow-ups, references and time methods, from the program.
#include <gtest/gtest.h>

#include "cli/transient_report.hpp"
#include "program_fixture.hpp"

TEST(TransientReportWords, FramesAreListedWithAndAndRanges) {
    EXPECT_EQ(cli::FramesWords({}), "");
    EXPECT_EQ(cli::FramesWords({2}), "frame 2");
    EXPECT_EQ(cli::FramesWords({2, 5}), "frames 2 and 5");
    EXPECT_EQ(cli::FramesWords({2, 5, 7}), "frames 2, 5 and 7");
    EXPECT_EQ(cli::FramesWords({2, 3}), "frames 2-3");
    EXPECT_EQ(cli::FramesWords({3, 4, 5, 6, 7, 10}), "frames 3-7 and 10");
    EXPECT_EQ(cli::FramesWords({0, 2, 3, 4, 9, 10}), "frames 0, 2-4 and 9-10");
}

TEST_F(TransientProgram, EndsSourcesAndThePeriodicDomainInTheReport) {
    ASSERT_EQ(Run("--N 20 --schemes upwind,vanleer --left robin:2:1 --right outflow --su 0.5 --sp -1 --t-end 30"), 0)
        << Read("err");
    std::string out = Read("out");
    EXPECT_NE(out.find("Problem: Robin wall at x = 0: H = 2, V = 1, dphi/dx(L) = 0 (outflow), Su = 0.5, Sp = -1,"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("+ Su + Sp phi"), std::string::npos);
    EXPECT_NE(out.find("TVD not established at this step"), std::string::npos) << out;
    ASSERT_EQ(Run("--periodic --N 50 --u 1 --gamma 0 --time lw --schemes upwind,superbee --dt 0.02 --t-end 1 "
                  "--initial square:0.1:0.3 --errors -"), 0) << Read("err");
    out = Read("out");
    const std::size_t last = out.rfind("upwind,50,1,");
    ASSERT_NE(last, std::string::npos) << out;
    EXPECT_EQ(out.substr(last, out.find('\n', last) - last).find("upwind,50,1,0,0,"), 0u) << out.substr(last, 80);
}

TEST_F(TransientProgram, TheBlowUpLimitIsFiniteAtAnyMagnitude) {
    const std::pair<std::string, std::string> cases[] = {
        {"--phiA 1e303 --time explicit --dt 1", "|phi| passed 1.124e307, a sixteenth of the largest double."},
        {"--initial uniform:1e308", "|phi| passed 1e308, the largest initial or boundary value."},
        {"--phiA 1e300 --time explicit --dt 1", "): |phi| passed 1e306."},
    };
    for (const auto& [args, line] : cases) {
        ASSERT_EQ(Run("--N 10 --schemes central " + args), 0) << Read("err");
        EXPECT_NE(Read("out").find(line), std::string::npos) << Read("out");
        EXPECT_EQ(Read("out").find("inf"), std::string::npos) << Read("out");
    }
}

TEST_F(TransientProgram, ASteadyReferenceThatCannotBeFormedLeavesOnlyItsDistancesOut) {
    ASSERT_EQ(Run("--gamma 1e-14 --N 10 --schemes central,upwind"), 0) << Read("err");
    const std::string report = Read("out");
    EXPECT_NE(report.find(" Its steady reference could not be formed (central at N = 10: "
                          "the system is singular"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find(" Still 0.4639 from its steady solution at t_end."), std::string::npos) << report;
    // central's table has no distance column; upwind's has.
    const std::size_t central = report.find("\ncentral:\n"), upwind = report.find("\nupwind:\n");
    ASSERT_NE(central, std::string::npos);
    ASSERT_NE(upwind, std::string::npos);
    EXPECT_EQ(report.substr(central, upwind - central).find("to steady"), std::string::npos) << report;
    EXPECT_NE(report.substr(upwind).find("to steady"), std::string::npos) << report;
}

TEST_F(TransientProgram, TheReportNamesTheTimeMethod) {
    ASSERT_EQ(Run("--time ssprk3 --schemes vanleer,upwind --gamma 0 --u 1 --phiA 0 --N 50 --dt 0.008 --t-end 0.2 "
                  "--frames 2 --initial pulse:0.3:0.05+square:0.5:0.7"),
              0)
        << Read("err");
    EXPECT_NE(Read("out").find("Time: SSP Runge-Kutta (3 stages), n = 26 steps of dt = "), std::string::npos)
        << Read("out");
    // The option as written, then in words: S is the pulse's standard deviation.
    EXPECT_NE(Read("out").find("Initial state: pulse:0.3:0.05+square:0.5:0.7 (a Gaussian pulse at x = 0.3 m with "
                               "standard deviation 0.05 m + a square from x = 0.5 m to 0.7 m)\n"),
              std::string::npos)
        << Read("out");
    EXPECT_NE(Read("out").find("l1 error"), std::string::npos);
    EXPECT_EQ(Run("--time lw --schemes quick"), 2);
    EXPECT_EQ(Read("err").rfind("convdiff-transient: --schemes 'quick': quick cannot be marched by flux-limited "
                                "Lax-Wendroff", 0),
              0u)
        << Read("err");
}

TEST_F(TransientProgram, AStepThatDoesNotConvergeStopsItsSchemeAndTheRunGoesOn) {
    ASSERT_EQ(Run("--time implicit --schemes all --u 1 --gamma 0 --phiA 0 --N 100 --dt 0.0125 --t-end 0.5 "
                  "--frames 5 --initial square:0.1:0.3 --history " + Path("h.csv") + " --outcome " + Path("o.csv")),
              0)
        << Read("err");
    const std::string report = Read("out");
    EXPECT_NE(report.find("  superbee: stopped at t = "), std::string::npos) << report;
    EXPECT_NE(report.find("Its rows end at frame "), std::string::npos) << report;
    // The others reach t_end.
    for (const char* row : {"\nupwind,0.5,100,", "\nminmod,0.5,100,", "\nvanleer,0.5,100,"})
        EXPECT_NE(Read("h.csv").find(row), std::string::npos) << row;
    EXPECT_EQ(Read("h.csv").find("\nsuperbee,0.5,"), std::string::npos);
    EXPECT_NE(Read("o.csv").find("\nsuperbee,false,,1,0,0,false,true\n"), std::string::npos) << Read("o.csv");
    // A large initial state: its size sets the iterations' tolerance.
    ASSERT_EQ(Run("--N 10 --schemes all --initial uniform:1e300"), 0) << Read("err");
    EXPECT_EQ(Read("out").find("stopped"), std::string::npos) << Read("out");
}
