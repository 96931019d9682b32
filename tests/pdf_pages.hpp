// What a test can tell of a PDF file through poppler's tools: its text, its
// pages and their size, and whether a page has anything drawn on it. The
// tools come with poppler-utils, which ./test.sh installs; a test that finds
// them missing fails saying so.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <sstream>
#include <string>

namespace pdf {

inline bool ToolsThere() { return std::system("command -v pdftotext >/dev/null && command -v pdftoppm >/dev/null") == 0; }
inline const char* kMissing = "pdftotext or pdftoppm is missing: install poppler-utils (./test.sh installs it)";

// What `command` writes on its standard output.
inline std::string Output(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

// The text of every page as laid out (a table's row on one line), blanks
// and line ends each made one space.
inline std::string Text(const std::string& path) {
    const std::string raw = Output("pdftotext -layout -enc UTF-8 '" + path + "' - 2>/dev/null");
    std::string text;
    for (char c : raw) {
        const bool blank = c == ' ' || c == '\n' || c == '\t' || c == '\f' || c == '\r';
        if (!blank)
            text += c;
        else if (!text.empty() && text.back() != ' ')
            text += ' ';
    }
    return text;
}

inline std::string Info(const std::string& path) { return Output("pdfinfo '" + path + "' 2>/dev/null"); }

inline int Pages(const std::string& path) {
    std::smatch m;
    const std::string info = Info(path);
    return std::regex_search(info, m, std::regex(R"(Pages:\s+(\d+))")) ? std::stoi(m[1]) : -1;
}

inline bool A4(const std::string& path) {
    return std::regex_search(Info(path), std::regex(R"(Page size:\s+595(\.\d+)? x 842(\.\d+)? pts \(A4\))"));
}

// Whether page `page` (from 1), drawn at 20 dpi in grey, has a pixel that
// is not white.
inline bool Drawn(const std::string& path, int page) {
    const std::string p = std::to_string(page);
    const std::string pgm = Output("pdftoppm -r 20 -gray -f " + p + " -l " + p + " '" + path + "' 2>/dev/null");
    std::istringstream in(pgm);
    std::string magic;
    int w = 0, h = 0, most = 0;
    if (!(in >> magic >> w >> h >> most) || magic != "P5" || w <= 0 || h <= 0) return false;
    in.get();
    const std::size_t start = std::size_t(in.tellg());
    if (pgm.size() < start + std::size_t(w) * std::size_t(h)) return false;
    for (std::size_t i = start; i < pgm.size(); ++i)
        if (static_cast<unsigned char>(pgm[i]) < 200) return true;
    return false;
}

}  // namespace pdf
