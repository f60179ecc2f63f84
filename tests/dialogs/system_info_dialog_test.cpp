#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <cstring>

#include "FakeMonitor.h"
#include "SystemInfoDialog.h"

namespace velmon {
namespace {

using dialogs::testing::FakeMonitor;

struct Sensors final : SensorPort {
    std::int16_t read(SensorChannel) override { return 0; }
    void text(DmiText q, TextBuffer& b) override {
        b.fill('\0');
        const std::string& s = answers[static_cast<std::size_t>(q)];
        std::memcpy(b.data(), s.data(), std::min(s.size(), b.size() - 1));
    }
    std::int16_t mbClock() override { return clock; }
    std::array<std::string, 5> answers;  // MBProduct, MBManufacturer, BIOSVender, BIOSVersion, CPUName
    std::int16_t clock = 0;
};

struct Memory final : dialogs::MemoryPort {
    [[nodiscard]] std::uint64_t totalPhysicalBytes() const override { return bytes; }
    std::uint64_t bytes = 33554432;
};

class SystemInfoDialogTest : public ::testing::Test {
protected:
    std::unique_ptr<SystemInfoDialog> open() {
        auto d = std::make_unique<SystemInfoDialog>(m, sensors, memory);
        d->show();
        return d;
    }
    FakeMonitor m;
    Sensors sensors;
    Memory memory;
};

TEST_F(SystemInfoDialogTest, LayoutIsTheTwipsDesignInPixels) {
    auto d = open();
    EXPECT_EQ(d->windowTitle(), "System Information -- Velmora V1.3");
    EXPECT_EQ(d->size(), QSize(452, 238));
    EXPECT_FALSE(d->windowIcon().isNull());
    EXPECT_EQ(d->frame1()->title(), "Mainboard");
    EXPECT_EQ(d->frame1()->geometry(), QRect(12, 0, 427, 127));
    EXPECT_TRUE(d->frame1()->font().bold());
    EXPECT_EQ(d->frame2()->title(), "BIOS");
    EXPECT_EQ(d->frame2()->geometry(), QRect(12, 128, 427, 73));
    EXPECT_TRUE(d->frame2()->font().bold());
    EXPECT_EQ(d->cmdOK()->geometry(), QRect(298, 208, 91, 25));
    EXPECT_EQ(d->cmdOK()->toolTip(), "Close This Window");
    const std::array<std::pair<QLabel*, int>, 4> inFrame1{
        {{d->lblMBManufacturer(), 18}, {d->lblMBProduct(), 44}, {d->lblCPU(), 70}, {d->lblMemory(), 96}}};
    for (const auto& [label, top] : inFrame1) {
        EXPECT_EQ(label->parentWidget(), d->frame1());
        EXPECT_EQ(label->geometry(), QRect(140, top, 227, 17));
        EXPECT_FALSE(label->font().bold());
        EXPECT_TRUE(label->autoFillBackground());
        EXPECT_EQ(label->palette().color(QPalette::Window), QColor(Qt::white));
    }
    EXPECT_EQ(d->lblBIOSVendor()->geometry(), QRect(140, 18, 227, 17));
    EXPECT_EQ(d->lblBIOSVersion()->geometry(), QRect(140, 44, 227, 17));
    EXPECT_EQ(d->lblBIOSVersion()->parentWidget(), d->frame2());
    // The captions beside the values.
    QStringList captions;
    for (auto* frame : {d->frame1(), d->frame2()}) {
        for (auto* l : frame->findChildren<QLabel*>()) {
            if (!l->autoFillBackground()) {
                captions << l->text();
                EXPECT_EQ(l->x(), 52) << l->text().toStdString();
            }
        }
    }
    captions.sort();
    EXPECT_EQ(captions, QStringList({"CPU:", "Manufacturer:", "Physical Memory:", "Product:", "Vendor:",
                                     "Version:"}));
}

TEST_F(SystemInfoDialogTest, LoadFillsTheValuesAndPausesPolling) {
    sensors.answers = {"ZB-6 with a 29-character name", "ZORV Boards", "Vendor", "1.0", ""};
    ASSERT_EQ(sensors.answers[0].size(), 29U);
    sensors.clock = 300;
    auto d = open();
    EXPECT_FALSE(m.monitorTimer.isEnabled());
    EXPECT_EQ(d->lblMBProduct()->text(), "ZB-6 with a 29-character name");
    EXPECT_EQ(d->lblMBManufacturer()->text(), "ZORV Boards");
    EXPECT_EQ(d->lblBIOSVendor()->text(), "Vendor");
    EXPECT_EQ(d->lblBIOSVersion()->text(), "1.0");
    EXPECT_EQ(d->lblCPU()->text(), "300");
    EXPECT_EQ(d->lblMemory()->text(), "34 MB");
}

TEST_F(SystemInfoDialogTest, OkResumesPollingThenTopmost) {
    auto d = open();
    QTest::mouseClick(d->cmdOK(), Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    EXPECT_TRUE(m.monitorTimer.isEnabled());
    EXPECT_EQ(m.log.back(), "topmost");
}

TEST_F(SystemInfoDialogTest, FrameCloseResumesPollingOnly) {
    auto d = open();
    d->close();
    EXPECT_TRUE(m.monitorTimer.isEnabled());
    EXPECT_EQ(std::count(m.log.begin(), m.log.end(), "topmost"), 0);
    EXPECT_EQ(std::count(m.log.begin(), m.log.end(), "tmrMonitor on"), 1);
}

}  // namespace
}  // namespace velmon
