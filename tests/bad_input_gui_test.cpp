// Every input box given every kind of bad or extreme text, through the
// window: each press of Calculate either succeeds with finite, well-formed
// outputs or is reported in a message box and changes no file; the window
// stays usable throughout.
#include <QRegularExpression>

#include "window_fixture.hpp"

namespace {

const char* const kBoxes[] = {"Text_FiA", "Text_FiB", "Text_u", "Text_N", "Text_L", "Text_Rho", "Text_Gama"};
const char* const kDefaults[] = {"1", "0", "0.1", "5", "1", "1", "0.1"};

const char* const kTexts[] = {"",       "garbage", "1e308",  "-1e308", "1e-308", "4.9e-324", "&HFFFF",
                              "&O777",  "1e999",   "-1e999", " - 2 . 5 e - 3 ", "0",      "-3",     "301",
                              "1e9",    "300.5",   "0.5",    "1.5",    "\t7\n"};

bool Finite(const QString& text) {
    return !text.contains("inf", Qt::CaseInsensitive) && !text.contains("nan", Qt::CaseInsensitive);
}

// A complete table: header, empty line, rows numbered 1, 2, ... with the
// six values in their patterns, CR LF after every line.
int CompleteRows(const QByteArray& file) {
    if (!file.endsWith("\r\n")) return -1;
    const QStringList lines = QString::fromLatin1(file.chopped(2)).split("\r\n");
    if (lines.size() < 2 || lines[0] != " i    AW    AP   AE   Su   T" || lines[1] != "") return -1;
    static const QRegularExpression row(R"(^ (\d+)   -?\d+\.(  -?\d{3,}\.){4}  -?\d{3,}\.\d\d$)");
    for (int i = 2; i < lines.size(); ++i) {
        const auto match = row.match(lines[i]);
        if (!match.hasMatch() || match.captured(1).toInt() != i - 1) return -1;
    }
    return static_cast<int>(lines.size()) - 2;
}

}  // namespace

TEST_F(WindowTest, EveryBoxWithEveryKindOfBadText) {
    const char* const options[] = {"Opt_Central", "Opt_QUICK"};
    int reported = 0;
    int calculated = 0;
    for (const char* option : options) {
        Choose(option);
        for (std::size_t b = 0; b < std::size(kBoxes); ++b) {
            for (const char* text : kTexts) {
                SCOPED_TRACE(std::string(option) + " " + kBoxes[b] + " = \"" + text + "\"");
                const QByteArray before = ResultsFile();
                Get<QLineEdit>(kBoxes[b])->setText(QString::fromUtf8(text));
                MessageBoxCloser closer;
                Calculate();
                if (!closer.texts.isEmpty()) {
                    ++reported;
                    ASSERT_EQ(closer.texts.size(), 1);
                    EXPECT_FALSE(closer.texts[0].isEmpty());
                    EXPECT_EQ(ResultsFile(), before);
                } else {
                    ++calculated;
                    int solutionLines = 0;
                    for (const QString& line : Lines()) {
                        EXPECT_TRUE(Finite(line)) << line.toStdString();
                        EXPECT_FALSE(line.endsWith("= -0")) << line.toStdString();
                        if (line.startsWith(" Phi(")) ++solutionLines;
                    }
                    EXPECT_EQ(CompleteRows(ResultsFile()), solutionLines);
                }
                EXPECT_TRUE(Finite(Get<QLineEdit>("Text_Pe")->text()));
                Get<QLineEdit>(kBoxes[b])->setText(kDefaults[b]);
            }
        }
    }
    EXPECT_GT(reported, 20);
    EXPECT_GT(calculated, 100);

    // Still the same window, calculating as on the first day.
    Choose("Opt_Central");
    Calculate();
    EXPECT_EQ(Get<QLineEdit>("Text_Pe")->text(), "0.2");
    EXPECT_EQ(Lines().last(), " Phi(5) = 0.1579");
    EXPECT_EQ(CompleteRows(ResultsFile()), 5);
}
