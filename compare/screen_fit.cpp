// Fitting the comparison window to its screen: the widths of the boxes, the
// scrolling input column and the window's size and place.
#include "screen_fit.hpp"

#include <QEvent>
#include <QLineEdit>
#include <QRect>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>

namespace compare {

namespace {

constexpr const char* kLongest = "longestText";
constexpr const char* kOwnMost = "ownMaximumWidth";  // the box's maximum width before widening

// The least height of the input column: a few rows, the rest scrolled to.
constexpr int kLeastInputsHeight = 120;

// The width a line edit takes to show `text` whole: the text, the two
// pixels QLineEdit leaves on each side of it, the text margins, and the
// style's frame and padding.
int WidthFor(const QLineEdit* box, const QString& text) {
    const QMargins margins = box->textMargins() + box->contentsMargins();
    const int inner = box->fontMetrics().horizontalAdvance(text) + 4 + margins.left() + margins.right() + 2;
    QStyleOptionFrame option;
    option.initFrom(box);
    option.rect = box->rect();
    option.lineWidth = box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box) : 0;
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    option.features = QStyleOptionFrame::None;
    const QSize size =
        box->style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(inner, box->fontMetrics().height()), box);
    return size.width();
}

void Widen(QLineEdit* box) {
    const int width = WidthFor(box, box->property(kLongest).toString());
    box->setMinimumWidth(width);
    box->setMaximumWidth(std::max(box->property(kOwnMost).toInt(), width));
}

}  // namespace

void WidenFor(QLineEdit* box, const QString& longest) {
    box->setProperty(kLongest, longest);
    if (!box->property(kOwnMost).isValid()) box->setProperty(kOwnMost, box->maximumWidth());
    Widen(box);
}

void RefitBoxes(const QWidget* root) {
    for (QLineEdit* box : root->findChildren<QLineEdit*>())
        if (box->property(kLongest).isValid()) Widen(box);
}

void FitOnScreen(QWidget* window, const QRect& available) {
    // The frame the window manager adds, as far as it is known yet.
    const QSize frame = window->frameGeometry().size() - window->geometry().size();
    const QSize room = (available.size() - frame).expandedTo(QSize(1, 1));
    if (window->width() > room.width() || window->height() > room.height())
        window->resize(window->size().boundedTo(room));
    QRect placed = window->frameGeometry();
    placed.moveRight(std::min(placed.right(), available.right()));
    placed.moveBottom(std::min(placed.bottom(), available.bottom()));
    placed.moveLeft(std::max(placed.left(), available.left()));
    placed.moveTop(std::max(placed.top(), available.top()));
    if (placed.topLeft() != window->frameGeometry().topLeft()) window->move(placed.topLeft());
}

InputScroll::InputScroll(QWidget* inputs, QWidget* parent) : QScrollArea(parent) {
    setObjectName("inputScroll");
    setWidget(inputs);
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // A row shown or hidden, a font changed: the column's width follows.
    inputs->installEventFilter(this);
}

QSize InputScroll::minimumSizeHint() const {
    const int bar = verticalScrollBar()->sizeHint().width();
    return {widget()->minimumSizeHint().width() + bar + 2 * frameWidth(), kLeastInputsHeight};
}

QSize InputScroll::sizeHint() const {
    const int bar = verticalScrollBar()->sizeHint().width();
    const QSize inner = widget()->sizeHint().expandedTo(widget()->minimumSizeHint());
    return {inner.width() + bar + 2 * frameWidth(), inner.height() + 2 * frameWidth()};
}

bool InputScroll::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widget() && event->type() == QEvent::LayoutRequest) updateGeometry();
    return QScrollArea::eventFilter(watched, event);
}

}  // namespace compare
