#include "compare_window.hpp"

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QSaveFile>
#include <QSettings>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <cmath>

#include "charts/charts.hpp"
#include "cli/options.hpp"
#include "cli/report.hpp"
#include "explain.hpp"
#include "solver/vector_state.hpp"
#include "study/csv.hpp"

extern "C" void ilaver_(int* major, int* minor, int* patch);

namespace compare {

namespace {

constexpr int kSliderSteps = 10;  // the slider moves Pe in steps of 0.1
constexpr int kSliderLimit = 10 * kSliderSteps;
const QSize kExportSize(1000, 650);   // the size convdiff-study draws at
constexpr int kMostRefinements = 10;  // N to 1024 N on the convergence tab
// Nodes of all ticked schemes together, at N, that are solved on the
// window's own thread (six schemes at N = 100,000 take about 70 ms).
constexpr long kMostNodesOnTheWindowsThread = 600'000;

struct Box {
    const char* name;
    const char* label;
    const char* accessible;
};
constexpr std::array<Box, 7> kBoxes{{{"phiA", "φA", "φA, phi at x = 0"},
                                     {"phiB", "φB", "φB, phi at x = L"},
                                     {"u", "u (m/s)", "u, velocity in m/s"},
                                     {"N", "N", "N, number of control volumes"},
                                     {"L", "L (m)", "L, length of the domain in m"},
                                     {"rho", "ρ (kg/m³)", "rho, density in kg/m3"},
                                     {"gamma", "Γ (kg/(m·s))", "Gamma, diffusion coefficient in kg/(m s)"}}};

QString Number(double v) { return QString::number(v, 'g', 4); }

// Until the inputs have once been good (a remembered entry may not be),
// there is nothing to export.
const QString kNothingYet = "nothing has been calculated yet: correct the marked inputs first";

QString Saved(const QString& path, const std::string& text) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(text.data(), qint64(text.size())) == qint64(text.size()) &&
        file.commit())
        return {};
    return QString("%1: %2").arg(path, file.errorString());
}

// The schemes ticked at start, and after "Reset to defaults".
bool TickedAtStart(study::Scheme s) {
    return s == study::Scheme::Central || s == study::Scheme::Upwind || s == study::Scheme::Hybrid ||
           s == study::Scheme::Quick;
}

// "central", "powerlaw": the names of the settings file and the objectNames.
QString NameOf(study::Scheme s) { return QString::fromUtf8(study::Name(s).data(), qsizetype(study::Name(s).size())); }

QIcon Swatch(const QColor& colour) {
    QPixmap pixmap(14, 14);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

}  // namespace

CompareWindow::CompareWindow(QWidget* parent)
    : QMainWindow(parent),
      computing_(new QFutureWatcher<Outcome>(this)),
      cancelLive_(std::make_shared<std::atomic<bool>>(false)),
      converging_(new QFutureWatcher<std::shared_ptr<const study::Study>>(this)),
      cancelConvergence_(std::make_shared<std::atomic<bool>>(false)),
      convergenceProgress_(std::make_shared<std::atomic<int>>(0)) {
    setObjectName("CompareWindow");
    setWindowTitle("Convection-diffusion: compare schemes");

    auto* panel = new QWidget;
    BuildInputs(panel);

    banner_ = new QLabel;
    banner_->setObjectName("banner");
    banner_->setWordWrap(true);
    banner_->setAccessibleName("What the cell Peclet number means");
    banner_->setStyleSheet("QLabel { padding: 4px; background: #fff8dc; border: 1px solid #d8c880; }");

    solutionChart_ = new charts::SolutionChart;
    solutionView_ = new QChartView(solutionChart_);
    solutionView_->setObjectName("solutionChart");
    solutionView_->setRenderHint(QPainter::Antialiasing);
    solutionView_->setAccessibleName("Solutions of the ticked schemes and the exact solution");
    convergenceChart_ = new charts::ConvergenceChart;
    convergenceView_ = new QChartView(convergenceChart_);
    convergenceView_->setObjectName("convergenceChart");
    convergenceView_->setRenderHint(QPainter::Antialiasing);
    convergenceView_->setAccessibleName("Max error against N");
    progress_ = new QProgressBar;
    progress_->setRange(0, 100);
    progress_->setAccessibleName("Convergence computation");
    auto* convergencePage = new QWidget;
    auto* convergenceLayout = new QVBoxLayout(convergencePage);
    convergenceLayout->addWidget(convergenceView_);
    convergenceLayout->addWidget(progress_);

    tabs_ = new QTabWidget;
    tabs_->addTab(solutionView_, "&Solutions");
    tabs_->addTab(convergencePage, "&Convergence");

    table_ = new QTableWidget(0, 7);
    table_->setObjectName("errors");
    table_->setAccessibleName("Errors of the ticked schemes");
    table_->setHorizontalHeaderLabels(
        {"Scheme", "Max error", "RMS error", "Order (N to 2N)", "Bounded", "Negative coefficients", "Note"});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);

    auto* right = new QSplitter(Qt::Vertical);
    auto* top = new QWidget;
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(banner_);
    topLayout->addWidget(tabs_, 1);
    right->addWidget(top);
    right->addWidget(table_);
    right->setStretchFactor(0, 3);
    right->setStretchFactor(1, 1);

    auto* main = new QSplitter(Qt::Horizontal);
    main->addWidget(panel);
    main->addWidget(right);
    main->setStretchFactor(1, 1);
    setCentralWidget(main);
    BuildMenus();
    statusBar()->showMessage("Ready");

    pending_.setSingleShot(true);
    pending_.setInterval(0);
    connect(&pending_, &QTimer::timeout, this, &CompareWindow::Recalculate);
    convergenceDelay_.setSingleShot(true);
    convergenceDelay_.setInterval(250);
    connect(&convergenceDelay_, &QTimer::timeout, this, &CompareWindow::StartConvergence);
    progressTimer_.setInterval(100);
    connect(&progressTimer_, &QTimer::timeout, this, [this] { progress_->setValue(convergenceProgress_->load()); });
    connect(computing_, &QFutureWatcher<Outcome>::finished, this, [this] {
        const Outcome outcome = computing_->result();
        if (outcome.study)
            Shown(outcome.study);
        else if (!outcome.error.empty())
            Failed(outcome.error);
    });
    connect(converging_, &QFutureWatcher<std::shared_ptr<const study::Study>>::finished, this, [this] {
        progressTimer_.stop();
        const auto result = converging_->result();
        if (!result) return;  // cancelled, or failed (said in the status bar)
        convergence_ = result;
        progress_->setValue(100);
        convergenceChart_->Show(*result);
    });

    resize(1100, 720);
    LoadSettings();
    Recalculate();
}

CompareWindow::~CompareWindow() {
    cancelLive_->store(true);
    cancelConvergence_->store(true);
    computing_->waitForFinished();
    converging_->waitForFinished();
}

void CompareWindow::BuildInputs(QWidget* panel) {
    auto* layout = new QVBoxLayout(panel);
    auto* form = new QFormLayout;
    const InputTexts defaults;
    const QString values[] = {defaults.phiA, defaults.phiB, defaults.u,    defaults.N,
                              defaults.L,    defaults.rho,  defaults.gamma};
    for (std::size_t i = 0; i < kBoxes.size(); ++i) {
        auto* box = new QLineEdit(values[i]);
        box->setObjectName(kBoxes[i].name);
        box->setAccessibleName(QString::fromUtf8(kBoxes[i].accessible));
        box->setMinimumWidth(90);
        auto* label = new QLabel(QString::fromUtf8(kBoxes[i].label) + ":");
        label->setBuddy(box);
        form->addRow(label, box);
        boxes_[i] = box;
        connect(box, &QLineEdit::textChanged, this, &CompareWindow::Changed);
    }
    phiA_ = boxes_[0];
    phiB_ = boxes_[1];
    u_ = boxes_[2];
    N_ = boxes_[3];
    L_ = boxes_[4];
    rho_ = boxes_[5];
    gamma_ = boxes_[6];
    layout->addLayout(form);

    auto* pecletLabel = new QLabel("Cell Peclet number, −10 to 10:");
    peclet_ = new QSlider(Qt::Horizontal);
    peclet_->setObjectName("peclet");
    peclet_->setAccessibleName("Cell Peclet number");
    peclet_->setRange(-kSliderLimit, kSliderLimit);
    peclet_->setSingleStep(1);
    peclet_->setPageStep(kSliderSteps);
    peclet_->setTickPosition(QSlider::TicksBelow);
    peclet_->setTickInterval(2 * kSliderSteps);
    pecletLabel->setBuddy(peclet_);
    connect(peclet_, &QSlider::valueChanged, this, &CompareWindow::SliderMoved);
    layout->addWidget(pecletLabel);
    layout->addWidget(peclet_);

    auto* group = new QGroupBox("Schemes");
    auto* groupLayout = new QVBoxLayout(group);
    for (study::Scheme s : study::kLinearSchemes) {
        auto* check = new QCheckBox(charts::SchemeTitle(s));
        check->setObjectName("show_" + NameOf(s));
        check->setIcon(Swatch(charts::SchemeColour(s)));
        check->setChecked(TickedAtStart(s));
        connect(check, &QCheckBox::toggled, this, &CompareWindow::Changed);
        groupLayout->addWidget(check);
        show_[s] = check;
    }
    layout->addWidget(group);
    layout->addStretch(1);
}

void CompareWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    file->addAction("&Export chart…", QKeySequence::Save, this, &CompareWindow::AskAndExportChart);
    file->addAction("Export &nodes (CSV)…", this, [this] { AskAndExport(true); });
    file->addAction("Export &errors (CSV)…", this, [this] { AskAndExport(false); });
    file->addSeparator();
    file->addAction("&Quit", QKeySequence::Quit, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu("&Edit");
    // Ctrl+C copies the table when it has the focus, the chart otherwise.
    edit->addAction("&Copy chart", QKeySequence::Copy, this, [this] {
        if (table_->hasFocus())
            QApplication::clipboard()->setText(TableText());
        else
            QApplication::clipboard()->setImage(CurrentChartView()->grab().toImage());
    });
    edit->addAction("Copy &table", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), this,
                    [this] { QApplication::clipboard()->setText(TableText()); });
    edit->addSeparator();
    edit->addAction("&Reset to defaults", this, &CompareWindow::ResetToDefaults);

    QMenu* help = menuBar()->addMenu("&Help");
    help->addAction("&About", this, [this] {
        int major = 0, minor = 0, patch = 0;
        ilaver_(&major, &minor, &patch);
        QMessageBox::about(this, "About",
                           QString("<b>Convection-diffusion: compare schemes</b> %1<br><br>"
                                   "Every scheme of the finite-volume course solved side by side against the "
                                   "exact solution.<br><br>Built on Qt %2 (Widgets, Charts, SVG, Concurrent) "
                                   "and LAPACK %3.%4.%5.")
                               .arg(QCoreApplication::applicationVersion(), qVersion())
                               .arg(major)
                               .arg(minor)
                               .arg(patch));
    });
}

// A change of any input: the update runs once the event loop has handled
// every event already queued, so a dragged slider never queues work.
void CompareWindow::Changed() {
    if (!settingSlider_) pending_.start();
}

void CompareWindow::UpdateNow() {
    if (pending_.isActive()) {
        pending_.stop();
        Recalculate();
    }
}

// Reads every box strictly; a box that cannot be used is marked, with the
// reason as its tooltip and in the status bar. Returns whether all are good.
bool CompareWindow::ReadInputs(study::Problem& p, long& N) {
    QStringList reasons;
    const bool quick = show_.at(study::Scheme::Quick)->isChecked();
    double values[7] = {};
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        QString why;
        const std::optional<double> v = cli::ReadStrictNumber(boxes_[i]->text().toStdString());
        if (!v) {
            why = "not a number: write it like 2.5 or 1e-3, with \".\" as the decimal point";
        } else {
            values[i] = *v;
            if (boxes_[i] == N_) {
                const long least = quick ? study::MinimumN(study::Scheme::Quick) : 1;
                if (*v != std::floor(*v) || *v < double(least) || *v > double(study::kMaxN))
                    why = quick ? "a whole number from 3 to 10,000,000 with QUICK ticked"
                                : "a whole number from 1 to 10,000,000";
            } else if (boxes_[i] == L_ && *v == 0) {
                why = "must not be 0: the domain would have no length";
            } else if (boxes_[i] == gamma_ && *v == 0) {
                why = "must not be 0: with no diffusion the cell Peclet number is undefined";
            }
        }
        boxes_[i]->setToolTip(why.isEmpty() ? QString() : QString::fromUtf8(kBoxes[i].label) + ": " + why);
        boxes_[i]->setStyleSheet(why.isEmpty() ? QString()
                                               : "QLineEdit { border: 2px solid #d62728; background: #fff0f0; }");
        boxes_[i]->setProperty("invalid", !why.isEmpty());
        if (!why.isEmpty()) reasons.append(QString::fromUtf8(kBoxes[i].label) + ": " + why);
    }
    if (!reasons.isEmpty()) {
        statusBar()->showMessage(reasons.join("; ") + " (showing the last good result)");
        return false;
    }
    p = {values[0], values[1], values[2], values[4], values[5], values[6]};
    N = static_cast<long>(values[3]);
    return true;
}

std::vector<study::Scheme> CompareWindow::Ticked() const {
    std::vector<study::Scheme> ticked;
    for (study::Scheme s : study::kLinearSchemes)
        if (show_.at(s)->isChecked()) ticked.push_back(s);
    return ticked;
}

// Every ticked scheme at N and, where it is allowed, at 2N for the observed
// order.
void CompareWindow::Recalculate() {
    study::Problem p;
    long N = 0;
    if (!ReadInputs(p, N)) return;
    study::Plan plan;
    plan.schemes = Ticked();
    plan.N = N;
    plan.refine = 2 * N <= study::kMaxN ? 1 : 0;
    cancelLive_->store(true);  // a background calculation of older inputs is not wanted any more
    if (N * long(plan.schemes.size()) <= kMostNodesOnTheWindowsThread) {
        try {
            Shown(std::make_shared<const study::Study>(study::Run(p, plan)));
        } catch (const study::SolveError& e) {
            Failed(e.what());
        }
        return;
    }
    // Millions of nodes take a second or more: solved off the window's
    // thread, which goes on answering; the result is shown when it is ready.
    statusBar()->showMessage(QString("Calculating N = %1 …").arg(N));
    cancelLive_ = std::make_shared<std::atomic<bool>>(false);
    computing_->setFuture(QtConcurrent::run([p, plan, cancel = cancelLive_]() -> Outcome {
        calc::ClearUpperVectorState();
        study::Callbacks callbacks;
        callbacks.cancelled = [cancel] { return cancel->load(); };
        try {
            return {std::make_shared<const study::Study>(study::Run(p, plan, callbacks)), {}};
        } catch (const study::Cancelled&) {
            return {};
        } catch (const study::SolveError& e) {
            return {nullptr, e.what()};
        }
    }));
}

// A new result: shown, and the convergence run started once the inputs rest.
void CompareWindow::Shown(std::shared_ptr<const study::Study> st) {
    Show(std::move(st));
    const study::Grid g = study::MakeGrid(current_->problem, current_->plan.N);
    statusBar()->showMessage(QString("N = %1, cell Pe = %2").arg(g.N).arg(Number(g.Pe)));
    CancelConvergence();
    convergenceDelay_.start();
}

void CompareWindow::Failed(const std::string& why) {
    statusBar()->showMessage(
        QString("The calculation failed: %1 (showing the last good result)").arg(QString::fromStdString(why)));
}

bool CompareWindow::Calculating() const { return computing_->isRunning(); }

void CompareWindow::Show(std::shared_ptr<const study::Study> st) {
    current_ = std::move(st);
    const study::Grid g = study::MakeGrid(current_->problem, current_->plan.N);
    banner_->setText(QString::fromStdString(Banner(g.Pe)));
    solutionChart_->Show(*current_);
    ConnectHover();
    FillTable(*current_);
    SyncSlider();
}

void CompareWindow::FillTable(const study::Study& st) {
    table_->setRowCount(int(st.results.size()));
    for (std::size_t row = 0; row < st.results.size(); ++row) {
        const study::Result& r = st.results[row].at(0);
        QString order = "–";  // none at the finest N allowed
        if (st.results[row].size() > 1 && st.results[row][1].orderMax) order = Number(*st.results[row][1].orderMax);
        const QString cells[] = {charts::SchemeTitle(r.scheme),
                                 Number(r.maxError),
                                 Number(r.rmsError),
                                 order,
                                 r.bounded ? "yes" : "no",
                                 r.NegativeCoefficients() ? "yes" : "no",
                                 QString::fromStdString(cli::Warning(st, r))};
        for (int column = 0; column < 7; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (!r.bounded) item->setBackground(QColor(255, 215, 215));
            if (column == 0) item->setIcon(Swatch(charts::SchemeColour(r.scheme)));
            item->setToolTip(cells[6]);
            table_->setItem(int(row), column, item);
        }
    }
    for (int column = 0; column < 6; ++column) table_->resizeColumnToContents(column);
}

// Hovering over a marker tells its node, x, phi and error.
void CompareWindow::ConnectHover() {
    for (const auto& perScheme : current_->results) {
        const study::Scheme s = perScheme[0].scheme;
        QLineSeries* series = solutionChart_->SeriesOf(s);
        if (!series || series->property("hover").toBool()) continue;
        series->setProperty("hover", true);
        connect(series, &QLineSeries::hovered, this, [this, s](const QPointF& point, bool state) {
            if (!state || !current_) return QToolTip::hideText();
            for (const auto& results : current_->results) {
                const study::Result& r = results[0];
                if (r.scheme != s) continue;
                const long i = std::clamp(long(std::lround(point.x() / r.grid.dx + 0.5)), 1L, r.grid.N);
                const auto k = std::size_t(i - 1);
                QToolTip::showText(QCursor::pos(), QString("%1, node %2\nx = %3 m\nφ = %4\nerror = %5")
                                                       .arg(charts::SchemeTitle(s))
                                                       .arg(i)
                                                       .arg(Number(r.grid.x(i)), Number(r.phi[k]),
                                                            Number(r.phi[k] - current_->exact[k])));
            }
        });
    }
}

// A run still going stops before its next solve; its result is dropped.
void CompareWindow::CancelConvergence() {
    if (converging_->isRunning() && !cancelConvergence_->load()) ++cancelledRuns_;
    cancelConvergence_->store(true);
}

// The convergence tab: N, 2N, ... up to 1024 N (at most 10^7), on a pool
// thread, once the inputs have rested for a moment.
void CompareWindow::StartConvergence() {
    CancelConvergence();
    cancelConvergence_ = std::make_shared<std::atomic<bool>>(false);
    convergenceProgress_->store(0);
    progress_->setValue(0);
    study::Plan plan = current_->plan;
    plan.refine = 0;
    while (plan.refine < kMostRefinements && (plan.N << (plan.refine + 1)) <= study::kMaxN) ++plan.refine;
    const study::Problem problem = current_->problem;
    auto cancel = cancelConvergence_;
    auto progress = convergenceProgress_;
    converging_->setFuture(
        QtConcurrent::run([problem, plan, cancel, progress]() -> std::shared_ptr<const study::Study> {
            study::Callbacks callbacks;
            callbacks.cancelled = [cancel] { return cancel->load(); };
            callbacks.progress = [progress](double share) { progress->store(int(share * 100)); };
            try {
                return std::make_shared<const study::Study>(study::Run(problem, plan, callbacks));
            } catch (const study::Cancelled&) {
            } catch (const study::SolveError&) {
            }
            return nullptr;
        }));
    progressTimer_.start();
}

bool CompareWindow::ConvergenceRunning() const { return converging_->isRunning(); }

// The slider sets u = Pe Gamma / (rho dx) from the other inputs.
void CompareWindow::SliderMoved(int value) {
    if (settingSlider_) return;
    const auto gamma = cli::ReadStrictNumber(gamma_->text().toStdString());
    const auto rho = cli::ReadStrictNumber(rho_->text().toStdString());
    const auto L = cli::ReadStrictNumber(L_->text().toStdString());
    const auto N = cli::ReadStrictNumber(N_->text().toStdString());
    if (!gamma || !rho || !L || !N || *rho == 0 || *L == 0 || *N < 1) return;
    const double dx = *L / *N;
    const double u = double(value) / kSliderSteps * *gamma / (*rho * dx);
    if (std::isfinite(u)) u_->setText(QString::number(u, 'g', 12));
}

// And u moves the slider, without the slider moving u back.
void CompareWindow::SyncSlider() {
    const double pe = study::MakeGrid(current_->problem, current_->plan.N).Pe;
    const double steps = std::clamp(std::round(pe * kSliderSteps), double(-kSliderLimit), double(kSliderLimit));
    settingSlider_ = true;
    peclet_->setValue(int(steps));
    settingSlider_ = false;
}

QChartView* CompareWindow::CurrentChartView() const {
    return tabs_->currentIndex() == 0 ? solutionView_ : convergenceView_;
}

// The chart on show, drawn afresh at the study program's size, so that the
// file is the one `convdiff-study --plot` writes for the same inputs.
QString CompareWindow::ExportChart(const QString& path) {
    if (!current_) return kNothingYet;
    if (tabs_->currentIndex() == 0) {
        charts::SolutionChart chart;
        chart.Show(*current_);
        return charts::Save(&chart, path, kExportSize);
    }
    if (!convergence_) return "the convergence chart is still being computed";
    charts::ConvergenceChart chart;
    chart.Show(*convergence_);
    return charts::Save(&chart, path, kExportSize);
}

QString CompareWindow::ExportNodes(const QString& path) {
    return current_ ? Saved(path, study::csv::NodesTable(*current_)) : kNothingYet;
}
QString CompareWindow::ExportErrors(const QString& path) {
    return current_ ? Saved(path, study::csv::ErrorsTable(*current_)) : kNothingYet;
}

QString CompareWindow::TableText() const {
    QStringList lines;
    QStringList header;
    for (int c = 0; c < table_->columnCount(); ++c) header.append(table_->horizontalHeaderItem(c)->text());
    lines.append(header.join('\t'));
    for (int r = 0; r < table_->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table_->columnCount(); ++c) cells.append(table_->item(r, c)->text());
        lines.append(cells.join('\t'));
    }
    return lines.join('\n') + '\n';
}

void CompareWindow::AskAndExportChart() {
    const QString path =
        QFileDialog::getSaveFileName(this, "Export chart", "chart.png", "PNG image (*.png);;SVG drawing (*.svg)");
    if (path.isEmpty()) return;
    const QString why = ExportChart(path);
    if (!why.isEmpty())
        QMessageBox::warning(this, windowTitle(), "The chart could not be written to " + path + ": " + why);
}

void CompareWindow::AskAndExport(bool nodes) {
    const QString path = QFileDialog::getSaveFileName(this, nodes ? "Export nodes" : "Export errors",
                                                      nodes ? "nodes.csv" : "errors.csv", "CSV table (*.csv)");
    if (path.isEmpty()) return;
    const QString why = nodes ? ExportNodes(path) : ExportErrors(path);
    if (!why.isEmpty()) QMessageBox::warning(this, windowTitle(), "The table could not be written to " + why);
}

void CompareWindow::SetInputs(const InputTexts& t) {
    const QString values[] = {t.phiA, t.phiB, t.u, t.N, t.L, t.rho, t.gamma};
    for (std::size_t i = 0; i < boxes_.size(); ++i) boxes_[i]->setText(values[i]);
}

void CompareWindow::ResetToDefaults() {
    SetInputs({});
    for (auto& [scheme, check] : show_) check->setChecked(TickedAtStart(scheme));
}

// The last inputs, ticked schemes and geometry. Anything unreadable or out
// of place is passed over: the defaults stand in for it.
void CompareWindow::LoadSettings() {
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, "convdiff", "convdiff-compare");
    if (settings.status() != QSettings::NoError) return;
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        const QVariant v = settings.value(QString("inputs/") + kBoxes[i].name);
        if (v.typeId() == QMetaType::QString && v.toString().size() <= 64) boxes_[i]->setText(v.toString());
    }
    const QVariant schemes = settings.value("schemes");
    if (schemes.typeId() == QMetaType::QStringList || schemes.typeId() == QMetaType::QString) {
        const QStringList names = schemes.toStringList();
        for (auto& [scheme, check] : show_) check->setChecked(names.contains(NameOf(scheme)));
    }
    const QVariant geometry = settings.value("geometry");
    if (geometry.typeId() == QMetaType::QByteArray) restoreGeometry(geometry.toByteArray());
}

void CompareWindow::SaveSettings() const {
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, "convdiff", "convdiff-compare");
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        settings.setValue(QString("inputs/") + kBoxes[i].name, boxes_[i]->text());
    QStringList names;
    for (study::Scheme s : Ticked()) names.append(NameOf(s));
    settings.setValue("schemes", names);
    settings.setValue("geometry", saveGeometry());
}

void CompareWindow::closeEvent(QCloseEvent* event) {
    SaveSettings();
    QMainWindow::closeEvent(event);
}

}  // namespace compare
