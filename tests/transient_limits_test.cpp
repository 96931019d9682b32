// The bounded schemes' implicit steps at their limits: a large initial
// state, a step whose iterations do not converge (that scheme stops, the
// others go on), a theta too small for its shift, and a cancellation that
// comes while a step iterates.
#include <gtest/gtest.h>

#include <cmath>
#include <future>
#include <thread>

#include "square_plan.hpp"
#include "transient/csv.hpp"
#include "transient/run.hpp"
#include "transient/verdict_text.hpp"

using study::Scheme;
using transient::Plan;

namespace {

// Pure convection of a square by the implicit step at c = 1.25, where
// SUPERBEE's iterations sit at a kink of psi and do not converge.
Plan Stalling(std::vector<Scheme> schemes) {
    return SquareInPureConvection(std::move(schemes), 100, 0.0125, 0.5, 5);
}

}  // namespace

TEST(Limits, ALargeInitialStateSetsTheTolerance) {
    for (double size : {5000.0, 1e300}) {
        Plan plan;
        plan.schemes.assign(study::kTvdSchemes.begin(), study::kTvdSchemes.end());
        plan.initial = {transient::Shape::Uniform, size, 0};
        plan.frames = 2;
        transient::Run run(plan);
        const transient::Outcome out = run.Go();
        for (const transient::SchemeOutcome& s : out.schemes) {
            EXPECT_FALSE(s.stalled) << study::Name(s.scheme) << " from " << size << ": " << s.stallReason;
            EXPECT_FALSE(s.blewUp) << study::Name(s.scheme) << " from " << size;
            EXPECT_EQ(s.lastFrame, plan.frames) << study::Name(s.scheme) << " from " << size;
        }
    }
}

TEST(Limits, AStepThatDoesNotConvergeStopsOnlyItsScheme) {
    const Plan plan = Stalling({Scheme::Superbee, Scheme::Upwind, Scheme::MinMod});
    std::map<Scheme, long> frames;
    transient::Callbacks cb;
    cb.frame = [&](const transient::Frame& f) { ++frames[f.scheme]; };
    transient::Run run(plan);
    const transient::Outcome out = run.Go(cb);
    const transient::SchemeOutcome& superbee = out.schemes[0];
    ASSERT_TRUE(superbee.stalled);
    EXPECT_FALSE(superbee.blewUp);
    EXPECT_GT(superbee.stallStep, 0);
    EXPECT_EQ(superbee.stallTime, double(superbee.stallStep) * out.steps.dt);
    EXPECT_EQ(frames[Scheme::Superbee], superbee.lastFrame + 1);
    EXPECT_LT(superbee.lastFrame, plan.frames);
    for (std::size_t s : {1u, 2u}) {
        EXPECT_FALSE(out.schemes[s].stalled) << study::Name(out.schemes[s].scheme);
        EXPECT_EQ(frames[out.schemes[s].scheme], plan.frames + 1) << study::Name(out.schemes[s].scheme);
    }
    // Said with its step and time, the residual in a few digits.
    const std::string words = transient::RunWords(out, superbee);
    EXPECT_EQ(words.rfind("stopped at t = " + transient::Short(superbee.stallTime) + " s (step " +
                              std::to_string(superbee.stallStep) + "): its iterations did not converge (residual ",
                          0),
              0u)
        << words;
    EXPECT_LT(words.size(), 120u) << words;
    EXPECT_NE(words.find(" after 500)."), std::string::npos) << words;
    // The outcome table's last column; blew_up stays false.
    const std::string table = transient::csv::OutcomeTable(out);
    EXPECT_NE(table.find("\nsuperbee,false,,"), std::string::npos) << table;
    EXPECT_NE(table.find(",true\nupwind,"), std::string::npos) << table;
    EXPECT_NE(table.find(",false\nminmod,"), std::string::npos) << table;
}

TEST(Limits, ASubnormalThetaMarchesExplicitly) {
    Plan plan;
    plan.schemes = {Scheme::MinMod, Scheme::Upwind};
    plan.dt = 0.001;
    plan.tEnd = 0.01;
    plan.frames = 1;
    plan.initial = {transient::Shape::Square, 0.2, 0.4};
    auto last = [](const Plan& p) {
        std::map<Scheme, std::vector<double>> phi;
        transient::Callbacks cb;
        cb.frame = [&](const transient::Frame& f) { phi[f.scheme] = f.phi; };
        transient::Run run(p);
        run.Go(cb);
        return phi;
    };
    plan.theta = 0;
    const auto explicitly = last(plan);
    plan.theta = 1e-310;
    const auto tiny = last(plan);
    for (Scheme s : plan.schemes) {
        double moved = 0;
        for (std::size_t i = 0; i < tiny.at(s).size(); ++i)
            moved = std::max(moved, std::fabs(tiny.at(s)[i] - transient::InitialValue(plan.problem, plan.initial,
                                                                                        (double(i) + 0.5) / 50)));
        EXPECT_GT(moved, 1e-3) << study::Name(s);
        for (std::size_t i = 0; i < tiny.at(s).size(); ++i)
            EXPECT_NEAR(tiny.at(s)[i], explicitly.at(s)[i], 1e-14) << study::Name(s) << " node " << i + 1;
    }
}

TEST(Limits, CancelledFromAnotherThreadWhileAStepIterates) {
    const Plan plan = Stalling({Scheme::Superbee});
    transient::Run run(plan);
    std::promise<void> reached, released;
    std::future<void> release = released.get_future();
    int iterations = 0;
    long frames = 0;
    transient::Callbacks cb;
    cb.frame = [&](const transient::Frame&) { ++frames; };
    cb.iterating = [&] {
        if (++iterations > 1) return;
        reached.set_value();
        release.wait();  // the hook that holds the worker inside the first step's iterations
    };
    std::thread worker([&] { EXPECT_THROW(run.Go(cb), study::Cancelled); });
    reached.get_future().wait();
    run.Cancel();
    released.set_value();
    worker.join();
    EXPECT_EQ(iterations, 1);  // no iteration after the cancellation
    EXPECT_EQ(frames, 1);      // frame 0 only: it ended within the first step
}
