// The Limiters tab: the diagram's curves follow the ticked limiters, its
// faces the solution on show.
#include "limiters_page.hpp"

#include <QChartView>
#include <QCursor>
#include <QScatterSeries>
#include <QToolTip>
#include <QVBoxLayout>
#include <cmath>

#include "charts/charts.hpp"
#include "charts/limiter_chart.hpp"

namespace compare {

LimitersPage::LimitersPage(QWidget* parent) : QWidget(parent), chart_(new charts::LimiterChart) {
    view_ = new QChartView(chart_);
    view_->setObjectName("limiterChart");
    view_->setAccessibleName("Sweby's diagram with the faces of the solutions");
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    view_->scene()->setItemIndexMethod(QGraphicsScene::NoIndex);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    chart_->Show({});
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
    const study::Problem& p = study_->problem;
    for (std::size_t k = 0; k < study_->results.size(); ++k) {
        const study::Result& r = study_->results[k].at(0);
        const auto l = study::LimiterOf(r.scheme);
        if (!l) continue;
        const bool fresh = faces_.count(*l) == 0;
        faces_[*l] = study::LimitedFaces(r.grid, p.phiA, p.phiB, *l, r.phi);
        QScatterSeries* series = chart_->ShowFaces(*l, faces_[*l]);
        if (fresh)
            connect(series, &QScatterSeries::hovered, this,
                    [this, l = *l](const QPointF& point, bool state) { Hovered(l, point, state); });
    }
}

// The face under the pointer: the one nearest the hovered point.
void LimitersPage::Hovered(study::Limiter l, const QPointF& point, bool state) {
    const std::vector<study::Face>* faces = FacesOf(l);
    if (!state || !faces || faces->empty()) return QToolTip::hideText();
    std::size_t best = 0;
    double nearest = INFINITY;
    for (std::size_t k = 0; k < faces->size(); ++k) {
        const double d = std::hypot((*faces)[k].r - point.x(), (*faces)[k].psi - point.y());
        if (d < nearest) nearest = d, best = k;
    }
    QToolTip::showText(QCursor::pos(), charts::SchemeTitle(study::SchemeOf(l)) + ", " + charts::FaceText((*faces)[best]));
}

}  // namespace compare
