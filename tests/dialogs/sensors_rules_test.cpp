// The Sensors dialog's rules against a fake library: what the rows offer,
// what is saved, and the words for a source, a save or a sensor that fail.
#include <gtest/gtest.h>

#include "FakeMonitor.h"
#include "FakeSensorChoice.h"
#include "SensorsRules.h"

namespace velmon::dialogs {
namespace {

using velmon::dialogs::testing::FakeMonitor;

TEST(SensorsListing, ParsesEveryLineAndSkipsWhatItDoesNotKnow) {
    const auto l = parseSensorListing(listing("hwmon", "real", "what\tever\nsensor\tshort\n"));
    ASSERT_TRUE(l);
    EXPECT_TRUE(l->real);
    EXPECT_EQ(l->configPath, "/home/u/.config/zorv/zorv.conf");
    ASSERT_EQ(l->sensors.size(), 5u);
    EXPECT_EQ(l->sensors[2].label, "Composite");
    EXPECT_EQ(l->sensors[2].value, 38.85);
    EXPECT_EQ(l->channels[4].target, "nct6775-isa-0290/temp1");
    EXPECT_EQ(l->channels[5].why, "not mapped");
    EXPECT_FALSE(parseSensorListing("sensor\tfan\ta\tb\tc\t1\t-\n")) << "no source line";
}

TEST(SensorsListing, OffersSensorsOfTheChannelsKindOnly) {
    const auto l = parseSensorListing(listing("hwmon", "real"));
    ASSERT_TRUE(l);
    std::vector<std::string> values;
    for (const auto& o : offersFor(4, *l)) values.push_back(o.value);
    EXPECT_EQ(offersFor(4, *l)[0].text, "automatic (nct6775-isa-0290/temp1)");
    EXPECT_EQ(values, (std::vector<std::string>{"", "none", "nvme-pci-0100/temp1", "nct6775-isa-0290/temp1"}));
    EXPECT_EQ(offersFor(4, *l)[2].text, "nvme-pci-0100/temp1 \"Composite\"  38.9 \u00b0C");
    EXPECT_EQ(offersFor(1, *l)[3].text, "nct6775-isa-0290/fan3  760 RPM");
    EXPECT_EQ(offersFor(9, *l).size(), 3u);
    EXPECT_EQ(offersFor(9, *l)[0].text, "automatic (absent)");
}

TEST(SensorsListing, ALabelThatIsNotUtf8IsShownWithReplacementsAndSaid) {
    const std::pair<std::string, std::string> cases[] = {
        {"CPU", "CPU"}, {"Ger\xc3\xa4t", "Ger\xc3\xa4t"}, {"Ger\xe4t", "Ger\xEF\xBF\xBDt"},
        {"\xc0\xaf", "\xEF\xBF\xBD\xEF\xBF\xBD"}, {"\xed\xa0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"end\xe2\x82", "end\xEF\xBF\xBD\xEF\xBF\xBD"}};
    for (const auto& [bytes, shown] : cases) {
        bool bad = false;
        EXPECT_EQ(readableLabel(bytes, &bad), shown) << bytes;
        EXPECT_EQ(bad, bytes != shown) << bytes;
    }
}

TEST(SensorsRules, SavesOnlyWhatChangedThenReloadsAndKeepsPollingAsItWas) {
    FakeMonitor monitor;
    FakeChoice port;
    port.list = listing("hwmon", "real");
    monitor.monitorTimer.setEnabled(false);  // Settings, beneath, stopped it
    SensorsRules rules(monitor, port);
    rules.formLoad();
    EXPECT_TRUE(rules.form().canChoose);
    rules.choose(4, "nvme-pci-0100/temp1");
    rules.choose(1, "nct6775-isa-0290/fan3");
    rules.choose(9, "nct6775-isa-0290/in4");
    rules.setFactor(9, 6);
    rules.setFactor(1, 2);  // a fan has no divider
    EXPECT_TRUE(rules.apply());
    ASSERT_EQ(port.saved.size(), 1u);
    EXPECT_EQ(port.saved[0],
              "power_fan = nct6775-isa-0290/fan3\nmb_temp = nvme-pci-0100/temp1\nin4 = nct6775-isa-0290/in4 * 6\n");
    EXPECT_EQ(port.reloads, 1);
    EXPECT_EQ(rules.form().status, "Saved in /home/u/.config/zorv/zorv.conf.");
    rules.formUnload();
    EXPECT_FALSE(monitor.monitorTimer.isEnabled());
}

TEST(SensorsRules, AFailedSaveSaysWhyAndKeepsTheChoice) {
    FakeMonitor monitor;
    FakeChoice port;
    port.list = listing("hwmon", "real");
    port.refuse = true;
    monitor.monitorTimer.setEnabled(true);
    SensorsRules rules(monitor, port);
    rules.formLoad();
    EXPECT_FALSE(monitor.monitorTimer.isEnabled());
    rules.choose(4, "none");
    EXPECT_FALSE(rules.apply());
    EXPECT_EQ(rules.form().status,
              "zorv.conf was not changed: cannot write /home/u/.config/zorv/zorv.conf: No space left on device");
    EXPECT_EQ(rules.form().chosen[4], "none");
    EXPECT_EQ(port.reloads, 0);
    rules.formUnload();
    EXPECT_TRUE(monitor.monitorTimer.isEnabled());
}

TEST(SensorsRules, ASensorThatVanishesIsSaidAndTheChoiceStays) {
    FakeMonitor monitor;
    FakeChoice port;
    std::string text = listing("hwmon", "real");
    text.replace(text.find("channel\tmb_temp\tauto"), 20, "channel\tmb_temp\tnvme-pci-0100/temp1");
    ASSERT_NE(text.find("channel\tmb_temp\tnvme-pci-0100/temp1\tnct6775"), std::string::npos);
    port.list = text;
    SensorsRules rules(monitor, port);
    rules.formLoad();
    EXPECT_EQ(rules.form().chosen[4], "nvme-pci-0100/temp1");
    std::string gone = text;
    gone.erase(gone.find("sensor\ttemp\tnvme"), std::string("sensor\ttemp\tnvme-pci-0100\ttemp1\tComposite\t38.850\t-\n").size());
    port.list = gone;
    rules.refresh();
    EXPECT_EQ(rules.form().status,
              "nvme-pci-0100/temp1 (Mainboard Temp) is not there now: the channel is absent until it comes back.");
    EXPECT_EQ(rules.form().chosen[4], "nvme-pci-0100/temp1");
    EXPECT_TRUE(rules.apply());
    EXPECT_TRUE(port.saved.empty()) << "nothing changed, nothing written";
}

TEST(SensorsRules, OtherSourcesAreListedButNotChosen) {
    FakeMonitor monitor;
    FakeChoice port;
    port.list = listing("sim", "other");
    SensorsRules rules(monitor, port);
    rules.formLoad();
    EXPECT_FALSE(rules.form().canChoose);
    EXPECT_EQ(rules.form().status,
              "These are the channels of the \"sim\" source: the choice applies to real sensors (hwmon) only.");
    rules.choose(4, "none");
    EXPECT_TRUE(rules.apply());
    EXPECT_TRUE(port.saved.empty());

    FakeChoice old;  // a library without the export
    SensorsRules without(monitor, old);
    without.formLoad();
    EXPECT_EQ(without.form().status, kNoListText);
}

}  // namespace
}  // namespace velmon::dialogs
