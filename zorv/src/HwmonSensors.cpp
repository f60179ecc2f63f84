#include "HwmonSensors.h"

#include <dlfcn.h>
#include <sensors/error.h>
#include <sensors/sensors.h>

#include <atomic>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>

namespace zorv::hwmon {
namespace {

// Bound by name: the header gives the types, the library is found at run time.
struct Api {
    decltype(&::sensors_init) init;
    decltype(&::sensors_cleanup) cleanup;
    decltype(&::sensors_get_detected_chips) detectedChips;
    decltype(&::sensors_snprintf_chip_name) chipName;
    decltype(&::sensors_get_features) features;
    decltype(&::sensors_get_subfeature) subfeature;
    decltype(&::sensors_get_label) label;
    decltype(&::sensors_get_value) value;
    decltype(&::sensors_strerror) strerror;
    decltype(&::sensors_fatal_error) fatalError;
    decltype(&::sensors_parse_error) parseError;
    decltype(&::sensors_parse_error_wfn) parseErrorWfn;
};

template <typename T>
bool bind(void* lib, const char* name, T& out) {
    out = reinterpret_cast<T>(dlsym(lib, name));
    return out != nullptr;
}

thread_local sigjmp_buf* tGuard = nullptr;
std::atomic<bool> gBroken{false};
void (*gPreviousFatal)(const char*, const char*) = nullptr;
std::vector<std::string>* gParseSink = nullptr;

// libsensors must not get control back from a fatal error (it would go on
// with a null pointer), and the process must not end: jump back to the call.
void onFatal(const char* proc, const char* err) {
    gBroken = true;
    if (tGuard) siglongjmp(*tGuard, 1);
    // Not one of ours: whoever else calls libsensors in this process keeps
    // the handler it had.
    if (gPreviousFatal) gPreviousFatal(proc, err);
    std::abort();
}

void onParseError(const char* err, const char* file, int line) {
    if (!gParseSink) return;
    try {
        std::string m = file ? file : "sensors configuration";
        if (line > 0) m += ":" + std::to_string(line);
        m += ": ";
        m += err ? err : "parse error";
        gParseSink->push_back(std::move(m));
    } catch (...) {
        // Out of memory while reporting: the report is lost, not the process.
    }
}

void onParseErrorOld(const char* err, int line) { onParseError(err, nullptr, line); }

const Api* loadApi(const std::string& library) {
    static std::mutex m;
    static std::map<std::string, std::optional<Api>> loaded;
    const std::lock_guard lock(m);
    if (auto it = loaded.find(library); it != loaded.end()) return it->second ? &*it->second : nullptr;

    std::optional<Api> api;
    // Never closed: its handlers point into this library and its state lives on.
    if (void* lib = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL)) {
        Api a{};
        if (bind(lib, "sensors_init", a.init) && bind(lib, "sensors_cleanup", a.cleanup) &&
            bind(lib, "sensors_get_detected_chips", a.detectedChips) &&
            bind(lib, "sensors_snprintf_chip_name", a.chipName) && bind(lib, "sensors_get_features", a.features) &&
            bind(lib, "sensors_get_subfeature", a.subfeature) && bind(lib, "sensors_get_label", a.label) &&
            bind(lib, "sensors_get_value", a.value) && bind(lib, "sensors_strerror", a.strerror) &&
            bind(lib, "sensors_fatal_error", a.fatalError) && bind(lib, "sensors_parse_error", a.parseError) &&
            bind(lib, "sensors_parse_error_wfn", a.parseErrorWfn)) {
            if (*a.fatalError != &onFatal) gPreviousFatal = *a.fatalError;
            *a.fatalError = &onFatal;
            *a.parseError = &onParseErrorOld;
            *a.parseErrorWfn = &onParseError;
            api = a;
        }
    }
    auto& slot = loaded[library] = api;
    return slot ? &*slot : nullptr;
}

// Runs one libsensors call under the guard. The callable holds no objects
// with destructors, so jumping out of it skips nothing.
template <typename F>
bool guarded(F&& f) {
    return runGuarded([](void* p) { (*static_cast<std::remove_reference_t<F>*>(p))(); }, &f);
}

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

std::atomic<bool> gSessionOpen{false};

class LibSensors final : public Backend {
public:
    LibSensors(const std::string& library, const std::string& configPath) {
        api_ = loadApi(library);
        if (!api_) {
            notes_.push_back("libsensors (" + library + ") could not be loaded: no chip is read");
            return;
        }
        if (gBroken) {
            notes_.push_back("libsensors stopped after a fatal error earlier in this process");
            return;
        }
        if (gSessionOpen.exchange(true)) {
            notes_.push_back("another libsensors session is open in this process");
            return;
        }
        own_ = true;
        start(configPath);
    }

    ~LibSensors() override {
        if (!own_) return;
        if (initialised_ && !gBroken) guarded([this] { api_->cleanup(); });
        gSessionOpen = false;
    }

    LibSensors(const LibSensors&) = delete;
    LibSensors& operator=(const LibSensors&) = delete;

    [[nodiscard]] const std::vector<ChipInfo>& chips() const override { return chips_; }
    [[nodiscard]] const std::vector<std::string>& notes() const override { return notes_; }
    [[nodiscard]] bool libraryLoaded() const override { return api_ != nullptr; }

    std::optional<int> inputOf(const FeatureRef& ref) override {
        for (std::size_t c = 0; c < chips_.size(); ++c) {
            if (chips_[c].name != ref.chip) continue;
            for (const auto& [name, number] : inputs_[c])
                if (name == ref.feature) return number;
        }
        return std::nullopt;
    }

    std::optional<double> read(int handle) override {
        if (!initialised_ || gBroken || handle < 0 || static_cast<std::size_t>(handle) >= handles_.size())
            return std::nullopt;
        const Handle h = handles_[static_cast<std::size_t>(handle)];
        double v = 0;
        int rc = -1;
        if (!guarded([&] { rc = api_->value(h.chip, h.subfeature, &v); }) || rc < 0) return std::nullopt;
        return v;
    }

private:
    struct Handle {
        const sensors_chip_name* chip;
        int subfeature;
    };

    void start(const std::string& configPath) {
        File config;
        if (!configPath.empty()) {
            config.reset(std::fopen(configPath.c_str(), "r"));
            if (!config) notes_.push_back("cannot open " + configPath + ": using the system configuration");
        }
        std::vector<std::string> parseErrors;
        gParseSink = &parseErrors;
        int rc = -1;
        bool ok = guarded([&] { rc = api_->init(config.get()); });
        if (ok && rc != 0) {
            notes_.push_back(std::string("sensors_init: ") + api_->strerror(rc));
            for (auto& e : parseErrors) notes_.push_back(std::move(e));
            if (rc == -SENSORS_ERR_PARSE) {
                // Readings without the user's labels and compute lines beat no
                // readings at all, which Velmon would call a board without a chip.
                File empty(std::fopen("/dev/null", "r"));
                ok = empty && guarded([&] { rc = api_->init(empty.get()); });
                if (ok && rc == 0) notes_.push_back("reading the chips without any configuration");
            }
        }
        gParseSink = nullptr;
        if (!ok || rc != 0) {
            if (!ok) notes_.push_back("libsensors hit a fatal error while starting");
            return;
        }
        initialised_ = true;
        detect();
    }

    void detect() {
        for (int nr = 0;;) {
            const sensors_chip_name* chip = nullptr;
            if (!guarded([&] { chip = api_->detectedChips(nullptr, &nr); }) || !chip) break;
            char name[256] = {};
            int n = -1;
            if (!guarded([&] { n = api_->chipName(name, sizeof name, chip); }) || n < 0) continue;
            ChipInfo info{name, chip->prefix ? chip->prefix : "", {}};
            std::vector<std::pair<std::string, int>> inputs;
            for (int fnr = 0;;) {
                const sensors_feature* feature = nullptr;
                if (!guarded([&] { feature = api_->features(chip, &fnr); }) || !feature) break;
                if (!feature->name) continue;
                char* label = nullptr;
                guarded([&] { label = api_->label(chip, feature); });
                info.features.push_back({feature->name, label ? label : feature->name, limitsOf(chip, feature)});
                std::free(label);
                // Every type's input subfeature is the type shifted up by a byte.
                const auto inputType = static_cast<sensors_subfeature_type>(static_cast<int>(feature->type) << 8);
                const sensors_subfeature* sub = nullptr;
                if (guarded([&] { sub = api_->subfeature(chip, feature, inputType); }) && sub &&
                    (sub->flags & SENSORS_MODE_R)) {
                    inputs.emplace_back(feature->name, static_cast<int>(handles_.size()));
                    handles_.push_back({chip, sub->number});
                }
            }
            chips_.push_back(std::move(info));
            inputs_.push_back(std::move(inputs));
        }
    }

    // A limit subfeature's value, when the driver has one and it reads.
    std::optional<double> limit(const sensors_chip_name* chip, const sensors_feature* feature,
                                sensors_subfeature_type type) {
        const sensors_subfeature* sub = nullptr;
        if (!guarded([&] { sub = api_->subfeature(chip, feature, type); }) || !sub || !(sub->flags & SENSORS_MODE_R))
            return std::nullopt;
        double v = 0;
        int rc = -1;
        if (!guarded([&] { rc = api_->value(chip, sub->number, &v); }) || rc < 0) return std::nullopt;
        return v;
    }

    // The limits the machine's defaults are made from; read once, as defaults are.
    Limits limitsOf(const sensors_chip_name* chip, const sensors_feature* feature) {
        Limits l;
        switch (feature->type) {
        case SENSORS_FEATURE_FAN:
            l.min = limit(chip, feature, SENSORS_SUBFEATURE_FAN_MIN);
            break;
        case SENSORS_FEATURE_IN:
            l.min = limit(chip, feature, SENSORS_SUBFEATURE_IN_MIN);
            l.max = limit(chip, feature, SENSORS_SUBFEATURE_IN_MAX);
            break;
        case SENSORS_FEATURE_TEMP:
            l.max = limit(chip, feature, SENSORS_SUBFEATURE_TEMP_MAX);
            l.crit = limit(chip, feature, SENSORS_SUBFEATURE_TEMP_CRIT);
            break;
        default:
            break;
        }
        return l;
    }

    const Api* api_ = nullptr;
    bool own_ = false;
    bool initialised_ = false;
    std::vector<ChipInfo> chips_;
    std::vector<std::vector<std::pair<std::string, int>>> inputs_;  // per chip: feature name → handle
    std::vector<Handle> handles_;
    std::vector<std::string> notes_;
};

}  // namespace

std::string sensorsConfigPath() {
    const char* p = std::getenv("ZORV_SENSORS_CONF");
    return p ? p : "";
}

bool runGuarded(void (*fn)(void*), void* context) {
    if (gBroken) return false;
    sigjmp_buf here;
    sigjmp_buf* const outer = tGuard;
    if (sigsetjmp(here, 0) != 0) {
        tGuard = outer;
        return false;
    }
    tGuard = &here;
    fn(context);
    tGuard = outer;
    return true;
}

std::unique_ptr<Backend> openLibSensors(const std::string& library, const std::string& configPath) {
    return std::make_unique<LibSensors>(library, configPath);
}

}  // namespace zorv::hwmon
