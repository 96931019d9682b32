// The comparison window's Limiters tab: Sweby's diagram of the ticked
// bounded schemes' limiters, and on it the (r, psi) points of the limited
// faces of the solution on show (all of them, or on a large grid a sample
// that draws the same picture, found off the window's thread), each
// telling its x, r and psi when hovered.
#pragma once

#include <QWidget>
#include <map>
#include <memory>
#include <vector>

#include "background_job.hpp"
#include "study/study.hpp"

class QChartView;

namespace charts {
class LimiterChart;
}

namespace compare {

class LimitersPage : public QWidget {
    Q_OBJECT

public:
    explicit LimitersPage(QWidget* parent = nullptr);

    // The study on show. The diagram is brought up to date at once when the
    // page is in sight, otherwise when it comes into sight.
    void Show(std::shared_ptr<const study::Study> st);
    QChartView* View() const { return view_; }
    charts::LimiterChart* Chart() const { return chart_; }
    // The faces of limiter `l` on show, point k of its series being face k.
    const std::vector<study::Face>* FacesOf(study::Limiter l) const;
    using FacesByLimiter = std::map<study::Limiter, std::vector<study::Face>>;
    // The search for the faces of a large grid.
    BackgroundJob<FacesByLimiter>& Finding() { return finding_; }
    // The study whose faces are on show: the one on show once they are found.
    const study::Study* FacesFor() const { return facesFor_.lock().get(); }

    // The ticked limiters of a study, in its order.
    static std::vector<study::Limiter> Limiters(const study::Study& st);

protected:
    void showEvent(QShowEvent* event) override;
    // The pointer's moves over the diagram, for the faces' tooltips.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Refresh();
    void ShowFaces(FacesByLimiter faces);
    // The tooltip of the face nearest `pos` (in the view's pixels), when one
    // is within a marker's reach.
    void Hovered(const QPoint& pos);

    QChartView* view_;
    charts::LimiterChart* chart_;
    std::shared_ptr<const study::Study> study_;
    // Not kept alive for this: a study of a large grid is large.
    std::weak_ptr<const study::Study> facesFor_, searchedFor_;
    bool stale_ = false;
    bool onFace_ = false;  // the pointer is over a face
    std::vector<study::Limiter> curves_;  // the limiters whose curves are drawn
    FacesByLimiter faces_;
    BackgroundJob<FacesByLimiter> finding_;
};

}  // namespace compare
