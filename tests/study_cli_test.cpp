// convdiff-study's command line: strict numbers, every usage error with the
// option and value named, and the exit codes of the whole program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>

#include "usage_message.hpp"
#include "cli/options.hpp"
#include "cli/report.hpp"
#include "program_fixture.hpp"
#include "study/limiter_pieces.hpp"
#include "study/numbers.hpp"

using study::ReadStrictNumber;

TEST(StrictNumber, WholeTextOneFiniteNumber) {
    EXPECT_EQ(ReadStrictNumber("2.5"), 2.5);
    EXPECT_EQ(ReadStrictNumber("1e-3"), 1e-3);
    EXPECT_EQ(ReadStrictNumber("-4"), -4.0);
    EXPECT_EQ(ReadStrictNumber("+4"), 4.0);
    EXPECT_EQ(ReadStrictNumber(".5"), 0.5);
    EXPECT_EQ(ReadStrictNumber(""), std::nullopt);
    EXPECT_EQ(ReadStrictNumber("abc"), std::nullopt);
    EXPECT_EQ(ReadStrictNumber("1,5"), std::nullopt);
    EXPECT_EQ(ReadStrictNumber("1.5x"), std::nullopt);
    EXPECT_EQ(ReadStrictNumber(" 1"), std::nullopt);
    EXPECT_EQ(ReadStrictNumber("1e999"), std::nullopt);
    EXPECT_EQ(ReadStrictNumber("inf"), std::nullopt);
    EXPECT_EQ(ReadStrictNumber("nan"), std::nullopt);
    EXPECT_EQ(ReadStrictNumber("+-1"), std::nullopt);
    EXPECT_EQ(ReadStrictNumber("0x10"), std::nullopt);
    EXPECT_EQ(ReadStrictNumber("1e-400"), std::nullopt);
    EXPECT_EQ(ReadStrictNumber("1e-310"), 1e-310);
    EXPECT_EQ(ReadStrictNumber("0e-400"), 0.0);
}

TEST(StrictNumber, SaysWhyATextIsRefused) {
    EXPECT_EQ(study::NumberProblem("2.5"), "");
    EXPECT_EQ(study::NumberProblem("-0"), "");
    for (const char* big : {"1e309", "-1e309", "+1e309", "1e99999999999999999999", "12345678901234567890e300"})
        EXPECT_EQ(study::NumberProblem(big).rfind("out of range: larger than the largest double", 0), 0u) << big;
    for (const char* tiny : {"1e-400", "-1e-400", "0.000001e-320", "1e-99999999999999999999", "2e-324"})
        EXPECT_EQ(study::NumberProblem(tiny).rfind("out of range: too small to represent", 0), 0u) << tiny;
    for (const char* bad : {"", "abc", "1,5", "inf", "nan", "1e", "0x10", "1e309x"})
        EXPECT_EQ(study::NumberProblem(bad).rfind("not a number", 0), 0u) << bad;
}

namespace {

std::string UsageMessage(const std::vector<std::string>& args) { return UsageMessageOf(cli::Parse, args); }

}  // namespace

TEST(Options, EveryBadOptionOrValueNamesBoth) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--u", "abc"}, "--u 'abc': not a number"},
        {{"--phiA=1,5"}, "--phiA '1,5': not a number"},
        {{"--gamma", ""}, "--gamma '': not a number"},
        {{"--rho", "1e999"}, "--rho '1e999': out of range: larger than the largest double"},
        {{"--u", "1e-400"}, "--u '1e-400': out of range: too small to represent"},
        {{"--N", "1e400"}, "--N '1e400': out of range"},
        {{"--N", "0"}, "--N '0': must be a whole number from 1 to 10000000"},
        {{"--N", "2.5"}, "--N '2.5': must be a whole number"},
        {{"--N", "10000001"}, "--N '10000001': must be a whole number"},
        {{"--refine", "21"}, "--refine '21': must be a whole number from 0 to 20"},
        {{"--refine", "-1"}, "--refine '-1'"},
        {{"--N", "10", "--refine", "20"}, "--refine '20': the finest grid would have 10485760 control volumes"},
        {{"--L", "0"}, "--L '0': the domain's length must be above 0"},
        {{"--L", "-1"}, "--L '-1': the domain's length must be above 0"},
        {{"--rho", "0"}, "--rho '0': the density must be above 0"},
        {{"--gamma", "-0.1"}, "--gamma '-0.1': the diffusion coefficient cannot be negative"},
        // The ends and the source.
        {{"--sp", "0.5"}, "--sp '0.5': Sp must be 0 or below"},
        {{"--phiA", "1", "--left", "value:2"}, "--left 'value:2': give either --phiA or --left, not both"},
        {{"--right", "robin:0:1"}, "--right 'robin:0:1': H must be above 0"},
        {{"--right", "robin:1"}, "--right 'robin:1': 'robin' takes two numbers, robin:H:V"},
        {{"--left", "gradient:x"}, "--left 'gradient:x': the gradient 'x'"},
        {{"--left", "outflow:1"}, "--left 'outflow:1': 'outflow' takes no number"},
        {{"--left", "fixed:1"}, "--left 'fixed:1': unknown kind of end 'fixed'"},
        {{"--left", "outflow", "--right", "gradient:1"},
         "--right 'gradient:1': no end fixes phi and Sp = 0: with a gradient at both ends phi plus any constant"},
        {{"--left", "gradient:1", "--u", "1000", "--gamma", "0.1"},
         "--left 'gradient:1': the exact solution grows beyond the range of a double"},
        {{"--periodic"}, "unknown option '--periodic'"},
        {{"--gamma", "-0"}, "--gamma '-0': with no diffusion"},
        {{"--schemes", "central,foo"}, "--schemes 'central,foo': unknown scheme 'foo'"},
        {{"--schemes", "central,"}, "--schemes 'central,': an empty name"},
        {{"--schemes", "quick", "--N", "2"}, "--N '2': the QUICK scheme needs N of at least 3"},
        {{"--plot", "a.jpg"}, "--plot 'a.jpg': the file name must end in .png or .svg"},
        {{"--convergence-plot", "c.png"}, "--convergence-plot 'c.png': needs --refine 1 or more"},
        {{"--nodes="}, "--nodes '': needs a file name"},
        {{"--speed", "3"}, "unknown option '--speed'"},
        {{"--u"}, "option --u needs a value"},
        {{"u=3"}, "unexpected argument 'u=3'"},
        {{"--u", "1", "--u=2"}, "option --u is given twice"},
        {{"--nodes", "a.csv", "--nodes", "b.csv"}, "option --nodes is given twice"},
        // Unknown however often, and whether or not a value follows.
        {{"--speed", "3", "--speed", "4"}, "unknown option '--speed'"},
        {{"--speed"}, "unknown option '--speed'"},
    };
    for (const auto& [args, message] : cases) EXPECT_EQ(UsageMessage(args).rfind(message, 0), 0u) << UsageMessage(args);
}

TEST(Options, BothFormsAndSchemeNames) {
    const cli::Options o = cli::Parse({"--u=2.5", "--N", "8", "--schemes", "hibrid,central,hybrid", "--refine=2"});
    EXPECT_EQ(o.problem.u, 2.5);
    EXPECT_EQ(o.plan.N, 8);
    EXPECT_EQ(o.plan.refine, 2);
    EXPECT_EQ(o.plan.schemes, (std::vector<study::Scheme>{study::Scheme::Hybrid, study::Scheme::Central}));
    // All schemes on two control volumes: QUICK is left out, with a note.
    const cli::Options few = cli::Parse({"--N", "2"});
    EXPECT_EQ(few.plan.schemes.size(), 5u);
    EXPECT_EQ(few.notes.size(), 1u);
}

TEST(Report, SaysWhatTheFlagsMean) {
    study::Problem p;
    p.u = 2.5;
    study::Plan plan;
    plan.schemes = {study::Scheme::Central, study::Scheme::Upwind};
    plan.refine = 3;
    const study::Study st = study::Run(p, plan);
    const std::string report = cli::Report(st, {});
    EXPECT_NE(report.find("central at N = 5: Pe = 5 > 2, aE < 0: the solution oscillates"), std::string::npos)
        << report;
    EXPECT_EQ(report.find("upwind at"), std::string::npos) << "upwind is bounded with positive coefficients";
    EXPECT_NE(report.find("    1          0.1     1.000000     1.035630     0.999843"), std::string::npos) << report;
}

TEST(Report, CountsEachFlagOnlyWhereItHolds) {
    study::Problem p;
    p.u = 2.5;
    study::Plan plan;
    plan.schemes = {study::Scheme::Central, study::Scheme::Quick, study::Scheme::Upwind};
    plan.refine = 6;
    const std::string report = cli::Report(study::Run(p, plan), {});
    // QUICK's far upstream coefficient is negative on every grid, but its
    // solution oscillates on the first only; central's flags go at N = 20.
    EXPECT_NE(report.find("outside [0, 1]) (negative coefficients on all 7 grids; oscillates only at N = 5)\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("below 2 (negative coefficients at N = 5 and 10; oscillates at N = 5 and 10)\n"),
              std::string::npos)
        << report;
    EXPECT_EQ(report.find("finer grid"), std::string::npos) << report;
    plan.refine = 1;
    const std::string two = cli::Report(study::Run(p, plan), {});
    EXPECT_NE(two.find("(negative coefficients on both grids;"), std::string::npos) << two;
    EXPECT_EQ(report.find("upwind at"), std::string::npos) << report;
}

TEST(Report, TellsRoundingFromAGridStillTooCoarse) {
    study::Problem p;
    p.u = 2.5;
    study::Plan plan;
    plan.schemes = {study::Scheme::Hybrid, study::Scheme::Exponential};
    plan.refine = 2;
    const std::string report = cli::Report(study::Run(p, plan), {});
    // Hybrid turns from upwind to central between N = 10 and 20: its error
    // rises there, and the report says why; the exponential scheme's error
    // is rounding only.
    EXPECT_NE(report.find("1.25   1.6026e-01  -0.02   3.9239e-02   0.36  <- hybrid switches here: upwind for |Pe| "
                          ">= 2, central below\n"),
              std::string::npos)
        << report;
    EXPECT_EQ(report.find("does not fall yet"), std::string::npos) << report;
    EXPECT_NE(report.find("<- stops falling: rounding error has taken over"), std::string::npos) << report;
}

// SUPERBEE's error rises from N = 10 to 20 at u = 2.5: the exponential
// profile puts every face at one r, 0.18 then 0.32, on the psi = 2r piece,
// and only from N = 40 (r = 0.52) on the psi = 1 piece it keeps. The report
// puts the rise down to the limiter, not to a coarse grid; a face on the
// flat stretch, whose r is rounding, counts on no piece.
TEST(Report, PutsALimitedSchemesRiseDownToItsBranch) {
    study::Problem p;
    p.u = 2.5;
    study::Plan plan;
    plan.schemes = {study::Scheme::Superbee, study::Scheme::VanLeer};
    plan.refine = 3;
    const study::Study st = study::Run(p, plan);
    const std::string report = cli::Report(st, {});
    EXPECT_NE(report.find("  <- the limiter is not yet on the branch it keeps: psi = 2r at 7 faces here, psi = 1 "
                          "at 11 faces at N = 40\n"),
              std::string::npos)
        << report;
    EXPECT_EQ(report.find("does not fall yet"), std::string::npos) << report;
    const std::vector<long>& ten = st.results[0][1].pieces;  // N = 10, r = 0.18 at every face
    ASSERT_EQ(ten.size(), 5u);
    EXPECT_GT(ten[1], 0);
    EXPECT_EQ(ten[0] + ten[2] + ten[3] + ten[4], 0);
    EXPECT_TRUE(st.results[1][0].pieces.empty());  // Van Leer: one smooth curve
    for (const auto& [r, piece] : {std::pair{-1.0, 0}, {0.0, 0}, {0.3, 1}, {0.5, 2}, {1.5, 3}, {1e50, 4}})
        EXPECT_EQ(study::PieceOf(study::Limiter::Superbee, r), piece) << r;
    EXPECT_EQ(study::PiecesText(study::Limiter::Superbee, {0, 1, 3, 0, 0}), "psi = 2r at 1 face, psi = 1 at 3");
}

// The program itself: exit codes, and files written whole or not at all.
class Program : public ProgramTest {
protected:
    Program() : ProgramTest(CONVDIFF_STUDY, "study-cli") {}
};

TEST_F(Program, UsageErrorWritesNothingAndExitsTwo) {
    EXPECT_EQ(Run("--errors " + (dir / "e.csv").string() + " --u abc"), 2);
    EXPECT_EQ(Read("err"),
              "convdiff-study: --u 'abc': not a number (write it like 2.5 or 1e-3, with \".\" as the "
              "decimal point)\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "e.csv"));
}

TEST_F(Program, UnwritableFileExitsOneNamingIt) {
    EXPECT_EQ(Run("--errors " + (dir / "missing" / "e.csv").string()), 1);
    EXPECT_NE(Read("err").find("cannot write " + (dir / "missing" / "e.csv").string() + ": "), std::string::npos);
}

TEST_F(Program, WritesTheTablesAndBothCharts) {
    EXPECT_EQ(Run("--u 2.5 --refine 2 --nodes " + (dir / "n.csv").string() + " --errors " + (dir / "e.csv").string() +
                  " --plot " + (dir / "s.svg").string() + " --convergence-plot " + (dir / "c.png").string()),
              0)
        << Read("err");
    const std::string nodes = Read("n.csv"), errors = Read("e.csv");
    EXPECT_EQ(std::count(nodes.begin(), nodes.end(), '\n'), 1 + 6 * (5 + 10 + 20));
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1 + 6 * 3);
    EXPECT_NE(Read("s.svg").find("Solutions at N = 5"), std::string::npos);
    EXPECT_EQ(Read("c.png").substr(1, 3), "PNG");
    EXPECT_EQ(Read("err"), "");
}

TEST(Options, SchemeGroupsAndTheBoundedSchemesNames) {
    EXPECT_EQ(cli::Parse({}).plan.schemes,
              std::vector<study::Scheme>(study::kLinearSchemes.begin(), study::kLinearSchemes.end()));
    EXPECT_EQ(cli::Parse({"--schemes", "tvd"}).plan.schemes,
              std::vector<study::Scheme>(study::kTvdSchemes.begin(), study::kTvdSchemes.end()));
    EXPECT_EQ(cli::Parse({"--schemes", "all"}).plan.schemes.size(), 15u);
    EXPECT_EQ(cli::Parse({"--schemes", "vanleer,linear,quicklimited,upwind"}).plan.schemes,
              (std::vector<study::Scheme>{study::Scheme::VanLeer, study::Scheme::Central, study::Scheme::Upwind,
                                          study::Scheme::Hybrid, study::Scheme::Quick, study::Scheme::PowerLaw,
                                          study::Scheme::Exponential, study::Scheme::QuickLimited}));
    for (study::Scheme s : study::kAllSchemes)
        EXPECT_EQ(cli::Parse({"--schemes", std::string(study::Name(s))}).plan.schemes, std::vector<study::Scheme>{s});
    // QUICK on too few nodes: left out of a group, refused by name.
    EXPECT_EQ(cli::Parse({"--schemes", "all", "--N", "2"}).plan.schemes.size(), 14u);
    EXPECT_EQ(cli::Parse({"--schemes", "tvd", "--N", "1"}).plan.schemes.size(), 9u);
    EXPECT_THROW(cli::Parse({"--schemes", "all,quick", "--N", "2"}), cli::UsageError);
    EXPECT_EQ(cli::Parse({"--max-iterations", "7"}).plan.maxIterations, 7);
    EXPECT_EQ(cli::Parse({}).plan.maxIterations, 500);
    for (const auto& [args, message] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--schemes", "tvd,vanlear"}, "--schemes 'tvd,vanlear': unknown scheme 'vanlear'"},
             {{"--max-iterations", "0"}, "--max-iterations '0': must be a whole number from 1 to 100000"},
             {{"--limiter-plot", "d.pdf"}, "--limiter-plot 'd.pdf': the file name must end in .png or .svg"},
             {{"--limiter-plot="}, "--limiter-plot '': needs a file name"}}) {
        try {
            cli::Parse(args);
            ADD_FAILURE() << message;
        } catch (const cli::UsageError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(message, 0), 0u) << e.what();
        }
    }
}

TEST(Report, FifteenSchemesInNodeBlocksOfAtMost120ColumnsWithIterations) {
    study::Plan plan;
    plan.schemes.assign(study::kAllSchemes.begin(), study::kAllSchemes.end());
    plan.N = 6;
    plan.refine = 1;
    study::Problem p;
    p.u = 1.5;
    const std::string report = cli::Report(study::Run(p, plan), {});
    const std::size_t from = report.find("Nodal values"), to = report.find("Errors against");
    std::istringstream lines(report.substr(from, to - from));
    int headers = 0;
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), 120u) << line;
        if (line.rfind(" node ", 0) == 0) {
            ++headers;
            EXPECT_NE(line.find("exact"), std::string::npos);
        }
    }
    EXPECT_EQ(headers, 3) << report;
    EXPECT_NE(report.find("MC (monotonised central)"), std::string::npos);
    EXPECT_NE(report.find("order iterations\n"), std::string::npos) << report;
    EXPECT_EQ(report.find("minmod at"), std::string::npos) << "the bounded schemes give no warning\n" << report;
    // Six schemes, one table as before.
    plan.schemes.assign(study::kLinearSchemes.begin(), study::kLinearSchemes.end());
    const std::string linear = cli::Report(study::Run(p, plan), {});
    EXPECT_NE(linear.find(" node            x        exact      Central       Upwind       Hybrid        QUICK    Power "
                          "law  Exponential\n"),
              std::string::npos)
        << linear;
    EXPECT_EQ(linear.find("iterations"), std::string::npos);
}

TEST_F(Program, BoundedSchemesWithTheirDiagramAndANonConvergedSolveFailing) {
    EXPECT_EQ(Run("--schemes tvd --u 2.5 --errors " + (dir / "e.csv").string() + " --limiter-plot " +
                  (dir / "l.svg").string()),
              0)
        << Read("err");
    const std::string svg = Read("l.svg");
    for (const char* text : {"Sweby", "Van Albada", "second-order TVD region", "TVD bounds", "second-order upwind"})
        EXPECT_NE(svg.find(text), std::string::npos) << text;
    EXPECT_NE(Read("e.csv").find("\nsuperbee,5,5,"), std::string::npos);
    EXPECT_EQ(Run("--schemes central,superbee --N 40 --u 10 --max-iterations 1"), 1);
    EXPECT_EQ(Read("err").rfind("convdiff-study: the calculation failed: superbee at N = 40 did not converge in 1 "
                                "iteration (residual ",
                                0),
              0u)
        << Read("err");
}

TEST_F(Program, RunningOutOfMemoryIsSaidAndLeavesNoTemporary) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer's shadow memory needs more address space than the limit leaves";
#endif
    const std::string command = "sh -c 'ulimit -v 1500000; exec " + std::string(CONVDIFF_STUDY) +
                                " --N 10000000 --schemes all --nodes " + (dir / "n.csv").string() + "' >" +
                                (dir / "out").string() + " 2>" + (dir / "err").string();
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(Read("err"), "convdiff-study: cannot allocate memory for the study at N = 10000000\n");
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        EXPECT_TRUE(entry.path().filename() == "out" || entry.path().filename() == "err") << "left: " << entry.path();
}

TEST(SchemeList, EachSchemeOnceInTheOrderFirstMetOrTheWrongNameSaid) {
    using study::Scheme;
    const std::vector<Scheme> list = study::SchemesNamed("quick,hibrid,linear,superbee,tvd");
    ASSERT_EQ(list.size(), 15u);
    EXPECT_EQ(list[0], Scheme::Quick);
    EXPECT_EQ(list[1], Scheme::Hybrid);
    EXPECT_EQ(list[2], Scheme::Central);
    EXPECT_EQ(list[6], Scheme::Superbee);
    EXPECT_EQ(list[7], Scheme::MinMod);
    EXPECT_EQ(study::SchemesNamed("all").size(), 15u);
    // In any case, as people write them; a wrong name is quoted as written.
    EXPECT_EQ(study::SchemesNamed("Superbee,QUICK,VanLeer,Hibrid"),
              (std::vector<Scheme>{Scheme::Superbee, Scheme::Quick, Scheme::VanLeer, Scheme::Hybrid}));
    EXPECT_EQ(study::SchemesNamed("LINEAR,Tvd"), study::SchemesNamed("all"));
    for (const auto& [text, message] : {std::pair{"upwind,,central", "an empty name"}, {"", "an empty name"},
                                        {"upwind,Centrall", "unknown scheme 'Centrall'"}}) {
        try {
            study::SchemesNamed(text);
            ADD_FAILURE() << text;
        } catch (const study::SchemeListError& e) {
            EXPECT_EQ(std::string(e.what()), message) << text;
        }
    }
}
