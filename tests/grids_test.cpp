// Grids of unequal cells: the layouts, every scheme's order on a stretched
// family, the boundary layer a stretched grid resolves, the balance of the
// face fluxes, time runs that settle on the stretched rows' steady state,
// equal cells given any way being the uniform grid to the byte, and the
// grid option's refusals.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

#include "cli/options.hpp"
#include "cli/report.hpp"
#include "study/fluxes.hpp"
#include "study/study.hpp"
#include "transient/run.hpp"
#include "usage_message.hpp"

using study::GridKind;
using study::Scheme;

namespace {

study::Problem Stretched(GridKind kind, double ratio, long baseN, double u = 1, double gamma = 0.02) {
    study::Problem p;
    p.u = u, p.gamma = gamma;
    p.grid.kind = kind, p.grid.ratio = ratio, p.grid.baseN = baseN;
    return p;
}

std::string UsageMessage(const std::vector<std::string>& args) { return UsageMessageOf(cli::Parse, args); }

std::string FacesFile(const std::string& name, const std::string& text) {
    const std::string path = (std::filesystem::temp_directory_path() / (name + std::to_string(::getpid()))).string();
    std::ofstream(path) << text;
    return path;
}

}  // namespace

TEST(Grids, TheLayoutsAndTheirFamilies) {
    const study::Grid g = study::MakeGrid(Stretched(GridKind::Geometric, 0.8, 10), 10);
    ASSERT_FALSE(g.Uniform());
    for (long i = 2; i <= 10; ++i) EXPECT_NEAR(g.Width(i) / g.Width(i - 1), 0.8, 1e-14);
    EXPECT_EQ(g.Face(10), 1.0);
    // Refined: every cell in two, the halves growing by the square root.
    const study::Grid fine = study::MakeGrid(Stretched(GridKind::Geometric, 0.8, 10), 20);
    for (long i = 2; i <= 20; ++i) EXPECT_NEAR(fine.Width(i) / fine.Width(i - 1), std::sqrt(0.8), 1e-14);
    for (long k = 0; k <= 10; ++k) EXPECT_NEAR(fine.Face(2 * k), g.Face(k), 1e-15);
    const study::Grid two = study::MakeGrid(Stretched(GridKind::TwoSided, 1.2, 9), 9);
    for (long i = 1; i <= 9; ++i) EXPECT_NEAR(two.Width(i), two.Width(10 - i), 1e-15);
    EXPECT_NEAR(two.Width(5) / two.Width(4), 1.2, 1e-14);
    // Equal cells, however given, are the uniform grid.
    EXPECT_TRUE(study::MakeGrid(Stretched(GridKind::Geometric, 1, 10), 10).Uniform());
    study::Problem faces = Stretched(GridKind::Faces, 1, 4);
    faces.grid.faces = {0, 0.25, 0.5, 0.75, 1};
    EXPECT_TRUE(study::MakeGrid(faces, 8).Uniform());
    faces.grid.faces = {0, 0.1, 0.5, 1};
    const study::Grid split = study::MakeGrid(faces, 6);
    EXPECT_DOUBLE_EQ(split.Face(1), 0.05);
    EXPECT_DOUBLE_EQ(split.Face(3), 0.3);
    EXPECT_EQ(*study::GridFault(faces.grid, 1, 9), "the faces file has 3 cells: N must be that times a power of two");
    EXPECT_NE(study::GridFault(Stretched(GridKind::Geometric, 1e-3, 20).grid, 1, 20)->find("below 1e-12 L"),
              std::string::npos);
}

TEST(Grids, EverySchemeKeepsItsOrderOnAStretchedFamily) {
    struct Case {
        Scheme scheme;
        double least, most;
    };
    const Case cases[] = {{Scheme::Central, 1.9, 2.1},     {Scheme::Upwind, 0.9, 1.1},  {Scheme::Hybrid, 1.9, 2.1},
                          {Scheme::Quick, 1.8, 3.1},       {Scheme::PowerLaw, 0.9, 2.1}, {Scheme::Exponential, 0.9, 2.1},
                          {Scheme::VanLeer, 1.8, 2.3},     {Scheme::MinMod, 1.8, 2.3},  {Scheme::Superbee, 1.8, 2.3},
                          {Scheme::QuickLimited, 1.8, 2.3}, {Scheme::Koren, 1.8, 2.3}};
    // Geometric cells packed where flow to the right has its layer;
    // two-sided ones for both directions.
    for (const auto& [kind, ratio, u] : {std::tuple{GridKind::Geometric, 0.8, 1.0}, {GridKind::TwoSided, 1.15, 1.0},
                                         {GridKind::TwoSided, 1.15, -1.0}}) {
            study::Problem p = Stretched(kind, ratio, 20, u, 0.1);
            p.su = 2;  // a source, so that no scheme is exact (with 1 and u = -1, 1 - x is)
            study::Plan plan;
            plan.N = 20;
            plan.refine = 5;
            plan.schemes.clear();
            for (const Case& c : cases) plan.schemes.push_back(c.scheme);
            const study::Study st = study::Run(p, plan);
            for (std::size_t s = 0; s < plan.schemes.size(); ++s) {
                const double order = *st.results[s].back().orderRms;
                const std::string what = std::string(study::Name(cases[s].scheme)) + " ratio " +
                                         std::to_string(ratio) + " u " + std::to_string(u);
                EXPECT_GE(order, cases[s].least) << what;
                EXPECT_LE(order, cases[s].most) << what;
            }
    }
}

TEST(Grids, TwentyStretchedCellsResolveTheBoundaryLayerBetter) {
    // Pe = 50: the layer is 1/50 of the domain, at x = L.
    const study::Problem uniform = Stretched(GridKind::Uniform, 1, 20), packed = Stretched(GridKind::Geometric, 0.8, 20);
    for (Scheme s : {Scheme::Central, Scheme::Upwind, Scheme::VanLeer, Scheme::Quick, Scheme::Superbee}) {
        const double a = study::Solve(uniform, s, 20, study::ExactAtNodes(uniform, study::MakeGrid(uniform, 20))).maxError;
        const double b = study::Solve(packed, s, 20, study::ExactAtNodes(packed, study::MakeGrid(packed, 20))).maxError;
        EXPECT_LT(b, 0.3 * a) << study::Name(s) << ": " << b << " against " << a;
    }
}

TEST(Grids, FaceFluxesBalanceOnUnequalCells) {
    for (Scheme s : study::kAllSchemes)
        for (double u : {2.0, -2.0}) {
            study::Problem p = Stretched(GridKind::TwoSided, 1.3, 11, u, 0.1);
            p.left = study::End::Robin(2, 1), p.right = study::End::Outflow(), p.su = 1, p.sp = -0.5;
            const study::Result r = study::Solve(p, s, 11, study::ExactAtNodes(p, study::MakeGrid(p, 11)));
            const auto faces = study::FaceFluxes(p, s, r.grid, r.phi);
            const study::FluxBalance b = study::BalanceOf(p, r.grid, faces, r.phi);
            EXPECT_LE(std::fabs(b.leftover), 1e-12 * (std::fabs(b.in) + std::fabs(b.out) + 1))
                << study::Name(s) << " u = " << u;
            EXPECT_DOUBLE_EQ(faces[3].x, r.grid.Face(3));
        }
}

TEST(Grids, ATimeRunSettlesOnTheStretchedRowsSteadyState) {
    transient::Plan plan;
    plan.N = 16;
    plan.problem = Stretched(GridKind::Geometric, 0.85, 16, 1, 0.05);
    plan.schemes = {Scheme::Upwind, Scheme::Central, Scheme::VanLeer, Scheme::Quick};
    plan.dt = 0.5, plan.tEnd = 60, plan.frames = 4;
    const transient::Outcome out = transient::Run(plan).Go();
    ASSERT_TRUE(out.hasSteady);
    for (const transient::SchemeOutcome& s : out.schemes)
        EXPECT_LT(s.finalDistance, 1e-9) << study::Name(s.scheme);
}

TEST(Grids, EqualCellsGivenAnyWayAreTheUniformGridToTheByte) {
    auto report = [](std::vector<std::string> args) {
        const cli::Options o = cli::Parse(args);
        return cli::Report(study::Run(o.problem, o.plan), o.notes);
    };
    std::string equal;
    for (int i = 0; i <= 20; ++i) equal += std::to_string(i / 20.0 + 0.0).substr(0, 5) + "\n";
    const std::string file = FacesFile("equal", equal);
    const std::vector<std::string> common{"--schemes", "all", "--refine", "2", "--u", "2.5"};
    auto with = [&](std::vector<std::string> more) {
        more.insert(more.end(), common.begin(), common.end());
        return report(more);
    };
    const std::string plain = with({"--N", "20"});
    EXPECT_EQ(with({"--N", "20", "--grid", "uniform"}), plain);
    EXPECT_EQ(with({"--grid", "faces:" + file}), plain);
    EXPECT_EQ(with({"--N", "20", "--grid", "geometric:1"}), plain);
    std::filesystem::remove(file);
}

TEST(Grids, TheGridOptionSaysWhatIsWrong) {
    const std::string notNumber = FacesFile("a", "0\n0.5x\n1\n"), notZero = FacesFile("b", "0.1\n1\n"),
                      notUp = FacesFile("c", "0\n0.5\n0.5\n1\n"), notL = FacesFile("d", "0\n0.5\n0.9\n");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--grid", "geometric"}, "--grid 'geometric': 'geometric' takes one number, geometric:R"},
        {{"--grid", "geometric:0"}, "--grid 'geometric:0': the ratio R must be above 0"},
        {{"--grid", "spiral:2"}, "--grid 'spiral:2': choose uniform, geometric:R, twosided:R or faces:FILE"},
        {{"--grid", "geometric:0.01", "--N", "20"}, "--grid 'geometric:0.01': its narrowest cell at N = 20 would be"},
        {{"--grid", "faces:/no/such/file"}, "--grid 'faces:/no/such/file': cannot read /no/such/file: No such file"},
        {{"--grid", "faces:" + notNumber}, "--grid 'faces:" + notNumber + "': " + notNumber + " line 2: '0.5x':"},
        {{"--grid", "faces:" + notZero}, "--grid 'faces:" + notZero + "': " + notZero + " line 1: the first face must be 0"},
        {{"--grid", "faces:" + notUp}, "--grid 'faces:" + notUp + "': " + notUp + " line 3: 0.5 is not above the face"},
        {{"--grid", "faces:" + notL}, "--grid 'faces:" + notL + "': " + notL + " line 3: the last face must be L = 1"},
        {{"--grid", "faces:" + notL, "--N", "7"}, "--grid 'faces:" + notL + "': " + notL + " line 3: the last face"},
    };
    for (const auto& [args, message] : cases) EXPECT_EQ(UsageMessage(args).rfind(message, 0), 0u) << UsageMessage(args);
    for (const std::string& f : {notNumber, notZero, notUp, notL}) std::filesystem::remove(f);
}
