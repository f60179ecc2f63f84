// The kernel-driver service sequence against a scripted service manager:
// which calls are made, in which order, and which messages appear.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "DriverService.h"

using namespace zorvdmi;

namespace {

std::string hex(std::uint32_t v) {
    std::ostringstream s;
    s << "0x" << std::hex << std::uppercase << v;
    return s.str();
}

class FakeSystem final : public ServiceManager {
public:
    int platform = 2;
    ServiceHandle manager = 0x10;
    ServiceHandle created = 0x20;
    std::uint32_t createError = 0;
    ServiceHandle opened = 0x30;
    bool started = true;
    std::uint32_t startError = 0;
    DeviceHandle device = 0x40;
    bool mapOk = true;
    std::uint32_t mappedAt = 0x00C30000;
    std::vector<std::string> log;
    std::vector<std::string> messages;
    std::vector<std::uint8_t> lastInput;
    std::size_t lastOutputSize = 99;

    int platformId() override { return platform; }
    std::string windowsDirectory() override { return "C:\\WINNT"; }
    ServiceHandle openManager(std::uint32_t access) override {
        log.push_back("openManager " + hex(access));
        return manager;
    }
    ServiceHandle createService(ServiceHandle m, const std::string& name, const std::string& display,
                                std::uint32_t access, std::uint32_t type, std::uint32_t start, std::uint32_t error,
                                const std::string& path) override {
        log.push_back("createService " + hex(static_cast<std::uint32_t>(m)) + " " + name + " " + display + " " +
                      hex(access) + " " + std::to_string(type) + " " + std::to_string(start) + " " +
                      std::to_string(error) + " " + path);
        last_ = created ? 0 : createError;
        return created;
    }
    ServiceHandle openService(ServiceHandle m, const std::string& name, std::uint32_t access) override {
        log.push_back("openService " + hex(static_cast<std::uint32_t>(m)) + " " + name + " " + hex(access));
        return opened;
    }
    bool startService(ServiceHandle s) override {
        log.push_back("startService " + hex(static_cast<std::uint32_t>(s)));
        last_ = started ? 0 : startError;
        return started;
    }
    bool controlService(ServiceHandle s, std::uint32_t control) override {
        log.push_back("controlService " + hex(static_cast<std::uint32_t>(s)) + " " + std::to_string(control));
        return true;
    }
    bool deleteService(ServiceHandle s) override {
        log.push_back("deleteService " + hex(static_cast<std::uint32_t>(s)));
        return true;
    }
    void closeServiceHandle(ServiceHandle h) override { log.push_back("close " + hex(static_cast<std::uint32_t>(h))); }
    std::uint32_t lastError() override { return last_; }
    DeviceHandle openDevice(const std::string& path, std::uint32_t access, std::uint32_t share,
                            std::uint32_t disposition, std::uint32_t attributes) override {
        log.push_back("openDevice " + path + " " + hex(access) + " " + std::to_string(share) + " " +
                      std::to_string(disposition) + " " + hex(attributes));
        return device;
    }
    bool deviceControl(DeviceHandle d, std::uint32_t code, std::span<const std::uint8_t> in,
                       std::span<std::uint8_t> out) override {
        log.push_back("deviceControl " + hex(static_cast<std::uint32_t>(d)) + " " + hex(code) + " in " +
                      std::to_string(in.size()) + " out " + std::to_string(out.size()));
        lastInput.assign(in.begin(), in.end());
        lastOutputSize = out.size();
        if (!mapOk) return false;
        for (std::size_t i = 0; i < out.size() && i < 4; ++i) out[i] = static_cast<std::uint8_t>(mappedAt >> (8 * i));
        return true;
    }
    void closeDevice(DeviceHandle d) override { log.push_back("closeDevice " + hex(static_cast<std::uint32_t>(d))); }
    void showMessage(const std::string& text, const std::string& caption) override {
        messages.push_back(text);
        log.push_back("message " + text + "|" + caption);
    }

private:
    std::uint32_t last_ = 0;
};

const std::string kPath = "C:\\WINNT\\system32\\drivers\\zvlm75.sys";

}  // namespace

TEST(DriverService, Windows95UsesNoServiceAndNoDevice) {
    FakeSystem sys;
    sys.platform = 1;
    DriverService service(sys);
    service.load();
    service.unload();
    EXPECT_FALSE(service.ntMode());
    EXPECT_EQ(service.deviceHandle(), 0);
    EXPECT_TRUE(sys.log.empty());
}

TEST(DriverService, WindowsNtInstallsStartsAndOpensTheDevice) {
    FakeSystem sys;
    DriverService service(sys);
    service.load();
    EXPECT_TRUE(service.ntMode());
    EXPECT_EQ(service.deviceHandle(), 0x40);
    EXPECT_EQ(service.driverPath(), kPath);
    const std::vector<std::string> expected = {
        "openManager 0xF003F",
        "createService 0x10 zvlm75 zvlm75 0xF01FF 1 3 1 " + kPath,
        "close 0x20",
        "openService 0x10 zvlm75 0xF01FF",
        "startService 0x30",
        "close 0x30",
        "openDevice \\\\.\\ZVLM75 0xC0000000 0 2 0x80",
    };
    EXPECT_EQ(sys.log, expected);
}

TEST(DriverService, AnInstalledOrRunningServiceIsNoFailure) {
    // The existing service is opened and started whether or not it runs.
    const std::vector<std::string> expected = {
        "openManager 0xF003F",
        "createService 0x10 zvlm75 zvlm75 0xF01FF 1 3 1 " + kPath,
        "openService 0x10 zvlm75 0xF01FF",
        "startService 0x30",
        "close 0x30",
        "openDevice \\\\.\\ZVLM75 0xC0000000 0 2 0x80",
    };
    for (const bool running : {false, true}) {
        FakeSystem sys;
        sys.created = 0;
        sys.createError = 1073;
        if (running) {
            sys.started = false;
            sys.startError = 1056;
        }
        DriverService service(sys);
        service.load();
        EXPECT_TRUE(sys.messages.empty()) << "running " << running;
        EXPECT_EQ(sys.log, expected) << "running " << running;
        EXPECT_EQ(service.deviceHandle(), 0x40);
    }
}

TEST(DriverService, OtherCreateAndStartErrorsAreReported) {
    FakeSystem sys;
    sys.created = 0;
    sys.createError = 5;
    sys.started = false;
    sys.startError = 2;
    DriverService service(sys);
    service.load();
    const std::vector<std::string> expected = {"Can't create driver service ", "Can't execute driver service "};
    EXPECT_EQ(sys.messages, expected);
    EXPECT_NE(std::find(sys.log.begin(), sys.log.end(),
                        "message Can't create driver service |ZORV DMI Browser DLL"),
              sys.log.end());
}

TEST(DriverService, WithoutRightsThreeMessagesInOrderAndNothingMaps) {
    FakeSystem sys;
    sys.manager = 0;
    sys.created = 0;
    sys.createError = 5;
    sys.opened = 0;
    sys.device = kInvalidDevice;
    DriverService service(sys);
    service.load();
    const std::vector<std::string> expected = {"Can't open service control manager", "Can't create driver service ",
                                               "Can't open driver service "};
    EXPECT_EQ(sys.messages, expected);
    EXPECT_EQ(service.deviceHandle(), kInvalidDevice);
    const std::size_t before = sys.log.size();
    EXPECT_FALSE(service.mapBiosWindow());
    service.unmapBiosWindow(0x1234);
    EXPECT_EQ(sys.log.size(), before);  // no request reaches an invalid device
}

TEST(DriverService, MapsWithTheFixedRequestAndUnmapsTheAddress) {
    FakeSystem sys;
    DriverService service(sys);
    service.load();
    const auto address = service.mapBiosWindow();
    ASSERT_TRUE(address);
    EXPECT_EQ(*address, 0x00C30000u);
    EXPECT_EQ(sys.log.back(), "deviceControl 0x40 0xA028244C in 24 out 4");
    const std::vector<std::uint8_t> request = {1, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x00, 0x0F, 0x00,
                                               0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0x00, 0x00};
    EXPECT_EQ(sys.lastInput, request);
    service.unmapBiosWindow(*address);
    EXPECT_EQ(sys.log.back(), "deviceControl 0x40 0xA0282450 in 4 out 0");
    EXPECT_EQ(sys.lastInput, (std::vector<std::uint8_t>{0x00, 0x00, 0xC3, 0x00}));
    const std::size_t before = sys.log.size();
    service.unmapBiosWindow(0);
    EXPECT_EQ(sys.log.size(), before);
    sys.mapOk = false;
    EXPECT_FALSE(service.mapBiosWindow());
}

TEST(DriverService, ControlCodesFollowTheWindowsScheme) {
    // device type << 16 | access << 14 | function << 2 | method
    EXPECT_EQ(win::kMapControlCode, (0xA028u << 16) | (0u << 14) | (0x913u << 2) | 0u);
    EXPECT_EQ(win::kUnmapControlCode, (0xA028u << 16) | (0u << 14) | (0x914u << 2) | 0u);
}

TEST(DriverService, UnloadStopsAndDeletesTheServiceAndClosesTheHandles) {
    FakeSystem sys;
    DriverService service(sys);
    service.load();
    sys.log.clear();
    service.unload();
    const std::vector<std::string> expected = {"closeDevice 0x40", "openService 0x10 zvlm75 0xF01FF",
                                               "controlService 0x30 1", "deleteService 0x30", "close 0x30",
                                               "close 0x10"};
    EXPECT_EQ(sys.log, expected);
}

TEST(DriverService, UnloadAfterAFailedDeviceOpenStillRemovesTheService) {
    FakeSystem sys;
    sys.device = kInvalidDevice;
    DriverService service(sys);
    service.load();
    sys.log.clear();
    service.unload();
    const std::vector<std::string> expected = {"openService 0x10 zvlm75 0xF01FF", "controlService 0x30 1",
                                               "deleteService 0x30", "close 0x30", "close 0x10"};
    EXPECT_EQ(sys.log, expected);
}

TEST(DriverService, UnloadReportsAServiceThatCannotBeOpened) {
    FakeSystem sys;
    DriverService service(sys);
    service.load();
    sys.opened = 0;
    sys.manager = 0;
    service.unload();
    EXPECT_EQ(sys.messages, std::vector<std::string>{"Can't open zvLM75 driver service "});
    EXPECT_EQ(sys.log.back(), "close 0x10");
}
