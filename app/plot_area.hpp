// The picture box: paints a plot model on a light yellow background. It
// keeps the model, so the plot is repainted whenever the window needs it
// (uncovered, resized) and not only right after a calculation.
//
// A plot of many thousand shapes takes a tenth of a second and more to
// draw: such a picture is drawn by the same code into an image on another
// thread, and the area shows it once it is ready, while the window goes on
// answering.
#pragma once

#include <QFrame>
#include <QFutureWatcher>
#include <QImage>
#include <QThreadPool>
#include <memory>
#include <optional>

#include "solution_plot.hpp"

class PlotArea : public QFrame {
    Q_OBJECT

public:
    explicit PlotArea(QWidget* parent = nullptr);

    // Replaces the picture; std::nullopt leaves the area blank.
    void SetModel(std::optional<plot::PlotModel> model);
    const plot::PlotModel* Model() const { return model_.get(); }

    // Plots with more shapes than this are drawn off the window's thread.
    static constexpr std::size_t kMostShapesDrawnDirectly = 20000;
    // Whether a picture is still being drawn off the window's thread.
    bool Drawing() const;
    // Waits until it is drawn and shown (for tests and exports).
    void WaitUntilDrawn();

    // Where a point in user units lands in widget pixels under the current
    // scale and size (for painting and for tests).
    QPointF ToPixels(double x, double y) const;

    // The plot drawn at `size` pixels by the same code as the screen.
    QImage Image(QSize size) const;
    // Saves the plot as PNG, or as SVG when the name ends in ".svg", whole or
    // not at all. Returns an empty text, or a message with the path and why.
    QString SaveImage(const QString& path, QSize size) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // "Copy image" and "Save image as…".
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void AskAndSave();
    void StartDrawing();

    std::shared_ptr<const plot::PlotModel> model_;
    // The picture drawn off the window's thread, and what it was drawn for.
    QImage picture_;
    std::shared_ptr<const plot::PlotModel> pictureModel_;
    QThreadPool drawer_;  // one thread, below the window's priority
    QFutureWatcher<QImage>* drawing_;
    std::shared_ptr<const plot::PlotModel> drawingModel_;
};
