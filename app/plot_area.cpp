#include "plot_area.hpp"

#include <QBuffer>
#include <QClipboard>
#include <QCoreApplication>
#include <QtConcurrent/QtConcurrentRun>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QSpinBox>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

#include "files/whole_file.hpp"

namespace {

QColor ToQColor(const plot::Rgb& c) { return QColor(c.r, c.g, c.b); }

// Clips the segment p-q to `box` (Liang-Barsky). Returns false when nothing
// of it lies inside. Keeps QPainter away from coordinates far off screen.
bool ClipSegment(QPointF& p, QPointF& q, const QRectF& box) {
    double t0 = 0.0;
    double t1 = 1.0;
    const double dx = q.x() - p.x();
    const double dy = q.y() - p.y();
    const double edges[4][2] = {{-dx, p.x() - box.left()},
                                {dx, box.right() - p.x()},
                                {-dy, p.y() - box.top()},
                                {dy, box.bottom() - p.y()}};
    for (const auto& e : edges) {
        const double pe = e[0];
        const double qe = e[1];
        if (pe == 0.0) {
            if (qe < 0.0) return false;
            continue;
        }
        const double t = qe / pe;
        if (pe < 0.0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
    }
    const QPointF start = p;
    p = QPointF(start.x() + t0 * dx, start.y() + t0 * dy);
    q = QPointF(start.x() + t1 * dx, start.y() + t1 * dy);
    return true;
}

bool Finite(const QPointF& p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

// Where a point in user units lands in `area` under the model's scale.
QPointF Map(const plot::PlotModel& m, double x, double y, const QRectF& area) {
    const double px = area.left() + (x - m.left) / (m.right - m.left) * area.width();
    const double py = area.top() + (y - m.top) / (m.bottom - m.top) * area.height();
    return {px, py};
}

// The picture in `area`: the screen's and every exported image's.
void Paint(QPainter& painter, const plot::PlotModel* model, const QRect& area, const QColor& text) {
    painter.fillRect(area, ToQColor(plot::kBackground));
    if (!model) return;
    const plot::PlotModel& m = *model;
    const double width = m.right - m.left;
    const double height = m.bottom - m.top;
    if (!std::isfinite(width) || !std::isfinite(height) || width == 0.0 || height == 0.0) return;

    painter.setClipRect(area);
    painter.setBrush(Qt::NoBrush);
    const QRectF reach = QRectF(area).adjusted(-10, -10, 10, 10);
    const double pixelsPerUnit = std::fabs(area.width() / width);
    for (const plot::Shape& s : m.shapes) {
        painter.setPen(QPen(s.colour ? ToQColor(*s.colour) : text, 0));
        QPointF a = Map(m, s.x1, s.y1, area);
        if (!Finite(a)) continue;
        if (s.kind == plot::Shape::Kind::Circle) {
            const double r = std::fabs(s.radius) * pixelsPerUnit;
            if (!std::isfinite(r) || !reach.adjusted(-r, -r, r, r).contains(a)) continue;
            painter.drawEllipse(a, std::min(r, 1e5), std::min(r, 1e5));
        } else {
            QPointF b = Map(m, s.x2, s.y2, area);
            if (!Finite(b) || !ClipSegment(a, b, reach)) continue;
            painter.drawLine(a, b);
        }
    }
}

}  // namespace

PlotArea::PlotArea(QWidget* parent) : QFrame(parent), drawing_(new QFutureWatcher<QImage>(this)) {
    drawer_.setMaxThreadCount(1);
    drawer_.setThreadPriority(QThread::IdlePriority);
    connect(drawing_, &QFutureWatcher<QImage>::finished, this, [this] {
        picture_ = drawing_->result();
        pictureModel_ = drawingModel_;
        update();
        // The model or the size may have changed meanwhile.
        if (model_ && model_->shapes.size() > kMostShapesDrawnDirectly &&
            (pictureModel_ != model_ || picture_.deviceIndependentSize() != QSizeF(contentsRect().size())))
            StartDrawing();
    });
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFocusPolicy(Qt::TabFocus);
}

QPointF PlotArea::ToPixels(double x, double y) const { return Map(*model_, x, y, contentsRect()); }

void PlotArea::SetModel(std::optional<plot::PlotModel> model) {
    model_ = model ? std::make_shared<const plot::PlotModel>(std::move(*model)) : nullptr;
    if (model_ && model_->shapes.size() > kMostShapesDrawnDirectly) StartDrawing();
    update();
}

bool PlotArea::Drawing() const { return drawing_->isRunning(); }

void PlotArea::WaitUntilDrawn() {
    drawing_->waitForFinished();
    QCoreApplication::sendPostedEvents(drawing_);  // delivers "finished"
    QCoreApplication::processEvents();
}

// Draws the current model at the current size into an image on a pool
// thread. A drawing under way for an older model or size is left to finish
// and dropped; the newest one is started when it is done.
void PlotArea::StartDrawing() {
    if (drawing_->isRunning()) return;
    const std::shared_ptr<const plot::PlotModel> model = model_;
    const QSize size = contentsRect().size();
    const qreal ratio = devicePixelRatioF();
    const QColor text = palette().color(QPalette::WindowText);
    drawingModel_ = model;
    drawing_->setFuture(QtConcurrent::run(&drawer_, [model, size, ratio, text] {
        QImage image(size * ratio, QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        QPainter painter(&image);
        Paint(painter, model.get(), QRect(QPoint(0, 0), size), text);
        return image;
    }));
}

void PlotArea::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect area = contentsRect();
    if (!model_ || model_->shapes.size() <= kMostShapesDrawnDirectly) {
        Paint(painter, model_.get(), area, palette().color(QPalette::WindowText));
    } else if (pictureModel_ == model_ && picture_.deviceIndependentSize() == QSizeF(area.size())) {
        painter.drawImage(area.topLeft(), picture_);
    } else {
        painter.fillRect(area, ToQColor(plot::kBackground));  // the picture is on its way
    }
}

void PlotArea::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    if (model_ && model_->shapes.size() > kMostShapesDrawnDirectly) StartDrawing();
}

QImage PlotArea::Image(QSize size) const {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    Paint(painter, model_.get(), QRect(QPoint(0, 0), size), palette().color(QPalette::WindowText));
    return image;
}

QString PlotArea::SaveImage(const QString& path, QSize size) const {
    const QString where = QFileInfo(path).absoluteFilePath();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (path.endsWith(".svg", Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        QPainter painter(&svg);
        Paint(painter, model_.get(), QRect(QPoint(0, 0), size), palette().color(QPalette::WindowText));
    } else if (!Image(size).save(&buffer, "PNG")) {
        return QString("The plot could not be saved to %1: the PNG could not be encoded").arg(where);
    }
    const std::string why = files::WriteWhole(QFile::encodeName(path).toStdString(),
                                              std::string_view(bytes.constData(), std::size_t(bytes.size())));
    if (why.empty()) return {};
    return QString("The plot could not be saved to %1: %2").arg(where, QString::fromLocal8Bit(files::Reason(why)));
}

void PlotArea::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction("Copy image", this,
                   [this] { QGuiApplication::clipboard()->setImage(Image(contentsRect().size())); });
    menu.addAction("Save image as…", this, &PlotArea::AskAndSave);
    menu.exec(event->globalPos());
}

// Asks for a file and a size (the plot's own by default), then saves.
void PlotArea::AskAndSave() {
    const QString path = QFileDialog::getSaveFileName(this, "Save image as", "plot.png",
                                                      "PNG image (*.png);;SVG drawing (*.svg)");
    if (path.isEmpty()) return;
    QDialog dialog(this);
    dialog.setWindowTitle("Image size");
    auto* width = new QSpinBox(&dialog);
    auto* height = new QSpinBox(&dialog);
    for (QSpinBox* box : {width, height}) {
        box->setRange(16, 8000);
        box->setSuffix(" px");
    }
    width->setValue(contentsRect().width());
    height->setValue(contentsRect().height());
    width->setAccessibleName("Image width");
    height->setAccessibleName("Image height");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* form = new QFormLayout(&dialog);
    form->addRow("Width:", width);
    form->addRow("Height:", height);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return;
    const QString why = SaveImage(path, QSize(width->value(), height->value()));
    if (!why.isEmpty()) QMessageBox::warning(this, window()->windowTitle(), why);
}
