// The one fake main window and the one fake settings store of the tests. Each
// records what it was told; given a log, each also writes its calls there in
// order, for tests that check the order of steps across several ports.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Ports.h"
#include "SettingsStore.h"

namespace velmon::test {

using Log = std::vector<std::string>;

struct FakeView : MainView {
    using Key = std::pair<Ctl, int>;
    std::map<Key, std::string> texts, tips;
    std::map<Key, bool> visible, enabled;
    std::array<bool, 3> checked{};
    std::vector<std::string> draws;
    bool windowVisible = false;
    int shows = 0, hides = 0;

    FakeView() {
        for (int f = 0; f < 3; ++f) {
            visible[{Ctl::FanCheck, f}] = false;
            visible[{Ctl::FanInstLabel, f}] = false;
        }
        for (int p = 1; p < 4; ++p) visible[{Ctl::PagePanel, p}] = false;
    }
    explicit FakeView(Log& log) : FakeView() { log_ = &log; }

    static Key k(ControlRef c) { return {c.ctl, c.index}; }
    void setText(ControlRef c, const std::string& t) override {
        texts[k(c)] = t;
        note("text " + std::to_string(static_cast<int>(c.ctl)) + "/" + std::to_string(c.index) + " " + t);
    }
    void setVisible(ControlRef c, bool v) override { visible[k(c)] = v; }
    bool isVisible(ControlRef c) const override {
        const auto it = visible.find(k(c));
        return it == visible.end() ? true : it->second;
    }
    void setEnabled(ControlRef c, bool e) override { enabled[k(c)] = e; }
    void setToolTip(ControlRef c, const std::string& t) override { tips[k(c)] = t; }
    void setChecked(int fan, bool c) override {
        checked[static_cast<std::size_t>(fan)] = c;
        draws.push_back("check " + std::to_string(fan) + " " + (c ? "1" : "0"));
    }
    void drawFanDial(int f, int t, int s) override {
        draw("dial " + std::to_string(f) + " " + std::to_string(t) + " " + std::to_string(s));
    }
    void drawFanNeedle(int f, int s) override { draw("needle " + std::to_string(f) + " " + std::to_string(s)); }
    void drawFanZone(int f, int t) override { draw("zone " + std::to_string(f) + " " + std::to_string(t)); }
    void clearFanDial(int f) override { draw("clear " + std::to_string(f)); }
    void drawTemperatureGauge(int g, int c, int t, int b) override {
        draw("gauge " + std::to_string(g) + " " + std::to_string(c) + " " + std::to_string(t) + " " +
             std::to_string(b));
    }
    void drawVoltageBar(int i, int b, float u, float l, float v) override {
        draw("bar " + std::to_string(i) + " " + std::to_string(b) + " " + singleText(u) + " " + singleText(l) +
             " " + singleText(v));
    }
    bool isWindowVisible() const override { return windowVisible; }
    void showWindow() override {
        windowVisible = true;
        ++shows;
        note("show main");
    }
    void hideWindow() override {
        windowVisible = false;
        ++hides;
    }
    void setTopmost(bool topmost) override { note(topmost ? "topmost" : "not topmost"); }
    std::array<bool, kChannelCount> marks{};
    // The last showChannels: fans fitted and channels present.
    std::optional<std::pair<std::array<int, 3>, std::array<bool, kChannelCount>>> channelsShown;
    void showChannels(const std::array<int, 3>& fans, const std::array<bool, kChannelCount>& present) override {
        channelsShown = {fans, present};
    }
    void setAlarmMark(SensorChannel c, bool on) override { marks[static_cast<std::size_t>(c)] = on; }

    // A label's text; nothing when it was never set.
    std::optional<std::string> text(Ctl c, int i) const {
        const auto it = texts.find({c, i});
        if (it == texts.end()) return std::nullopt;
        return it->second;
    }
    bool vis(Ctl c, int i) const { return isVisible({c, i}); }
    std::string tip(Ctl c, int i) const {
        const auto it = tips.find({c, i});
        return it == tips.end() ? std::string("<unset>") : it->second;
    }
    bool en(Ctl c, int i) const {
        const auto it = enabled.find({c, i});
        return it == enabled.end() ? true : it->second;
    }
    int countDraws(const std::string& prefix) const {
        int n = 0;
        for (const auto& d : draws) n += d.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    }

private:
    void note(const std::string& entry) {
        if (log_) log_->push_back(entry);
    }
    // The log sees only that something was drawn.
    void draw(const std::string& what) {
        draws.push_back(what);
        note("draw");
    }
    Log* log_ = nullptr;
};

struct FakeSettings : SettingsBackend {
    std::map<std::string, std::string> values;
    std::vector<std::string> readKeys, writtenKeys;

    FakeSettings() = default;
    explicit FakeSettings(Log& log) : log_(&log) {}

    std::optional<std::string> read(const std::string& key) override {
        readKeys.push_back(key);
        const auto it = values.find(key);
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    void write(const std::string& key, const std::string& value) override {
        writtenKeys.push_back(key);
        values[key] = value;
        if (log_) log_->push_back("store " + key + "=" + value);
    }
    bool wasRead(const std::string& k) const {
        for (const auto& r : readKeys)
            if (r == k) return true;
        return false;
    }
    bool wasWritten(const std::string& k) const {
        for (const auto& w : writtenKeys)
            if (w == k) return true;
        return false;
    }

private:
    Log* log_ = nullptr;
};

}  // namespace velmon::test
