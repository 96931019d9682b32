// The picture box: paints a plot model on a light yellow background. It
// keeps the model, so the plot is repainted whenever the window needs it
// (uncovered, resized) and not only right after a calculation.
#pragma once

#include <QFrame>
#include <optional>

#include "solution_plot.hpp"

class PlotArea : public QFrame {
public:
    explicit PlotArea(QWidget* parent = nullptr);

    // Replaces the picture; std::nullopt leaves the area blank.
    void SetModel(std::optional<plot::PlotModel> model);
    const std::optional<plot::PlotModel>& Model() const { return model_; }

    // Where a point in user units lands in widget pixels under the current
    // scale and size (for painting and for tests).
    QPointF ToPixels(double x, double y) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<plot::PlotModel> model_;
};
