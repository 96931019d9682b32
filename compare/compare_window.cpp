// The comparison window: its layout, menus and the flow from a change of
// the inputs to the charts, the table and the convergence run.
#include "compare_window.hpp"

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "charts/charts.hpp"
#include "charts/legend_list.hpp"
#include "charts/present.hpp"
#include "errors_model.hpp"
#include "explain.hpp"
#include "exports.hpp"
#include "input_panel.hpp"
#include "limiters_page.hpp"
#include "time_tab.hpp"
#include "marker_tip.hpp"
#include "refinement.hpp"
#include "screen_fit.hpp"
#include "window_settings.hpp"

namespace compare {

namespace {

// Nodes of all ticked schemes together, at N, that are solved on the
// window's own thread (six schemes at N = 100,000 take about 70 ms), a
// bounded scheme's counted ten times for its iterations.
constexpr long kMostNodesOnTheWindowsThread = 600'000, kBoundedWeight = 10;

QString Number(double v) { return QString::number(v, 'g', 4); }

// The schemes ticked at start, and after "Reset to defaults".
bool TickedAtStart(study::Scheme s) {
    return s == study::Scheme::Central || s == study::Scheme::Upwind || s == study::Scheme::Hybrid ||
           s == study::Scheme::Quick;
}

// A chart's view. Markers are drawn a little beyond their series' bounds,
// so the view repaints whole and finds hovered items without an index that
// a refilled series would leave stale.
QChartView* ChartView(QChart* chart, const char* name, const char* accessible) {
    auto* view = new QChartView(chart);
    view->setObjectName(name);
    view->setAccessibleName(accessible);
    view->setRenderHint(QPainter::Antialiasing);
    view->setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    view->scene()->setItemIndexMethod(QGraphicsScene::NoIndex);
    return view;
}

}  // namespace

CompareWindow::CompareWindow(QWidget* parent)
    : QMainWindow(parent),
      calculating_(this,
                   [this](Outcome outcome) {
                       if (outcome.study)
                           Shown(outcome.study, outcome.drawing);
                       else
                           Failed(outcome.error);
                   }),
      converging_(this, [this](std::shared_ptr<const study::Study> st) { Converged(std::move(st)); }) {
    setObjectName("CompareWindow");
    setWindowTitle("Convection-diffusion: compare schemes");

    inputs_ = new InputPanel({study::kAllSchemes.begin(), study::kAllSchemes.end()}, TickedAtStart);
    connect(inputs_, &InputPanel::changed, this, [this] { pending_.start(); });

    banner_ = new QLabel;
    banner_->setObjectName("banner");
    banner_->setWordWrap(true);
    banner_->setAccessibleName("What the cell Peclet number means");
    banner_->setStyleSheet("QLabel { padding: 4px; background: #fff8dc; border: 1px solid #d8c880; }");

    solutionChart_ = new charts::SolutionChart;
    solutionView_ =
        ChartView(solutionChart_, "solutionChart", "Solutions of the ticked schemes and the exact solution");
    markerTip_ = new MarkerTip(solutionView_);
    tabs_ = new QTabWidget;
    tabs_->addTab(charts::WithLegendList(solutionView_), "&Solutions");
    tabs_->addTab(BuildConvergencePage(), "&Convergence");
    limiters_ = new LimitersPage;
    tabs_->addTab(limiters_, "&Limiters");
    time_ = new TimeTab;
    tabs_->addTab(time_, "&Time");
    // The Time tab has a banner of its own, and no use for the steady table.
    // A page out of sight asks for no room: the window's least size is the
    // page on show's.
    auto pages = [this] {
        for (int i = 0; i < tabs_->count(); ++i)
            tabs_->widget(i)->setSizePolicy(i == tabs_->currentIndex() ? QSizePolicy::Preferred : QSizePolicy::Ignored,
                                            i == tabs_->currentIndex() ? QSizePolicy::Preferred : QSizePolicy::Ignored);
    };
    pages();
    connect(tabs_, &QTabWidget::currentChanged, this, [this, pages] {
        pages();
        if (solutionsStale_ && SolutionsInSight()) ShowSolutions();
        const bool steady = tabs_->currentWidget() != time_;
        banner_->setVisible(steady);
        table_->setVisible(steady);
        if (steady && convergenceWaits_) convergenceDelay_.start();
    });
    BuildTable();

    right_ = new QSplitter(Qt::Vertical);
    auto* top = new QWidget;
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(banner_);
    topLayout->addWidget(tabs_, 1);
    right_->addWidget(top);
    right_->addWidget(table_);
    right_->setStretchFactor(0, 3);
    right_->setStretchFactor(1, 1);
    right_->setCollapsible(1, false);

    auto* main = new QSplitter(Qt::Horizontal);
    main->addWidget(new InputScroll(inputs_));
    main->addWidget(right_);
    main->setStretchFactor(1, 1);
    main->setCollapsible(0, false);
    main->setCollapsible(1, false);
    setCentralWidget(main);
    BuildMenus();
    statusBar()->showMessage("Ready");
    ShowTimeExports(*this, time_->Exporting());

    pending_.setSingleShot(true);
    pending_.setInterval(0);
    connect(&pending_, &QTimer::timeout, this, &CompareWindow::Recalculate);
    convergenceDelay_.setSingleShot(true);
    convergenceDelay_.setInterval(250);
    connect(&convergenceDelay_, &QTimer::timeout, this, &CompareWindow::StartConvergence);

    // A bottom legend too narrow for its names moves beside its chart.
    for (QChartView* view : findChildren<QChartView*>()) charts::Present(view->chart(), false);
    resize(sizeHint().expandedTo(QSize(1100, 720)));
    FitScreen();
    const QString why = LoadSettings(*inputs_, *this, time_);
    FitScreen();
    Recalculate();
    if (!why.isEmpty()) statusBar()->showMessage(why);
}

CompareWindow::~CompareWindow() = default;

QWidget* CompareWindow::BuildConvergencePage() {
    convergenceChart_ = new charts::ConvergenceChart;
    convergenceView_ = ChartView(convergenceChart_, "convergenceChart", "Max error against N");
    progress_ = new QProgressBar;
    progress_->setRange(0, 100);
    progress_->setAccessibleName("Convergence computation");
    connect(&converging_, &JobBase::progressed, progress_, &QProgressBar::setValue);
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(charts::WithLegendList(convergenceView_));
    layout->addWidget(progress_);
    return page;
}

void CompareWindow::BuildTable() {
    errors_ = new ErrorsModel(this);
    table_ = new QTableView;
    table_->setModel(errors_);
    table_->setObjectName("errors");
    table_->setAccessibleName("Errors of the ticked schemes");
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(false);
    table_->setTextElideMode(Qt::ElideRight);
}

void CompareWindow::UpdateNow() {
    if (pending_.isActive()) {
        pending_.stop();
        Recalculate();
    }
}

// Every ticked scheme at N and, where it is allowed, at 2N for the observed
// order. Whatever is still being calculated for older inputs is dropped.
void CompareWindow::Recalculate() {
    QString why;
    const std::optional<Inputs> in = inputs_->Read(why);
    time_->SetInputs(in, why);
    if (!in || !in->steadyWhy.isEmpty()) {
        statusBar()->showMessage(why + " (showing the last good result)");
        return;
    }
    // Pure convection is for the Time tab; the steady tabs wait for Γ > 0.
    if (in->problem.gamma == 0) {
        calculating_.Cancel();
        converging_.Cancel();
        const QString words = "Γ = 0: the steady problem needs Γ > 0 (with no diffusion nothing holds the "
                              "profile against the flow); the Time tab marches pure convection.";
        banner_->setText(words);
        statusBar()->showMessage(words);
        return;
    }
    study::Plan plan;
    plan.schemes = in->schemes;
    plan.N = in->N;
    plan.refine = 2 * in->N <= study::kMaxN ? 1 : 0;
    calculating_.Cancel();
    long weight = 0;
    for (study::Scheme s : plan.schemes) weight += study::LimiterOf(s) ? kBoundedWeight : 1;
    if (in->N * weight <= kMostNodesOnTheWindowsThread) {
        try {
            auto st = std::make_shared<const study::Study>(study::Run(in->problem, plan));
            Shown(st, std::make_shared<const charts::SolutionDrawing>(charts::DrawingOf(*st)));
        } catch (const study::SolveError& e) {
            Failed(e.what());
        }
        return;
    }
    // Millions of nodes take a second or more: solved off the window's
    // thread, which goes on answering; the result is shown when it is ready.
    statusBar()->showMessage(QString("Calculating N = %1 …").arg(in->N));
    calculating_.Start([p = in->problem, plan](JobControl& control) -> std::optional<Outcome> {
        study::Callbacks callbacks;
        callbacks.cancelled = [&control] { return control.Cancelled(); };
        try {
            auto st = std::make_shared<const study::Study>(study::Run(p, plan, callbacks));
            // Drawn here too: reading every node would hold the window.
            auto drawing = std::make_shared<const charts::SolutionDrawing>(charts::DrawingOf(*st));
            return Outcome{std::move(st), std::move(drawing), {}};
        } catch (const study::Cancelled&) {
            return std::nullopt;
        } catch (const study::SolveError& e) {
            return Outcome{nullptr, nullptr, e.what()};
        }
    });
}

// A new result: shown, and the convergence run started once the inputs rest.
void CompareWindow::Shown(std::shared_ptr<const study::Study> st,
                          std::shared_ptr<const charts::SolutionDrawing> drawing) {
    std::shared_ptr<const study::Study> previous = std::move(current_);
    current_ = std::move(st);
    drawing_ = std::move(drawing);
    const study::Grid g = study::MakeGrid(current_->problem, current_->plan.N);
    banner_->setText(QString::fromStdString(Banner(*current_)));
    solutionsStale_ = true;
    if (SolutionsInSight()) ShowSolutions();
    limiters_->Show(current_);
    errors_->Show(current_, convergence_, drawing_->same);
    FitTable();
    inputs_->ShowPeclet(g.Pe);
    statusBar()->showMessage(QString("N = %1, cell Pe = %2").arg(g.N).arg(Number(g.Pe)));
    converging_.Cancel();
    convergenceDelay_.start();
    LetGoElsewhere(std::move(previous));  // once no part of the window holds it
}

// The Solutions tab holds the chart's view in a page of its own, with the
// legend list beside it.
bool CompareWindow::SolutionsInSight() const {
    const QWidget* page = tabs_->currentWidget();
    return page && (page == solutionView_ || page->isAncestorOf(solutionView_));
}

void CompareWindow::ShowSolutions() {
    solutionsStale_ = false;
    solutionChart_->Show(*current_, *drawing_);
    markerTip_->ShowAtMouse({});  // it told about the markers before
    ConnectHover();
}

void CompareWindow::Failed(const std::string& why) {
    statusBar()->showMessage(
        QString("The calculation failed: %1 (showing the last good result)").arg(QString::fromStdString(why)));
}

// Every row in sight: the table takes the height its rows need, the charts
// the rest; a note too long for its cell is whole in its tooltip.
void CompareWindow::FitTable() {
    for (int column = 0; column < ErrorsModel::kNote; ++column) table_->resizeColumnToContents(column);
    table_->resizeRowsToContents();
    int height = table_->horizontalHeader()->height() + 2 * table_->frameWidth();
    for (int row = 0; row < errors_->rowCount(); ++row) height += table_->rowHeight(row);
    if (table_->horizontalScrollBar()->isVisible()) height += table_->horizontalScrollBar()->height();
    // Beyond six rows the table scrolls, or with many schemes ticked the
    // window would not fit a short screen.
    constexpr int kMostRowsInSight = 6;
    int most = table_->horizontalHeader()->height() + 2 * table_->frameWidth() +
               kMostRowsInSight * table_->verticalHeader()->defaultSectionSize();
    if (table_->horizontalScrollBar()->isVisible()) most += table_->horizontalScrollBar()->height();
    table_->setMinimumHeight(std::min(height, most));
}

// The convergence tab: N, 2N, ... up to 1024 N (at most 10^7), off the
// window's thread, once the inputs have rested for a moment.
void CompareWindow::StartConvergence() {
    // While the Time tab is on show its march has the cores; the run waits.
    convergenceWaits_ = tabs_->currentWidget() == time_;
    if (convergenceWaits_) return;
    study::Plan plan = current_->plan;
    plan.refine = Refinements(plan.N);
    converging_.Start(
        [problem = current_->problem, plan](JobControl& control) -> std::optional<std::shared_ptr<const study::Study>> {
            study::Callbacks callbacks;
            callbacks.cancelled = [&control] { return control.Cancelled(); };
            callbacks.progress = [&control](double share) { control.Progress(share); };
            try {
                return std::make_shared<const study::Study>(study::Run(problem, plan, callbacks));
            } catch (const study::Cancelled&) {
                return std::nullopt;
            } catch (const study::SolveError&) {
                return nullptr;  // the live calculation says why
            }
        });
}

void CompareWindow::Converged(std::shared_ptr<const study::Study> st) {
    if (!st) return;
    std::shared_ptr<const study::Study> previous = std::move(convergence_);
    convergence_ = std::move(st);
    convergenceChart_->Show(*convergence_);
    errors_->Show(current_, convergence_, drawing_->same);
    FitTable();
    LetGoElsewhere(std::move(previous));
}

// Hovering over a marker tells its node, x, phi and error.
void CompareWindow::ConnectHover() {
    for (const auto& perScheme : current_->results) {
        const study::Scheme s = perScheme[0].scheme;
        QLineSeries* series = solutionChart_->SeriesOf(s);
        if (!series) continue;
        markerTip_->Follow(series, [this, s](const QPointF& point) -> QString {
            for (const auto& results : current_->results) {
                const study::Result& r = results[0];
                if (r.scheme != s) continue;
                const long i = charts::NodeAt(r.grid, point.x());
                const auto k = std::size_t(i - 1);
                return QString("%1, node %2\nx = %3 m\nφ = %4\nerror = %5")
                    .arg(charts::SchemeTitle(s))
                    .arg(i)
                    .arg(Number(r.grid.x(i)), Number(r.phi[k]), Number(r.phi[k] - current_->exact[k]));
            }
            return {};
        }, [this, s] { return solutionChart_->OffScaleText(s); });
    }
}

QChartView* CompareWindow::CurrentChartView() const {
    if (tabs_->currentWidget() == limiters_) return limiters_->View();
    if (tabs_->currentWidget() == time_) return time_->findChild<QChartView*>("transientChart");
    return tabs_->currentIndex() == 0 ? solutionView_ : convergenceView_;
}

// The chart on show, drawn afresh at the study program's size, so that the
// file is the one `convdiff-study --plot` writes for the same inputs.
QString CompareWindow::ExportChart(const QString& path) {
    if (tabs_->currentWidget() == limiters_) return ExportLimiterChart(current_.get(), path);
    if (tabs_->currentWidget() == time_) return time_->ExportChart(path);
    if (tabs_->currentIndex() == 0 || !current_) return ExportSolutionChart(current_.get(), path);
    return ExportConvergenceChart(convergence_.get(), path);
}

QString CompareWindow::ExportNodes(const QString& path) { return compare::ExportNodes(current_.get(), path); }
QString CompareWindow::ExportErrors(const QString& path) { return compare::ExportErrors(current_.get(), path); }
QString CompareWindow::TableText() const { return errors_->Text(); }

void CompareWindow::ResetToDefaults() {
    inputs_->Reset();
    time_->Reset();
}

void CompareWindow::closeEvent(QCloseEvent* event) {
    SaveSettings(*inputs_, *this, time_);
    time_->Exporting().Cancel();
    QMainWindow::closeEvent(event);
}

}  // namespace compare
