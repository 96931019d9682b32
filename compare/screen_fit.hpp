// Fitting the comparison window to the screen it opens on: boxes as wide as
// the longest text they take, in any font; the input column in a scroll
// area that scrolls when the screen is short; the window's size kept within
// the screen's room.
#pragma once

#include <QScrollArea>
#include <QString>

class QLineEdit;
class QRect;

namespace compare {

// The widest number a box of the window takes in the normal course:
// wider than "0.0001", "1e+06" or "10000000".
inline const QString kLongestNumber = "-2.5e-05";

// Makes `box` at least wide enough for `longest` whole in its font, now and
// after every RefitBoxes (the font may change since).
void WidenFor(QLineEdit* box, const QString& longest = kLongestNumber);
// The boxes under `root` widened for their longest texts in their fonts now.
void RefitBoxes(const QWidget* root);

// Shrinks `window` to `available` (the room of its screen, its frame
// included) and moves it wholly within it.
void FitOnScreen(QWidget* window, const QRect& available);

// The input column: as wide as its widest row with the scroll bar beside
// it, and as short as the window needs, scrolling then.
class InputScroll : public QScrollArea {
public:
    explicit InputScroll(QWidget* inputs, QWidget* parent = nullptr);
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace compare
