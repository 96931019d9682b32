// The handout's pages: its items laid out down A4 pages, a page begun where
// the next item does not fit, each page numbered at its foot.
#include "handout.hpp"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cctype>

#include "charts.hpp"
#include "files/whole_file.hpp"

namespace charts {

namespace {

constexpr int kDpi = 300;
constexpr double kBodyPt = 10, kSmallPt = 9.5, kTablePt = 9, kHeadingPt = 13, kTitlePt = 17, kFootPt = 8;

QFont Face(double points, bool bold = false) {
    QFont font("DejaVu Sans");
    font.setPointSizeF(points);
    font.setBold(bold);
    // Unshaped text has no ligatures: "fi" and "ff" copied out of the PDF
    // read as they were written.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

int Mm(double mm) { return int(mm * kDpi / 25.4 + 0.5); }

// The painter's place on the pages: where the next item goes.
class Pages {
public:
    Pages(QPdfWriter& writer, QPainter& painter, QString foot)
        : writer_(writer), painter_(painter), foot_(std::move(foot)) {
        const QRect area = writer.pageLayout().paintRectPixels(kDpi);
        width_ = area.width();
        height_ = area.height() - Mm(7);  // the foot's line below
        Foot();
    }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Y() const { return y_; }
    int Left() const { return height_ - y_; }
    void Advance(int h) { y_ += h; }
    // A new page unless `h` fits below, or the page is still empty.
    void Need(int h) {
        if (y_ > 0 && y_ + h > height_) NewPage();
    }
    void NewPage() {
        writer_.newPage();
        ++page_;
        y_ = 0;
        Foot();
    }

private:
    void Foot() {
        painter_.save();
        painter_.setFont(Face(kFootPt));
        painter_.setPen(QColor(100, 100, 100));
        painter_.drawText(QRect(0, height_ + Mm(2), width_, Mm(5)), Qt::AlignRight | Qt::AlignVCenter,
                          QString("%1 · page %2").arg(foot_).arg(page_));
        painter_.restore();
    }

    QPdfWriter& writer_;
    QPainter& painter_;
    QString foot_;
    int width_ = 0, height_ = 0, y_ = 0, page_ = 1;
};

int TextHeight(QPainter& painter, const QFont& font, int width, const QString& text) {
    const QFontMetrics metrics(font, painter.device());
    return metrics.boundingRect(QRect(0, 0, width, 1 << 28), Qt::TextWordWrap, text).height();
}

// Draws wrapped text at the cursor, a page begun first where it does not fit.
void Paragraph(QPainter& painter, Pages& pages, const QFont& font, const QString& text, int after) {
    const int h = TextHeight(painter, font, pages.Width(), text);
    pages.Need(h);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, pages.Y(), pages.Width(), h), Qt::TextWordWrap, text);
    pages.Advance(h + after);
}

// The table's columns: each but the last as wide as its widest cell (its
// heading wraps beyond an eighth of the page), up to a quarter of the page;
// the last takes the rest, at least a quarter.
std::vector<int> Columns(QPainter& painter, const HandoutTable& t, int width, int pad) {
    const QFontMetrics plain(Face(kTablePt), painter.device()), bold(Face(kTablePt, true), painter.device());
    const int n = int(t.header.size());
    std::vector<int> widths(std::size_t(std::max(n, 1)), 0);
    for (int c = 0; c + 1 < n; ++c) {
        int w = std::min(bold.horizontalAdvance(t.header[c]), width / 8);
        for (const QStringList& row : t.rows)
            if (c < row.size()) w = std::max(w, plain.horizontalAdvance(row[c]));
        // Measured and drawn advances differ a little on a PDF: a tenth more
        // keeps a cell that fits on one line.
        widths[std::size_t(c)] = std::min(w * 11 / 10 + 2 * pad, width / 4);
    }
    int used = 0;
    for (int c = 0; c + 1 < n; ++c) used += widths[std::size_t(c)];
    if (used > width * 3 / 4)
        for (int c = 0; c + 1 < n; ++c) widths[std::size_t(c)] = widths[std::size_t(c)] * (width * 3 / 4) / used;
    used = 0;
    for (int c = 0; c + 1 < n; ++c) used += widths[std::size_t(c)];
    widths.back() = width - used;
    return widths;
}

void DrawTable(QPainter& painter, Pages& pages, const HandoutTable& t) {
    const int pad = Mm(1.2), width = pages.Width();
    const std::vector<int> widths = Columns(painter, t, width, pad);
    const QFont plain = Face(kTablePt), bold = Face(kTablePt, true);
    auto height = [&](const QStringList& cells, const QFont& font) {
        int h = 0;
        for (int c = 0; c < int(cells.size()) && c < int(widths.size()); ++c)
            h = std::max(h, TextHeight(painter, font, widths[std::size_t(c)] - 2 * pad, cells[c]));
        return h + 2 * pad;
    };
    auto row = [&](const QStringList& cells, const QFont& font, const QColor& shade) {
        const int h = height(cells, font);
        const int y = pages.Y();
        if (shade.isValid()) painter.fillRect(QRect(0, y, width, h), shade);
        painter.setFont(font);
        painter.setPen(Qt::black);
        int x = 0;
        for (int c = 0; c < int(cells.size()) && c < int(widths.size()); ++c) {
            const int w = widths[std::size_t(c)];
            painter.drawText(QRect(x + pad, y + pad, w - 2 * pad, h - 2 * pad), Qt::TextWordWrap, cells[c]);
            x += w;
        }
        painter.setPen(QPen(QColor(150, 150, 150), Mm(0.15)));
        painter.drawLine(0, y + h, width, y + h);
        pages.Advance(h);
    };
    const QColor headShade(225, 225, 225), marked(255, 215, 215);
    const int headHeight = height(t.header, bold);
    pages.Need(headHeight + (t.rows.empty() ? 0 : height(t.rows.front(), plain)));
    row(t.header, bold, headShade);
    for (std::size_t r = 0; r < t.rows.size(); ++r) {
        const int h = height(t.rows[r], plain);
        if (pages.Y() + h > pages.Height()) {
            pages.NewPage();
            row(t.header, bold, headShade);  // again at the top of the page
        }
        row(t.rows[r], plain, r < t.marked.size() && t.marked[r] ? marked : QColor());
    }
    pages.Advance(Mm(4));
}

}  // namespace

void Handout::Heading(const QString& text, bool newPage) { items_.emplace_back(HeadingItem{text, newPage}); }
void Handout::Text(const QString& text) { items_.emplace_back(TextItem{text}); }
void Handout::Lines(const QStringList& lines) { items_.emplace_back(LinesItem{lines}); }
void Handout::Table(const HandoutTable& table) { items_.emplace_back(table); }
void Handout::Chart(std::unique_ptr<QChart> chart, QSize size) {
    items_.emplace_back(ChartItem{std::shared_ptr<QChart>(std::move(chart)), size});
}
void Handout::Picture(const QImage& picture) { items_.emplace_back(PictureItem{picture}); }

QByteArray Handout::Pdf() const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kDpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(16, 14, 16, 12),
                                         QPageLayout::Millimeter));
        writer.setTitle(title_);
        writer.setCreator("convdiff");
        QPainter painter;
        if (!painter.begin(&writer)) return {};
        Pages pages(writer, painter, title_);
        Paragraph(painter, pages, Face(kTitlePt, true), title_, Mm(5));
        const int gap = Mm(3);
        for (const Item& item : items_) {
            if (const auto* h = std::get_if<HeadingItem>(&item)) {
                const QFont font = Face(kHeadingPt, true);
                const int need = TextHeight(painter, font, pages.Width(), h->text) +
                                 3 * QFontMetrics(Face(kBodyPt), &writer).lineSpacing();
                if (h->newPage && pages.Y() > 0) pages.NewPage();
                pages.Need(need);
                Paragraph(painter, pages, font, h->text, Mm(2));
            } else if (const auto* t = std::get_if<TextItem>(&item)) {
                Paragraph(painter, pages, Face(kBodyPt), t->text, gap);
            } else if (const auto* l = std::get_if<LinesItem>(&item)) {
                for (const QString& line : l->lines) Paragraph(painter, pages, Face(kSmallPt), line, Mm(1));
                pages.Advance(gap);
            } else if (const auto* table = std::get_if<HandoutTable>(&item)) {
                DrawTable(painter, pages, *table);
            } else if (const auto* c = std::get_if<ChartItem>(&item)) {
                const double scale = double(pages.Width()) / c->size.width();
                const int h = int(c->size.height() * scale);
                pages.Need(h);
                painter.save();
                painter.translate(0, pages.Y());
                painter.scale(scale, scale);
                Render(c->chart.get(), painter, c->size);
                painter.restore();
                pages.Advance(h + gap);
            } else if (const auto* p = std::get_if<PictureItem>(&item)) {
                if (p->picture.isNull()) continue;
                const QSize fit = p->picture.size().scaled(QSize(pages.Width(), pages.Height() / 2), Qt::KeepAspectRatio);
                pages.Need(fit.height());
                painter.drawImage(QRect(QPoint((pages.Width() - fit.width()) / 2, pages.Y()), fit), p->picture);
                pages.Advance(fit.height() + gap);
            }
        }
        if (!painter.end()) return {};
    }
    return bytes;
}

std::string Handout::Write(const std::string& path) const {
    const QByteArray bytes = Pdf();
    if (bytes.isEmpty()) return "cannot write " + path + ": the pages could not be drawn";
    return files::WriteWhole(path, std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

bool PdfName(std::string_view name) { return NameEndsIn(name, ".pdf"); }

}  // namespace charts
