// The charts written to a file, as the comparison window exports them: whole
// or not at all, a device written to and never replaced, a failure in the
// system's words and never an encoder's message.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "charts/charts.hpp"

namespace {

study::Study Small() {
    study::Plan plan;
    plan.refine = 1;
    return study::Run(study::Problem{}, plan);
}

}  // namespace

TEST(ChartsSave, DeviceWrittenToAndFailureInTheSystemsWords) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    charts::SolutionChart chart;
    chart.Show(Small());
    EXPECT_EQ(charts::Save(&chart, "/dev/full", QSize(400, 300)), "No space left on device");

    const QString link = dir.filePath("chart.png");
    ASSERT_TRUE(QFile::link("/dev/full", link));
    EXPECT_EQ(charts::Save(&chart, link, QSize(400, 300)), "No space left on device");
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), "/dev/full");

    const QString svg = dir.filePath("chart.svg");
    EXPECT_EQ(charts::Save(&chart, svg, QSize(400, 300)), "");
    QFile file(svg);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().trimmed().endsWith("</svg>"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden),
              (QStringList{"chart.png", "chart.svg"}));
}
