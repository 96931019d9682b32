// The comparison window's Time tab, six linear schemes ticked, implicit
// steps: frames drawn a second while playing through a finished run at
// N = 1,000 and N = 10,000 (beside the frames the march itself makes a
// second, measured in the same run), and from a change of input to the
// first new frame on show at N = 1,000 (median of 11 changes).
#include <QApplication>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "compare/compare_window.hpp"
#include "compare/time_tab.hpp"

namespace {

void Set(compare::CompareWindow& w, const char* box, const QString& text) {
    w.findChild<QLineEdit*>(box)->setText(text);
    w.UpdateNow();
    w.Time()->UpdateNow();
}

// The run marched to its end: frames it made a second.
double MarchedPerSecond(compare::CompareWindow& w) {
    QElapsedTimer clock;
    clock.start();
    while (!w.Time()->Finished()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return double(w.Time()->FramesReady()) / (double(clock.nsecsElapsed()) / 1e9);
}

// Every frame of the run shown and painted in turn, as Play does.
double DrawnPerSecond(compare::CompareWindow& w) {
    QChartView* view = w.findChild<QChartView*>("transientChart");
    const long frames = std::min(w.Time()->FramesReady(), 600L);
    QElapsedTimer clock;
    clock.start();
    for (long k = 0; k < frames; ++k) {
        w.Time()->ShowFrame(k);
        view->repaint();
    }
    return double(frames) / (double(clock.nsecsElapsed()) / 1e9);
}

double FirstFrameMs(compare::CompareWindow& w, int runs) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        Set(w, "u", run % 2 ? "0.1" : "0.2");
        while (w.Time()->FrameShown() < 0) QApplication::processEvents();
        w.findChild<QChartView*>("transientChart")->repaint();
        times.push_back(double(clock.nsecsElapsed()) / 1e6);
        while (!w.Time()->Finished()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    compare::CompareWindow w;
    w.resize(1280, 800);
    w.show();
    for (QCheckBox* box : w.findChildren<QCheckBox*>())
        if (box->objectName().startsWith("show_"))
            box->setChecked(!study::LimiterOf(*study::SchemeNamed(box->objectName().mid(5).toStdString())));
    w.Tabs()->setCurrentWidget(w.Time());
    w.findChild<QComboBox*>("initial")->setCurrentIndex(2);  // a pulse
    w.findChild<QComboBox*>("timeScheme")->setCurrentIndex(2);
    Set(w, "dt", "0.01");
    Set(w, "tEnd", "5");  // 500 frames
    QApplication::processEvents();
    for (int n : {1000, 10000}) {
        Set(w, "N", QString::number(n));
        const double marched = MarchedPerSecond(w);
        const double drawn = DrawnPerSecond(w);
        std::printf("N = %d: %.0f frames drawn a second (target: at least %d); the march made %.0f a second\n", n,
                    drawn, n == 1000 ? 60 : 30, marched);
    }
    Set(w, "N", "1000");
    std::printf("N = 1000: %.1f ms from a change of u to the first new frame on show (target: under 100 ms)\n",
                FirstFrameMs(w, 11));
}
