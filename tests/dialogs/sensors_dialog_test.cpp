// The Sensors dialog's widgets over its rules, and the Settings button that opens it.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "FakeMonitor.h"
#include "FakeSensorChoice.h"
#include "SensorsDialog.h"
#include "SettingsDialog.h"

namespace velmon {
namespace {

using dialogs::FakeChoice;
using dialogs::testing::FakeAutostart;
using dialogs::testing::FakeMonitor;
using dialogs::testing::FakePrompter;

TEST(SettingsSensorsButton, SitsBesideOkAndOpensTheLauncherGiven) {
    FakeMonitor m;
    FakePrompter prompter(m.log);
    FakeAutostart autostart(m.log);
    SettingsDialog d(m, prompter, autostart, "/usr/bin/velmon");
    d.show();
    EXPECT_EQ(d.cmdSensors()->text(), QString::fromUtf8("Sensors\u2026"));
    EXPECT_EQ(d.cmdSensors()->geometry(), QRect(10, 200, 91, 25));
    EXPECT_EQ(d.cmdSensors()->size(), d.cmdOK()->size());
    EXPECT_FALSE(d.cmdSensors()->isEnabled()) << "nothing to open";
    int opened = 0;
    d.setSensorsLauncher([&opened] { ++opened; });
    QTest::mouseClick(d.cmdSensors(), Qt::LeftButton);
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(d.isVisible()) << "Settings stays open beneath";
}

TEST(SensorsDialogWidgets, OffersTheSensorsOfEachKindAndSavesThePick) {
    FakeMonitor m;
    FakeChoice port;
    port.list = dialogs::listing("hwmon", "real");
    SensorsDialog d(m, port);
    d.show();
    EXPECT_EQ(d.windowTitle(), "Sensors -- Velmora V1.3");
    EXPECT_EQ(d.sensorList()->topLevelItemCount(), 5);
    EXPECT_EQ(d.sensorList()->topLevelItem(2)->text(2), "Composite");
    EXPECT_EQ(d.sensorList()->topLevelItem(3)->text(4), "Mainboard Temp");
    QComboBox* mb = d.channelChoice(4);
    EXPECT_EQ(mb->count(), 4);
    EXPECT_EQ(mb->currentText(), "automatic (nct6775-isa-0290/temp1)");
    EXPECT_EQ(d.factor(4), nullptr) << "a temperature has no multiplier";
    ASSERT_NE(d.factor(9), nullptr);
    mb->setCurrentIndex(mb->findData(QStringLiteral("nvme-pci-0100/temp1")));
    d.factor(9)->setText(QStringLiteral("6"));
    QComboBox* in4 = d.channelChoice(9);
    in4->setCurrentIndex(in4->findData(QStringLiteral("nct6775-isa-0290/in4")));
    QTest::mouseClick(d.cmdOK(), Qt::LeftButton);
    ASSERT_EQ(port.saved.size(), 1u);
    EXPECT_EQ(port.saved[0], "mb_temp = nvme-pci-0100/temp1\nin4 = nct6775-isa-0290/in4 * 6\n");
    EXPECT_EQ(port.reloads, 1);
    EXPECT_EQ(d.result(), QDialog::Accepted);
}

TEST(SensorsDialogWidgets, AFailedSaveStaysOpenWithItsWords) {
    FakeMonitor m;
    FakeChoice port;
    port.list = dialogs::listing("hwmon", "real", "sensor\ttemp\tacpitz-acpi-0\ttemp1\tZone \xe4\t44.000\t-\n");
    port.refuse = true;
    SensorsDialog d(m, port);
    d.show();
    EXPECT_FALSE(d.sensorList()->topLevelItem(5)->toolTip(2).isEmpty()) << "a label that is not UTF-8 is said";
    d.channelChoice(1)->setCurrentIndex(1);  // none
    QTest::mouseClick(d.cmdOK(), Qt::LeftButton);
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(d.status()->text().startsWith("zorv.conf was not changed: cannot write")) << d.status()->text().toStdString();
}

TEST(SensorsDialogWidgets, OnTheSimulatedBoardTheRowsCannotBeChanged) {
    FakeMonitor m;
    FakeChoice port;
    port.list = dialogs::listing("sim", "other");
    SensorsDialog d(m, port);
    d.show();
    for (int c = 0; c < kChannelCount; ++c) EXPECT_FALSE(d.channelChoice(c)->isEnabled()) << c;
    EXPECT_TRUE(d.status()->text().contains("real sensors (hwmon) only"));
}

}  // namespace
}  // namespace velmon
