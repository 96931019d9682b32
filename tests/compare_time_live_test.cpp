// The Time tab while a run goes: the space-time picture fills in from the
// rows gathered so far, a few times a second at most; the progress bar of
// a run that takes a while; and the picture's labels as large as the
// profile chart's.
#include <QChartView>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QTabWidget>
#include <QThreadPool>

#include "charts/space_time.hpp"
#include "compare/time_charts.hpp"
#include "compare/time_tab.hpp"
#include "time_tab_fixture.hpp"

namespace {

class TimeLiveTest : public TimeTabTest {
protected:
    // Held workers keep their pool threads, and Qt's raster engine hands
    // parts of a large fill to the same global pool and waits for them:
    // with every thread held, drawing the picture would wait for ever.
    void SetUp() override {
        threads_ = QThreadPool::globalInstance()->maxThreadCount();
        QThreadPool::globalInstance()->setMaxThreadCount(threads_ + 4);
        TimeTabTest::SetUp();
    }
    void TearDown() override {
        Tab().Marching().Hold(false);
        window_.reset();
        QThreadPool::globalInstance()->setMaxThreadCount(threads_);
    }
    int threads_ = 0;
    // Rows of `data` with no value in them, at the top of the picture.
    static int BlankRows(const QImage& data) {
        int blank = 0;
        while (blank < data.height() && data.pixelColor(0, blank) == charts::kNoValue) ++blank;
        return blank;
    }
};

// The height of the lowest line of writing in the columns [from, to) of
// `picture`: rows with dark pixels, from the bottom up.
int LowestWritingHeight(const QImage& picture, int from, int to) {
    auto written = [&](int y) {
        for (int x = from; x < to; ++x)
            if (qGray(picture.pixel(x, y)) < 140) return true;
        return false;
    };
    int y = picture.height() - 1;
    while (y >= 0 && !written(y)) --y;
    const int bottom = y;
    while (y >= 0 && written(y)) --y;
    return bottom - y;
}

}  // namespace

TEST_F(TimeLiveTest, ThePictureFillsInAsTheRunGoesAndTheProgressShowsAfterAWhile) {
    Set({{"N", "100"}, {"dt", "0.01"}, {"tEnd", "0.5"}});
    Finish();
    QProgressBar* progress = Get<QProgressBar>("timeProgress");
    EXPECT_FALSE(progress->isVisible());

    // The worker waits after each frame it hands over: the first frame
    // brings the rows of t = 0 alone.
    QElapsedTimer clock;
    clock.start();
    Tab().Marching().Hold(true);
    Set({{"tEnd", "5"}});  // 500 steps, a frame each
    ASSERT_TRUE(QTest::qWaitFor([&] { return Tab().FramesReady() >= 1; }, 10000));
    compare::SpaceTimeView* view = Tab().SpaceTimePicture();
    ASSERT_NE(view->Rows(), nullptr);
    const study::Scheme first = Tab().Plan()->schemes.front();
    EXPECT_EQ(view->Rows()->RowsOf(first), 1);
    const QImage early = view->Rows()->Data(first);
    EXPECT_EQ(BlankRows(early), early.height() - 1);
    EXPECT_FALSE(view->Picture().isNull());
    EXPECT_EQ(view->Picture().size(), view->size());

    // Half a second on, the bar shows; a new run hides it until its own
    // half second has gone.
    EXPECT_TRUE(Tab().ProgressDelay()->isActive());
    QMetaObject::invokeMethod(Tab().ProgressDelay(), "timeout");
    EXPECT_TRUE(progress->isVisible());
    Set({{"tEnd", "4"}});
    EXPECT_FALSE(progress->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return Tab().FramesReady() >= 1; }, 10000));
    QMetaObject::invokeMethod(Tab().ProgressDelay(), "timeout");
    EXPECT_TRUE(progress->isVisible());

    Tab().Marching().Hold(false);
    Finish();
    EXPECT_FALSE(progress->isVisible());
    EXPECT_EQ(view->Rows()->RowsOf(first), compare::kSpaceTimeRows);
    EXPECT_EQ(BlankRows(view->Rows()->Data(first)), 0);

    // The rows went with a frame at most every 200 ms, never with each.
    long drawn = 0;
    for (long k = 0; k < Tab().FramesReady(); ++k) drawn += Tab().Frame(k)->spaceTime != nullptr;
    EXPECT_GE(drawn, 1);
    EXPECT_LE(drawn, 2 + clock.elapsed() / compare::kSpaceTimeRedraw.count());
    EXPECT_LT(drawn, Tab().FramesReady() / 2);
}

TEST_F(TimeLiveTest, ThePicturesLabelsAreAsLargeAsTheProfileCharts) {
    window_->resize(1280, 720);
    Set({{"N", "100"}, {"dt", "0.01"}, {"tEnd", "0.5"}});
    Finish();
    QCoreApplication::processEvents();
    compare::SpaceTimeView* view = Tab().SpaceTimePicture();
    ASSERT_NE(view->Rows(), nullptr);
    const QImage picture = view->Picture();
    ASSERT_EQ(picture.size(), view->size());  // drawn as shown, not scaled down
    // The lowest writing of both is the title "x (m)" under the plot; the
    // colour bar's column is left out.
    auto* profileView = Get<QChartView>("transientChart");
    Tab().ProfileChart()->legend()->hide();
    QCoreApplication::processEvents();
    const QImage profile = profileView->grab().toImage();
    const int ours = LowestWritingHeight(picture, 0, picture.width() * 2 / 3);
    const int theirs = LowestWritingHeight(profile, 0, profile.width());
    EXPECT_GE(theirs, 8);
    EXPECT_GE(ours, theirs) << ours << " " << theirs;
}
