// A gauge whose scale a machine's default raised: the three-digit pairs stay
// inside the gauge, and the system's scale keeps its labels as they were.
#include "MainWindow.h"
#include "Recorder.h"

#include <QLabel>

#include <gtest/gtest.h>

namespace velmon {
namespace {

using window::MainWindow;

struct Scale {
    int gauge, base;
};

class RaisedScale : public ::testing::TestWithParam<Scale> {
protected:
    test::RecordingMover mover;
    MainWindow window{&mover};
};

TEST_P(RaisedScale, EveryLabelFitsInsideTheGauge) {
    const auto [gauge, base] = GetParam();
    window.drawTemperatureGauge(gauge, 50, base + 45, base);
    const QWidget* picture = window.control({Ctl::TempGauge, gauge});
    ASSERT_NE(picture, nullptr);
    for (int k = 0; k < 6; ++k) {
        const auto* label = dynamic_cast<const QLabel*>(window.scaleLabel(gauge, k, false));
        ASSERT_NE(label, nullptr);
        const int celsius = base + 10 * k;
        EXPECT_TRUE(label->text().startsWith(QString::number(celsius) + "/")) << label->text().toStdString();
        const int right = label->x() + label->fontMetrics().horizontalAdvance(label->text());
        EXPECT_LE(right, picture->width()) << label->text().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Bases, RaisedScale,
                         ::testing::Values(Scale{0, 50}, Scale{0, 60}, Scale{1, 30}, Scale{1, 50}));

TEST(SystemScale, LabelsKeepTheirFont) {
    test::RecordingMover mover;
    MainWindow window{&mover};
    window.drawTemperatureGauge(0, 45, 80, 40);
    const auto* top = dynamic_cast<const QLabel*>(window.scaleLabel(0, 5, false));
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->text(), "90/194");
    EXPECT_EQ(top->font().pixelSize(), 11);
}

}  // namespace
}  // namespace velmon
