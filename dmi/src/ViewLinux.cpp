// On Linux the image is chosen once, at the first query, from the sources
// in the order zorvdmi.h documents, and kept until the library is unloaded.
#include "Sources.h"
#include "ViewLease.h"

namespace zorvdmi {
namespace {

const Image& processImage() {
    static const Image image = chooseImage(SourcePaths::fromEnvironment());
    return image;
}

}  // namespace

ViewLease::ViewLease() : view_(processImage().view()) {}
ViewLease::~ViewLease() = default;

std::intptr_t serviceHandle() { return 0; }

}  // namespace zorvdmi
