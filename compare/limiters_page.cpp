// The Limiters tab: the diagram's curves follow the ticked limiters, its
// faces the solution on show.
#include "limiters_page.hpp"

#include <QChartView>
#include <QMouseEvent>
#include <QScatterSeries>
#include <QToolTip>
#include <QVBoxLayout>
#include <cmath>
#include <optional>

#include "charts/charts.hpp"
#include "charts/legend_list.hpp"
#include "charts/limiter_chart.hpp"
#include "face_sample.hpp"

namespace compare {

namespace {

// Nodes of all ticked limiters together whose faces are found on the
// window's own thread (a few milliseconds); on larger grids they are found
// in the background.
constexpr long kMostNodesOnTheWindowsThread = 200'000;

// The faces shown of every ticked limiter of `st`; nothing when cancelled.
std::optional<LimitersPage::FacesByLimiter> FindFaces(const study::Study& st, const JobControl* control) {
    LimitersPage::FacesByLimiter found;
    const study::Problem& p = st.problem;
    for (const auto& grids : st.results) {
        const study::Result& r = grids.at(0);
        const auto l = study::LimiterOf(r.scheme);
        if (!l) continue;
        if (control && control->Cancelled()) return std::nullopt;
        found[*l] = FacesShown(study::LimitedFaces(p, r.grid, *l, r.phi), charts::LimiterChart::kMostR);
    }
    return found;
}

}  // namespace

LimitersPage::LimitersPage(QWidget* parent)
    : QWidget(parent),
      chart_(new charts::LimiterChart),
      finding_(this, [this](FacesByLimiter faces) { ShowFaces(std::move(faces)); }) {
    view_ = new QChartView(chart_);
    view_->setObjectName("limiterChart");
    view_->setAccessibleName("Sweby's diagram with the faces of the solutions");
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    view_->scene()->setItemIndexMethod(QGraphicsScene::NoIndex);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(charts::WithLegendList(view_));
    chart_->Show({});
    // Faces sit on their limiter's curve, whose line would take the hover
    // from them: the page finds the face under the pointer itself.
    view_->viewport()->setMouseTracking(true);
    view_->viewport()->installEventFilter(this);
}

std::vector<study::Limiter> LimitersPage::Limiters(const study::Study& st) {
    std::vector<study::Limiter> limiters;
    for (study::Scheme s : st.plan.schemes)
        if (const auto l = study::LimiterOf(s)) limiters.push_back(*l);
    return limiters;
}

void LimitersPage::Show(std::shared_ptr<const study::Study> st) {
    study_ = std::move(st);
    stale_ = true;
    if (isVisible()) Refresh();
}

void LimitersPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (stale_) Refresh();
}

const std::vector<study::Face>* LimitersPage::FacesOf(study::Limiter l) const {
    const auto it = faces_.find(l);
    return it == faces_.end() ? nullptr : &it->second;
}

void LimitersPage::Refresh() {
    stale_ = false;
    if (!study_) return;
    const std::vector<study::Limiter> limiters = Limiters(*study_);
    // The curves are drawn anew only when the ticks change.
    if (limiters != curves_) {
        chart_->Show(limiters);
        curves_ = limiters;
        faces_.clear();
    }
    long nodes = 0;
    for (const auto& grids : study_->results)
        if (study::LimiterOf(grids.at(0).scheme)) nodes += grids[0].grid.N;
    if (nodes <= kMostNodesOnTheWindowsThread) {
        finding_.Cancel();  // a search for older faces would come after these
        searchedFor_ = study_;
        return ShowFaces(*FindFaces(*study_, nullptr));
    }
    searchedFor_ = study_;
    finding_.Start([st = study_](JobControl& control) { return FindFaces(*st, &control); });
}

// The faces of searchedFor_: only the newest search's reach here.
void LimitersPage::ShowFaces(FacesByLimiter faces) {
    facesFor_ = searchedFor_;
    for (auto& [l, shown] : faces) {
        faces_[l] = std::move(shown);
        chart_->ShowFaces(l, faces_[l]);
    }
}

bool LimitersPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched != view_->viewport()) return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::MouseMove) Hovered(static_cast<QMouseEvent*>(event)->position().toPoint());
    // The scene's own help, asked once the pointer rests, would hide the
    // face's tooltip: it has none of its own to show there.
    if (event->type() == QEvent::ToolTip && onFace_) return true;
    return QWidget::eventFilter(watched, event);
}

void LimitersPage::Hovered(const QPoint& pos) {
    const QPointF at = chart_->mapFromScene(view_->mapToScene(pos));
    constexpr double kReach = 6;  // pixels: about a marker's radius
    double nearest = kReach;
    const study::Face* best = nullptr;
    study::Limiter limiter{};
    for (const auto& [l, faces] : faces_) {
        QScatterSeries* series = chart_->FacesOf(l);
        if (!series) continue;
        for (const study::Face& f : faces) {
            if (f.r > charts::LimiterChart::kMostR) continue;
            const QPointF p = chart_->mapToPosition(QPointF(f.r, f.psi), series);
            const double d = std::hypot(p.x() - at.x(), p.y() - at.y());
            if (d < nearest) nearest = d, best = &f, limiter = l;
        }
    }
    onFace_ = best != nullptr;
    if (!best) return QToolTip::hideText();
    QToolTip::showText(view_->viewport()->mapToGlobal(pos),
                       charts::SchemeTitle(study::SchemeOf(limiter)) + ", " + charts::FaceText(*best));
}

}  // namespace compare
