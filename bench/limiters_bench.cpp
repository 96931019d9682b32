// The Limiters tab at N = 10^7 with two limiters ticked (beside the four
// schemes ticked at start): the longest the
// window's thread is kept from its events (a 5 ms heartbeat's longest gap)
// while the grid is solved, while the tab comes into sight and its faces
// are found, while "2.5" is typed into u, over a hundred hovers, and the
// time from closing the window to its end. Target: every gap under 100 ms.
#include <QApplication>
#include <QChartView>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "charts/limiter_chart.hpp"
#include "compare/compare_window.hpp"
#include "compare/limiters_page.hpp"

namespace {

// The time this thread has been on a core, in ms: an event that took long
// with little of it there waited (for a core, for the memory's lock).
double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// The application, timing each event it hands out on the window's thread:
// the longest, and what it was, since the last Reset.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        if (depth_++ > 0) {
            const bool done = QApplication::notify(receiver, event);
            --depth_;
            return done;
        }
        QElapsedTimer clock;
        clock.start();
        const double cpuBefore = ThreadCpuMs();
        const bool done = QApplication::notify(receiver, event);
        --depth_;
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        if (ms > longest_) {
            longest_ = ms;
            what_ = QString("event %1 to a %2, %3 ms of it on a core")
                        .arg(int(event->type()))
                        .arg(receiver->metaObject()->className())
                        .arg(ThreadCpuMs() - cpuBefore, 0, 'f', 1);
        }
        return done;
    }
    void Reset() { longest_ = 0, what_.clear(); }
    QString Longest() const { return QString("%1 ms (%2)").arg(longest_, 0, 'f', 1).arg(what_); }

private:
    int depth_ = 0;
    double longest_ = 0;
    QString what_;
};

// The longest time between two beats since the last Reset, in ms: the
// event handling above and any time the thread waited for a core.
class Heartbeat {
public:
    Heartbeat() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            longest_ = std::max(longest_, double(clock_.nsecsElapsed()) / 1e6);
            clock_.restart();
        });
        Reset();
        timer_.start();
    }
    void Reset() {
        longest_ = 0;
        clock_.restart();
        static_cast<TimedApplication*>(qApp)->Reset();
    }
    // The longest gap, and the longest event.
    const char* Longest() {
        QApplication::processEvents();
        text_ = QString("longest gap %1 ms, longest event %2")
                    .arg(longest_, 0, 'f', 1)
                    .arg(static_cast<TimedApplication*>(qApp)->Longest())
                    .toStdString();
        return text_.c_str();
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    double longest_ = 0;
    std::string text_;
};

// Runs the event loop until `done`, at most `seconds`.
bool Until(const std::function<bool()>& done, int seconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > seconds * 1000) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

double Ms(const QElapsedTimer& clock) { return double(clock.nsecsElapsed()) / 1e6; }

}  // namespace

int main(int argc, char** argv) {
    TimedApplication app(argc, argv);
    QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    const long n = argc > 1 ? std::atol(argv[1]) : 10'000'000;
    auto w = std::make_unique<compare::CompareWindow>();
    w->show();
    Heartbeat beat;
    // The schemes ticked at start, and two limiters.
    for (const char* name : {"show_vanleer", "show_superbee"}) w->findChild<QCheckBox*>(name)->setChecked(true);
    w->UpdateNow();
    QApplication::processEvents();
    double u = 1;  // the velocity asked for
    auto solved = [&] { return w->Current() && w->Current()->plan.N == n && w->Current()->problem.u == u; };
    auto facesFound = [&] { return w->Limiters()->FacesFor() == w->Current(); };

    beat.Reset();
    w->findChild<QLineEdit*>("u")->setText("1");
    w->findChild<QLineEdit*>("N")->setText(QString::number(n));
    w->UpdateNow();
    if (!Until(solved, 600)) return std::puts("the grid was not solved in 10 minutes"), 1;
    std::printf("N = %ld, Van Leer and SUPERBEE, u = 1, solved on the Solutions tab: %s\n", n,
                beat.Longest());

    beat.Reset();
    QElapsedTimer clock;
    clock.start();
    w->Tabs()->setCurrentWidget(w->Limiters());
    w->Limiters()->View()->repaint();
    const double switched = Ms(clock);
    Until(facesFound, 600);
    const double found = Ms(clock);
    std::printf("to the Limiters tab: %.1f ms to the tab painted, %.1f ms to the faces shown; %s; "
                "%lld and %lld faces shown\n",
                switched, found, beat.Longest(),
                (long long)w->Limiters()->FacesOf(study::Limiter::VanLeer)->size(),
                (long long)w->Limiters()->FacesOf(study::Limiter::Superbee)->size());

    beat.Reset();
    auto* box = w->findChild<QLineEdit*>("u");
    double typed = 0;
    u = 2.5;
    for (const char* text : {"2", "2.", "2.5"}) {
        clock.restart();
        box->setText(text);
        w->UpdateNow();
        w->Limiters()->View()->repaint();
        typed = std::max(typed, Ms(clock));
    }
    Until([&] { return solved() && facesFound(); }, 600);
    std::printf("\"2.5\" typed into u: at most %.1f ms a key to the tab repainted; until solved and shown: %s\n",
                typed, beat.Longest());

    QWidget* area = w->Limiters()->View()->viewport();
    double hover = 0;
    for (int k = 0; k < 100; ++k) {
        const QPoint at(area->width() * (k + 1) / 102, area->height() * ((k * 37) % 100 + 1) / 102);
        QMouseEvent move(QEvent::MouseMove, at, area->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        clock.restart();
        QApplication::sendEvent(area, &move);
        hover = std::max(hover, Ms(clock));
    }
    std::printf("hover: at most %.2f ms a move (100 moves)\n", hover);

    // A change starts a solve; closing the window while it goes.
    box->setText("1");
    w->UpdateNow();
    clock.restart();
    w->close();
    w.reset();
    std::printf("closed during a solve: %.1f ms to the window's end\n", Ms(clock));
}
