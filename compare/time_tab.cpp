// The Time tab: its controls, the restart on every change, the frames as
// they arrive, playing them, and what the banner says.
#include "time_tab.hpp"

#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLegend>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QSplitter>
#include <QVBoxLayout>
#include <cmath>

#include "charts/charts.hpp"
#include "charts/legend_list.hpp"
#include "marker_tip.hpp"
#include "screen_fit.hpp"
#include "study/numbers.hpp"
#include "time_charts.hpp"
#include "time_choices.hpp"
#include "time_explain.hpp"

namespace compare {

namespace {

const char* const kDt = "0.1";
const char* const kTEnd = "5";
constexpr int kSpeed = 20;  // frames a second

QString Number(double v) { return QString::number(v, 'g', 4); }

QLineEdit* Box(const char* name, const char* accessible, const char* value) {
    auto* box = new QLineEdit(value);
    box->setObjectName(name);
    box->setAccessibleName(accessible);
    box->setMaximumWidth(0);  // no wider than its longest number
    WidenFor(box);
    return box;
}

QChartView* View(QChart* chart, const char* name, const char* accessible) {
    auto* view = new QChartView(chart);
    view->setObjectName(name);
    view->setAccessibleName(accessible);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(200, 110);
    return view;
}

}  // namespace

TimeTab::TimeTab(QWidget* parent)
    : QWidget(parent),
      profile_(new TimeProfileChart),
      amplification_(new AmplificationChart),
      marching_(
          this, [this](std::shared_ptr<const FrameSet> f) { Arrived(std::move(f)); },
          [this](TimeResult r) { Ended(std::move(r)); }) {
    BuildProgress();
    BuildControls();
    pending_.setSingleShot(true);
    pending_.setInterval(0);
    connect(&pending_, &QTimer::timeout, this, &TimeTab::Restart);
    connect(&player_, &QTimer::timeout, this, &TimeTab::Tick);
}

TimeTab::~TimeTab() = default;

void TimeTab::BuildControls() {
    initial_ = new QComboBox;
    initial_->setObjectName("initial");
    initial_->setAccessibleName("Initial state");
    for (const InitialChoice& c : kInitials) initial_->addItem(c.title);
    a_ = Box("initialA", "First number of the initial state", kInitials[0].a);
    b_ = Box("initialB", "Second number of the initial state", kInitials[0].b);
    labelA_ = new QLabel;
    labelB_ = new QLabel;
    labelA_->setBuddy(a_);
    labelB_->setBuddy(b_);
    periodic_ = new QCheckBox("Periodic");
    periodic_->setObjectName("periodic");
    periodic_->setAccessibleName("Periodic domain for the time run");
    periodic_->setToolTip("No ends: φ(x + L) = φ(x), and what leaves at one end comes in at the other. The ends "
                          "in the inputs play no part in the time run; the steady tabs keep them.");
    scheme_ = new QComboBox;
    scheme_->setObjectName("timeScheme");
    scheme_->setAccessibleName("Time scheme");
    for (const TimeChoice& c : kTimeChoices) scheme_->addItem(c.title);
    scheme_->setCurrentIndex(2);
    dt_ = Box("dt", "Time step in s", kDt);
    tEnd_ = Box("tEnd", "End time in s", kTEnd);
    figures_ = new QLabel;
    figures_->setObjectName("figures");
    banner_ = new QLabel;
    banner_->setObjectName("stabilityBanner");
    banner_->setWordWrap(true);
    banner_->setAccessibleName("Whether the time step is stable for each scheme");
    banner_->setStyleSheet("QLabel { padding: 4px; background: #fff8dc; border: 1px solid #d8c880; }");
    play_ = new QPushButton("&Play");
    play_->setObjectName("play");
    play_->setCheckable(true);
    step_ = new QPushButton("S&tep");
    step_->setObjectName("stepOnce");
    step_->setToolTip("One frame on");
    rewind_ = new QPushButton("&Rewind");
    rewind_->setObjectName("rewind");
    rewind_->setToolTip("Back to t = 0");
    time_ = new QSlider(Qt::Horizontal);
    time_->setObjectName("time");
    time_->setAccessibleName("Frame on show");
    time_->setRange(0, 0);
    speed_ = new QSpinBox;
    speed_->setObjectName("speed");
    speed_->setAccessibleName("Frames a second when playing");
    speed_->setRange(1, 120);
    speed_->setValue(kSpeed);
    speed_->setSuffix(" frames/s");

    // Two pairs of label and box to a row, the figures wrapped below them,
    // so that the tab fits beside the inputs on a 1024-pixel screen.
    auto* controls = new QGridLayout;
    auto add = [&](const QString& label, QWidget* w, int row, int column) {
        auto* l = new QLabel(label);
        l->setBuddy(w);
        controls->addWidget(l, row, column);
        controls->addWidget(w, row, column + 1);
    };
    add("Initial state:", initial_, 0, 0);
    controls->addWidget(periodic_, 0, 2, 1, 2);
    controls->addWidget(labelA_, 1, 0);
    controls->addWidget(a_, 1, 1, Qt::AlignLeft);
    controls->addWidget(labelB_, 1, 2);
    controls->addWidget(b_, 1, 3, Qt::AlignLeft);
    add("Time scheme:", scheme_, 2, 0);
    add("Δt (s):", dt_, 2, 2);
    add("t_end (s):", tEnd_, 3, 0);
    figures_->setWordWrap(true);
    // Wrapped, it asks for no width of its own: the boxes' rows set the
    // tab's least width, in large fonts too.
    figures_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    controls->addWidget(figures_, 4, 0, 1, 5);
    controls->setColumnStretch(4, 1);
    auto* player = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(play_), static_cast<QWidget*>(step_), static_cast<QWidget*>(rewind_)})
        player->addWidget(w);
    player->addWidget(time_, 1);
    player->addWidget(speed_);
    player->addWidget(progress_);

    spaceTimeScheme_ = new QComboBox;
    spaceTimeScheme_->setObjectName("spaceTimeScheme");
    spaceTimeScheme_->setAccessibleName("Scheme of the space-time picture");
    spaceTime_ = new SpaceTimeView;
    spaceTime_->setObjectName("spaceTime");
    spaceTime_->setAccessibleName("Space-time picture: phi as colour over x and t");
    spaceTime_->setMinimumSize(200, 110);
    auto* spacePane = new QWidget;
    auto* spaceLayout = new QVBoxLayout(spacePane);
    spaceLayout->setContentsMargins(0, 0, 0, 0);
    spaceLayout->addWidget(spaceTimeScheme_);
    spaceLayout->addWidget(spaceTime_, 1);

    profileView_ = View(profile_, "transientChart", "Profiles at the time on show");
    (new MarkerTip(profileView_))->setObjectName("timeMarkerTip");  // an off-scale profile's range
    amplificationView_ = View(amplification_, "amplificationChart", "Amplification factor against wave number");
    auto* lower = new QSplitter(Qt::Horizontal);
    lower->setObjectName("timeLower");
    amplificationView_->setMinimumWidth(LeastAmplificationWidth());
    lower->addWidget(charts::WithLegendList(amplificationView_));
    lower->addWidget(spacePane);
    lower->setSizes({420, 420});
    // The banner shares the height with the charts: a long one scrolls.
    auto* bannerScroll = new QScrollArea;
    bannerScroll->setObjectName("stabilityScroll");
    bannerScroll->setWidget(banner_);
    bannerScroll->setWidgetResizable(true);
    bannerScroll->setFrameShape(QFrame::NoFrame);
    bannerScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    bannerScroll->setMinimumHeight(3 * fontMetrics().lineSpacing());
    auto* stack = new QSplitter(Qt::Vertical);
    stack->addWidget(bannerScroll);
    stack->addWidget(charts::WithLegendList(profileView_));
    stack->addWidget(lower);
    stack->setStretchFactor(1, 3);
    stack->setStretchFactor(2, 2);
    for (int i = 0; i < 3; ++i) stack->setCollapsible(i, false);

    // The tab scrolls when the window is too short for it (with large fonts).
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(controls);
    layout->addLayout(player);
    layout->addWidget(stack, 1);
    auto* scroll = new InputScroll(page);
    scroll->setObjectName("timeScroll");
    // On a window squeezed below the tab's least width, it scrolls across
    // rather than hide its right edge under the scroll bar.
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);

    auto changed = [this] { pending_.start(); };
    connect(initial_, &QComboBox::currentIndexChanged, this, [this, changed](int i) {
        a_->setText(kInitials[i].a);
        b_->setText(kInitials[i].b);
        InitialChosen();
        changed();
    });
    for (QLineEdit* box : {a_, b_, dt_, tEnd_}) connect(box, &QLineEdit::textChanged, this, changed);
    connect(scheme_, &QComboBox::currentIndexChanged, this, changed);
    connect(periodic_, &QCheckBox::toggled, this, changed);
    connect(play_, &QPushButton::toggled, this, [this](bool on) {
        play_->setText(on ? "&Pause" : "&Play");
        if (on && shown_ + 1 >= FramesReady() && finished_) ShowFrame(0);  // from the start again
        on ? player_.start(1000 / speed_->value()) : player_.stop();
    });
    connect(step_, &QPushButton::clicked, this, [this] {
        if (shown_ + 1 < FramesReady()) ShowFrame(shown_ + 1);
    });
    connect(rewind_, &QPushButton::clicked, this, [this] {
        if (FramesReady() > 0) ShowFrame(0);
    });
    connect(time_, &QSlider::valueChanged, this, [this](int k) {
        if (k != shown_ && k < FramesReady()) ShowFrame(k);
    });
    connect(speed_, &QSpinBox::valueChanged, this, [this](int fps) {
        if (player_.isActive()) player_.start(1000 / fps);
    });
    connect(spaceTimeScheme_, &QComboBox::currentIndexChanged, this, &TimeTab::ShowSpaceTime);
    InitialChosen();
}

// The labels of the initial state's numbers follow the choice.
void TimeTab::InitialChosen() {
    const InitialChoice& c = kInitials[std::max(0, initial_->currentIndex())];
    labelA_->setText(QString::fromUtf8(c.labelA) + ":");
    labelB_->setText(c.labelB ? QString::fromUtf8(c.labelB) + ":" : QString());
    b_->setVisible(c.labelB != nullptr);
}

void TimeTab::SetInputs(const std::optional<Inputs>& in, const QString& why) {
    inputs_ = in;
    inputsWhy_ = why;
    pending_.start();
}

void TimeTab::UpdateNow() {
    if (pending_.isActive()) {
        pending_.stop();
        Restart();
    }
}

void TimeTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (stale_) Restart();
}

bool TimeTab::Playing() const { return play_->isChecked(); }

// Any change: the run starts again from t = 0, the older one dropped.
void TimeTab::Restart() {
    StopProgress();
    if (!isVisible()) {
        marching_.Cancel();
        stale_ = true;
        return;
    }
    stale_ = false;
    QString why;
    const std::optional<transient::Plan> plan = Read(why);
    if (!plan) {
        marching_.Cancel();
        plan_.reset();
        frames_.clear();
        shown_ = -1;
        time_->setRange(0, 0);
        banner_->setText("Nothing is marched: " + why + ".");
        return;
    }
    const study::Problem& p = plan->problem;
    const transient::Steps steps = *transient::StepsOf(plan->tEnd, plan->dt, plan->frames);
    const transient::Numbers n = transient::NumbersOf(p, plan->N, steps.dt);
    figures_->setText(QString("Courant c = %1, diffusion number d = %2, cell Pe = %3%4")
                          .arg(Number(n.courant), Number(n.diffusion),
                               std::isfinite(n.cellPeclet) ? Number(n.cellPeclet) : QString("∞"),
                               steps.dt != plan->dt ? QString(" (steps of %1 s)").arg(Number(steps.dt)) : ""));
    // The quick verdicts at once; this grid's matrix is tested in the
    // background run, whose verdicts replace these when it starts.
    transient::Outcome quick;
    quick.numbers = n;
    transient::Spectrum pending;
    pending.why = "being computed";
    for (study::Scheme s : plan->schemes) {
        transient::SchemeOutcome o;
        o.scheme = s;
        o.verdict = transient::Assess(p, s, plan->N, plan->method, plan->theta, steps.dt, &pending);
        quick.schemes.push_back(o);
    }
    banner_->setText(StabilityText(*plan, quick, false) + (leftOut_.isEmpty() ? QString() : "\n" + leftOut_));
    plan_ = plan;
    frames_.clear();
    lastAlive_.assign(plan->schemes.size(), -1);
    shown_ = -1;
    finished_ = false;
    result_ = {};
    time_->setRange(0, 0);
    profile_->Start(*plan);
    for (study::Scheme s : plan->schemes)
        profileView_->findChild<MarkerTip*>()->Follow(
            profile_->SeriesOf(s), [](QPointF) { return QString(); }, [this, s] { return profile_->OffScaleText(s); });
    amplification_->Show(*plan, steps.dt);
    const QString picked = spaceTimeScheme_->currentText();
    spaceTimeScheme_->blockSignals(true);
    spaceTimeScheme_->clear();
    for (study::Scheme s : plan->schemes) spaceTimeScheme_->addItem(charts::SchemeTitle(s));
    spaceTimeScheme_->setCurrentIndex(std::max(0, spaceTimeScheme_->findText(picked)));
    spaceTimeScheme_->blockSignals(false);
    spaceTimeRows_.reset();
    spaceTime_->SetRows(nullptr, {});
    progressDelay_->start();
    marching_.Start([plan = *plan](JobControl& control, const TimeJob::Hand& hand) { return March(plan, control, hand); });
}

void TimeTab::Arrived(std::shared_ptr<const FrameSet> f) {
    if (f->started && plan_)
        banner_->setText(StabilityText(*plan_, *f->started, false) + (leftOut_.isEmpty() ? QString() : "\n" + leftOut_));
    for (std::size_t s = 0; s < f->alive.size(); ++s)
        if (f->alive[s]) lastAlive_[s] = f->index;
    const bool rows = f->spaceTime != nullptr;
    if (rows) spaceTimeRows_ = f->spaceTime;
    frames_.push_back(std::move(f));
    time_->setRange(0, int(frames_.size()) - 1);
    if (shown_ < 0) ShowFrame(0);  // the run's first frame at once
    if (rows) ShowSpaceTime();  // last: drawing lets the next frames in
}

void TimeTab::Ended(TimeResult result) {
    finished_ = true;
    StopProgress();
    result_ = std::move(result);
    if (result_.spaceTime) spaceTimeRows_ = result_.spaceTime;
    if (!result_.outcome) {
        banner_->setText(banner_->text() + "\nThe calculation failed: " + QString::fromStdString(result_.error));
        return;
    }
    banner_->setText(StabilityText(*plan_, *result_.outcome, true) + (leftOut_.isEmpty() ? QString() : "\n" + leftOut_));
    profile_->SetEndings(Endings(*result_.outcome));
    if (shown_ >= 0) ShowFrame(shown_);
    ShowSpaceTime();
}

// The next frame at the chosen speed: every frame in order while the run is
// ahead, the newest one as it comes while it is behind.
void TimeTab::Tick() {
    if (shown_ + 1 < FramesReady())
        ShowFrame(shown_ + 1);
    else if (finished_)
        play_->setChecked(false);
}

std::vector<const Shot*> TimeTab::LastGood(long k) const {
    std::vector<const Shot*> last(lastAlive_.size(), nullptr);
    for (std::size_t s = 0; s < lastAlive_.size(); ++s)
        if (lastAlive_[s] >= 0 && lastAlive_[s] < k) last[s] = &frames_[std::size_t(lastAlive_[s])]->shots[s];
    return last;
}

void TimeTab::ShowFrame(long k) {
    if (k < 0 || k >= FramesReady()) return;
    shown_ = k;
    profile_->ShowFrame(*frames_[std::size_t(k)], LastGood(k));
    const QSignalBlocker blocker(time_);
    time_->setValue(int(k));
}

void TimeTab::Reset() {
    initial_->setCurrentIndex(0);
    a_->setText(kInitials[0].a);
    b_->setText(kInitials[0].b);
    periodic_->setChecked(false);
    scheme_->setCurrentIndex(2);
    dt_->setText(kDt);
    tEnd_->setText(kTEnd);
    speed_->setValue(kSpeed);
}

}  // namespace compare
