// convdiff-transient's command line: every usage error names its option and
// value, and the program's exit codes, report and files, blow-ups included.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>

#include "usage_message.hpp"
#include "cli/transient_options.hpp"
#include "program_fixture.hpp"

namespace {

std::string UsageMessage(const std::vector<std::string>& args) { return UsageMessageOf(cli::ParseTransient, args); }

}  // namespace

TEST(TransientOptions, EveryBadOptionOrValueNamesBoth) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--dt", "abc"}, "--dt 'abc': not a number"},
        {{"--dt", "0"}, "--dt '0': the time step must be above 0"},
        {{"--t-end", "-1"}, "--t-end '-1': the end time must be above 0"},
        {{"--frames", "0"}, "--frames '0': must be a whole number from 1 to 100000"},
        {{"--frames", "100001"}, "--frames '100001'"},
        {{"--theta", "1.5"}, "--theta '1.5': must lie from 0 to 1"},
        {{"--time", "leapfrog"}, "--time 'leapfrog': choose explicit, cn, implicit, lw, ssprk2 or ssprk3"},
        {{"--time", "ssprk3", "--theta", "0.5"}, "--theta '0.5': SSP Runge-Kutta (3 stages) (--time ssprk3) has no theta"},
        {{"--time", "lw", "--schemes", "minmod,quick"},
         "--schemes 'minmod,quick': quick cannot be marched by flux-limited Lax-Wendroff (--time lw)"},
        {{"--time", "lw", "--schemes", "linear,hybrid"}, "--schemes 'linear,hybrid': hybrid cannot be marched by"},
        {{"--time", "cn", "--theta", "0.5"}, "--theta '0.5': give either --time or --theta"},
        {{"--gamma", "-0.1"}, "--gamma '-0.1': the diffusion coefficient cannot be negative"},
        {{"--rho", "0"}, "--rho '0': the density must be above 0"},
        {{"--L", "-1"}, "--L '-1': the domain's length must be above 0"},
        {{"--initial", "wave:1"}, "--initial 'wave:1': choose uniform:V"},
        {{"--initial", "pulse:0.5"}, "--initial 'pulse:0.5': pulse takes two numbers"},
        {{"--initial", "pulse:0.5:0"}, "--initial 'pulse:0.5:0': S, the standard deviation, must be above 0"},
        {{"--initial", "step:1.5"}, "--initial 'step:1.5': the position must lie within [0, L]"},
        {{"--initial", "square:0.6:0.4"}, "--initial 'square:0.6:0.4': needs X1 < X2"},
        {{"--initial", "uniform:1,5"}, "--initial 'uniform:1,5': '1,5': not a number"},
        {{"--initial", "pulse:0.3:0.05+square:0.8:0.6"},
         "--initial 'pulse:0.3:0.05+square:0.8:0.6': in the term 'square:0.8:0.6': needs X1 < X2"},
        {{"--initial", "pulse:0.3:0.05+"}, "--initial 'pulse:0.3:0.05+': in the term '': choose uniform:V"},
        {{"--initial", "step:0.5+pulse:2:1"}, "--initial 'step:0.5+pulse:2:1': in the term 'pulse:2:1': the position"},
        {{"--dt", "1e-7", "--t-end", "10"}, "--dt '1e-7': the run would take more than 10000000 steps"},
        {{"--N", "100000", "--dt", "1e-5"}, "--N '100000': N times the 1000000 steps is more than 2e10"},
        {{"--schemes", "central,foo"}, "--schemes 'central,foo': unknown scheme 'foo'"},
        {{"--schemes", "quick", "--N", "2"}, "--N '2': the QUICK scheme needs N of at least 3"},
        {{"--space-time-plot", "a.svg"}, "--space-time-plot 'a.svg': the file name must end in .png"},
        {{"--plot", "a.jpg"}, "--plot 'a.jpg': the file name must end in .png or .svg"},
        {{"--history", "a.csv", "--errors", "./a.csv"}, "--errors './a.csv': is also the file of --history"},
        {{"--history="}, "--history '': needs a file name"},
        {{"--dt", "1", "--dt", "2"}, "option --dt is given twice"},
        {{"--refine", "2"}, "unknown option '--refine'"},
        // The ends, the source and the periodic domain.
        {{"--periodic", "--phiA", "1"}, "--phiA '1': a periodic domain has no ends: leave --phiA out"},
        {{"--periodic=yes"}, "--periodic 'yes': takes no value"},
        {{"--sp", "2"}, "--sp '2': Sp must be 0 or below"},
        {{"--grid", "geometric:0.9", "--time", "lw"}, "--grid 'geometric:0.9': flux-limited Lax-Wendroff scales"},
        {{"--grid", "twosided:1.1", "--periodic"}, "--grid 'twosided:1.1': a periodic domain takes equal cells"},
        {{"--right", "robin:-1:0"}, "--right 'robin:-1:0': H must be above 0"},
        {{"--phiB", "0", "--right", "outflow"}, "--right 'outflow': give either --phiB or --right, not both"},
        // A number beyond a double blames what made it so, not a --dt never given.
        {{"--u", "1e308"}, "--u '1e308': the Courant number |u| dt / dx of this step is beyond the range"},
        {{"--gamma", "1e308"}, "--gamma '1e308': the diffusion number Gamma dt / (rho dx^2) of this step is"},
        {{"--rho", "1e-320"}, "--rho '1e-320': the diffusion number Gamma dt / (rho dx^2) and dt / (rho dx) of"},
        {{"--L", "1e-320"}, "--L '1e-320': the Courant number |u| dt / dx, the diffusion number"},
        {{"--t-end", "1e308"}, "--t-end '1e308': the run would take more than 10000000 steps"},
        {{"--t-end", "1e308", "--dt", "1e307"}, "--t-end '1e308': the diffusion number"},
        {{"--u", "1e200", "--dt", "1e200", "--t-end", "1e200"}, "--u '1e200': the Courant number |u| dt / dx of "
                                                                "this step is beyond the range of a double (with --t-end"},
    };
    for (const auto& [args, message] : cases) EXPECT_EQ(UsageMessage(args).rfind(message, 0), 0u) << UsageMessage(args);
}

TEST(TransientOptions, StepsSchemesAndTheInitialState) {
    const cli::TransientOptions o =
        cli::ParseTransient({"--time", "cn", "--initial", "pulse:0.3:0.05", "--schemes", "tvd,upwind", "--gamma", "0"});
    EXPECT_EQ(o.plan.theta, 0.5);
    ASSERT_EQ(o.plan.initial.terms.size(), 1u);
    EXPECT_EQ(o.plan.initial.terms[0].shape, transient::Shape::Pulse);
    EXPECT_EQ(o.plan.initial.terms[0].b, 0.05);
    EXPECT_EQ(o.plan.schemes.size(), 10u);
    EXPECT_EQ(o.plan.schemes.back(), study::Scheme::Upwind);
    // Every scheme on two volumes: QUICK is left out, with a note.
    const cli::TransientOptions few = cli::ParseTransient({"--N", "2", "--schemes", "all"});
    EXPECT_EQ(few.plan.schemes.size(), 14u);
    EXPECT_EQ(few.notes.size(), 1u);
    // Lax-Wendroff leaves the schemes it does not march out of a group, with
    // a note; the explicit methods' stages are forward Euler (theta = 0).
    const cli::TransientOptions lw = cli::ParseTransient({"--time", "lw", "--schemes", "all", "--initial",
                                                          "pulse:0.3:0.05+square:0.6:0.8"});
    EXPECT_EQ(lw.plan.method, transient::Method::LaxWendroff);
    EXPECT_EQ(lw.plan.theta, 0.0);
    EXPECT_EQ(lw.plan.schemes.size(), 11u);
    ASSERT_EQ(lw.notes.size(), 1u);
    EXPECT_EQ(lw.notes[0], "hybrid, quick, powerlaw and exponential are left out: flux-limited Lax-Wendroff marches "
                           "only central, upwind and the limiters.");
    EXPECT_EQ(transient::Text(lw.plan.initial), "pulse:0.3:0.05+square:0.6:0.8");
    EXPECT_EQ(cli::ParseTransient({"--time", "ssprk2"}).plan.schemes.size(), 6u);
}

TEST_F(TransientProgram, UsageErrorWritesNothingAndExitsTwo) {
    EXPECT_EQ(Run("--history " + Path("h.csv") + " --frames 2.5"), 2);
    EXPECT_EQ(Read("err"), "convdiff-transient: --frames '2.5': must be a whole number from 1 to 100000\n");
    EXPECT_EQ(Read("out"), "");
    EXPECT_FALSE(std::filesystem::exists(dir / "h.csv"));
}

TEST_F(TransientProgram, ABlowUpIsAResultWithNoInfinityWritten) {
    ASSERT_EQ(Run("--time explicit --schemes central,upwind --gamma 0 --u 1 --N 50 --dt 0.01 --t-end 20 "
                  "--initial square:0.2:0.4 --phiA 0 --frames 200 --history " +
                  Path("h.csv") + " --errors " + Path("e.csv") + " --stability " + Path("s.csv")),
              0)
        << Read("err");
    const std::string report = Read("out");
    EXPECT_NE(report.find("central: blew up at t = "), std::string::npos) << report;
    EXPECT_NE(report.find("central: unstable: von Neumann (an interior row on an endless grid) gives largest |G| = "),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("No step is stable with this time method"), std::string::npos) << report;
    for (const char* name : {"h.csv", "e.csv", "s.csv"}) {
        const std::string text = Read(name);
        EXPECT_EQ(text.find("inf"), std::string::npos) << name;
        EXPECT_EQ(text.find("nan"), std::string::npos) << name;
    }
    const std::string stability = Read("s.csv");
    EXPECT_EQ(stability.rfind("scheme,theta,dt,courant,diffusion_number,cell_peclet,max_amplification,stable,positive,"
                              "largest_stable_dt,matrix_max_amplification,matrix_stable,positive_implicit,"
                              "positive_explicit,tvd,largest_positive_dt\n"
                              "central,0,0.01,0.5,0,,1.118033988749895,false,false,0,",
                              0),
              0u)
        << stability;
    EXPECT_NE(stability.find("\nupwind,0,0.01,0.5,0,,1,true,true,,"), std::string::npos) << stability;
    // The upwind rows reach t_end; the central ones stop early.
    const std::string errors = Read("e.csv");
    EXPECT_NE(errors.find("\nupwind,2000,20,"), std::string::npos);
    EXPECT_EQ(errors.find("\ncentral,2000,"), std::string::npos);
}

TEST_F(TransientProgram, AFullStandardOutputIsAFailureOnceTheFilesAreWhole) {
    const std::string program = std::string(CONVDIFF_TRANSIENT);
    const std::string err = " 2>" + (dir / "err").string();
    for (const std::string& args : {"--N 20 --errors " + Path("e.csv"), std::string("--help"), std::string("--version")}) {
        const int status = std::system((program + " " + args + " >/dev/full" + err).c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 1) << args;
        EXPECT_EQ(Read("err"), "convdiff-transient: cannot write standard output: No space left on device\n") << args;
    }
    // The table was complete before the report was lost.
    EXPECT_EQ(Read("e.csv").rfind("scheme,step,t,", 0), 0u);
}

TEST_F(TransientProgram, AFailedWriteIsSaidAndExitsOne) {
    EXPECT_EQ(Run("--N 20 --history /dev/full"), 1);
    EXPECT_EQ(Read("err").rfind("convdiff-transient: cannot write /dev/full: ", 0), 0u) << Read("err");
    EXPECT_EQ(Run("--N 20 --errors " + Path("missing/e.csv")), 1);
    EXPECT_NE(Read("err").find("cannot write " + Path("missing/e.csv")), std::string::npos) << Read("err");
}

TEST_F(TransientProgram, AWriteCutShortLeavesTheOldFileWhole) {
    std::ofstream(Path("h.csv")) << "the old history\n";
    // A child whose files may not grow past 10 blocks of 512 bytes, with
    // SIGXFSZ ignored so that the write fails instead of killing it.
    const std::string command = "sh -c 'ulimit -f 10; trap \"\" XFSZ; exec " + std::string(CONVDIFF_TRANSIENT) +
                                " --N 500 --history " + Path("h.csv") + "' >" + Path("out") + " 2>" + Path("err");
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(Read("err").rfind("convdiff-transient: cannot write " + Path("h.csv") + ": File too large", 0), 0u)
        << Read("err");
    EXPECT_EQ(Read("h.csv"), "the old history\n");
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        EXPECT_TRUE(entry.path().filename() == "h.csv" || entry.path().filename() == "out" ||
                    entry.path().filename() == "err")
            << "left behind: " << entry.path();
}

TEST_F(TransientProgram, TablesHoldEveryFrameAndTheReportTheStepTaken) {
    ASSERT_EQ(Run("--N 4 --schemes upwind,vanleer --dt 0.3 --t-end 1 --frames 2 --history " + Path("h.csv") +
                  " --errors " + Path("e.csv") + " --stability " + Path("s.csv")),
              0)
        << Read("err");
    // 2 frames of ceil(1 / 0.6) = 2 steps: dt' = 0.25.
    EXPECT_NE(Read("out").find("n = 4 steps of dt = 0.25 s"), std::string::npos) << Read("out");
    EXPECT_NE(Read("out").find("(the step is 0.25 s, not the 0.3 s asked for"), std::string::npos);
    const std::string history = Read("h.csv");
    EXPECT_EQ(std::count(history.begin(), history.end(), '\n'), 1 + 2 * 3 * 4);
    EXPECT_NE(history.find("\nupwind,0.5,3,0.625,"), std::string::npos) << history;
    EXPECT_NE(history.find(",\n"), std::string::npos) << "a uniform start has no exact column";
    const std::string errors = Read("e.csv");
    EXPECT_NE(errors.find("\nvanleer,2,0.5,,,"), std::string::npos) << errors;
    EXPECT_EQ(errors.rfind("scheme,step,t,max_error,rms_error,phi_min,phi_max,total_variation,l1_error\n", 0), 0u);
    const std::string stability = Read("s.csv");
    EXPECT_NE(stability.find("\nvanleer,1,0.25,0.1,0.4,0.25,,true,,,,,,,true,\n"), std::string::npos) << stability;
}

TEST_F(TransientProgram, AnOutputThatIsTheReportsFileIsRefused) {
    // Standard output is sent to "out"; an option naming it would replace
    // it under the report.
    for (const std::string option : {"--history", "--errors", "--stability"}) {
        std::ofstream(Path("out")) << "old";
        EXPECT_EQ(Run("--N 5 " + option + " " + Path("out")), 2) << option;
        EXPECT_EQ(Read("err"), "convdiff-transient: " + option + " '" + Path("out") +
                                   "': is the file standard output goes to, where the report is written (" + option +
                                   " - puts the table there alone)\n");
    }
    EXPECT_EQ(Run("--N 5 --stability /dev/stdout"), 2);
    EXPECT_NE(Read("err").find("--stability '/dev/stdout': is the file standard output goes to"), std::string::npos);
}

TEST_F(TransientProgram, ATableOnStandardOutputGoesThereAlone) {
    const std::pair<std::string, std::string> tables[] = {
        {"--history -", "scheme,t,i,x,phi,exact\n"},
        {"--errors -", "scheme,step,t,max_error"},
        {"--stability -", "scheme,theta,dt,courant"},
    };
    for (const auto& [args, header] : tables) {
        ASSERT_EQ(Run("--N 5 --schemes upwind " + args), 0) << Read("err");
        EXPECT_EQ(Read("out").rfind(header, 0), 0u) << args;
        EXPECT_EQ(Read("out").find("Stability at this step"), std::string::npos) << args;
    }
    // Named as the pipe standard output goes to, as the study does too.
    for (const char* program : {CONVDIFF_TRANSIENT, CONVDIFF_STUDY}) {
        const std::string command = std::string(program) + " --N 5 --schemes upwind --errors /dev/stdout | cat >" +
                                    (dir / "out").string();
        ASSERT_EQ(std::system(command.c_str()), 0) << program;
        EXPECT_EQ(Read("out").rfind("scheme,", 0), 0u) << program << Read("out");
        EXPECT_EQ(Read("out").find("onvection-diffusion"), std::string::npos) << program << ": no report\n" << Read("out");
    }
    EXPECT_EQ(Run("--help"), 0);
    EXPECT_NE(Read("out").find("FILE - is standard output (the report is then\n  left out)"), std::string::npos);
}

TEST_F(TransientProgram, EverySignalThatEndsItRemovesItsTemporariesFirst) {
    for (const int signal : {SIGQUIT, SIGXCPU, SIGUSR1, SIGALRM, SIGPIPE, SIGVTALRM}) {
        const pid_t child = ::fork();
        if (child == 0) {
            const rlimit noCore{0, 0};
            ::setrlimit(RLIMIT_CORE, &noCore);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);
            const std::string history = Path("h.csv");
            // Long enough that it is still writing when the signal comes.
            ::execl(CONVDIFF_TRANSIENT, CONVDIFF_TRANSIENT, "--N", "1000000", "--schemes", "upwind", "--dt", "0.001",
                    "--frames", "10000", "--history", history.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ASSERT_GT(child, 0);
        // Wait until the temporary file is there (at most a minute).
        auto temporaries = [&] {
            int count = 0;
            for (const auto& entry : std::filesystem::directory_iterator(dir))
                count += entry.path().filename().string().rfind(".h.csv.", 0) == 0;
            return count;
        };
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (temporaries() == 0 && std::chrono::steady_clock::now() < deadline) ::usleep(1000);
        EXPECT_EQ(temporaries(), 1) << "signal " << signal;
        ::kill(child, signal);
        int status = 0;
        const auto ended = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (::waitpid(child, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > ended) {
                ::kill(child, SIGKILL);
                ::waitpid(child, &status, 0);
                ADD_FAILURE() << "signal " << signal << " did not end the program";
            }
            ::usleep(1000);
        }
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "signal " << signal;
        EXPECT_EQ(temporaries(), 0) << "signal " << signal;
        EXPECT_FALSE(std::filesystem::exists(dir / "h.csv"));
    }
}

TEST_F(TransientProgram, RunningOutOfMemoryIsSaidAndLeavesNoTemporary) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer's shadow memory needs more address space than the limit leaves";
#endif
    // A child whose address space is too small for fifteen schemes at ten
    // million volumes.
    const std::string command = "sh -c 'ulimit -v 1500000; exec " + std::string(CONVDIFF_TRANSIENT) +
                                " --N 10000000 --schemes all --history " + Path("h.csv") + " --errors " +
                                Path("e.csv") + "' >" + Path("out") + " 2>" + Path("err");
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(Read("err"), "convdiff-transient: cannot allocate memory for the run at N = 10000000\n");
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        EXPECT_TRUE(entry.path().filename() == "out" || entry.path().filename() == "err") << "left: " << entry.path();
}

// The ends, the source and a periodic domain in the report and the tables:
// at c = 1 a square goes round the domain and back, exactly.
