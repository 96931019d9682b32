// A handout to take home: one A4 PDF of titles, text, drawn tables, charts
// (drawn as vectors) and pictures, laid out down the pages in the order they
// are added, written whole or not at all. Every program makes its handout
// with this; charts/handout_parts.hpp fills it with a study or a time run.
#pragma once

#include <QByteArray>
#include <QChart>
#include <QImage>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace charts {

// A table drawn as text: a header row and rows of cells; the last column
// takes the width the others leave and wraps.
struct HandoutTable {
    QStringList header;
    std::vector<QStringList> rows;
    // Rows to shade, as the window's table shades an unbounded solution.
    std::vector<bool> marked;
};

class Handout {
public:
    explicit Handout(QString title) : title_(std::move(title)) {}

    // A section's heading; it starts a new page when `newPage` is set (or
    // when too little of the page is left for it and a line after it).
    void Heading(const QString& text, bool newPage = false);
    // A paragraph, wrapped to the page's width.
    void Text(const QString& text);
    // Lines in a smaller face, each wrapped on its own.
    void Lines(const QStringList& lines);
    void Table(const HandoutTable& table);
    // A chart laid out at `size` (its labels' pixels) and scaled to the
    // page's width. The handout keeps it until it is drawn.
    void Chart(std::unique_ptr<QChart> chart, QSize size = QSize(680, 420));
    // A raster picture, scaled to the page's width (no taller than half the
    // page), keeping its shape.
    void Picture(const QImage& picture);

    // The pages as the bytes of a PDF file; empty when they could not be
    // drawn. Needs a QApplication (the charts are widgets' scenes).
    QByteArray Pdf() const;
    // Writes the PDF whole or not at all (files::WriteWhole). Returns "" or
    // the message of the failure: "cannot write PATH: No space left on
    // device".
    std::string Write(const std::string& path) const;

    const QString& Title() const { return title_; }

private:
    struct HeadingItem {
        QString text;
        bool newPage;
    };
    struct TextItem {
        QString text;
    };
    struct LinesItem {
        QStringList lines;
    };
    struct ChartItem {
        std::shared_ptr<QChart> chart;
        QSize size;
    };
    struct PictureItem {
        QImage picture;
    };
    using Item = std::variant<HeadingItem, TextItem, LinesItem, HandoutTable, ChartItem, PictureItem>;

    QString title_;
    std::vector<Item> items_;
};

// Whether a file name ends in ".pdf", in any case.
bool PdfName(std::string_view name);

}  // namespace charts
