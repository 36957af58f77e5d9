// The one installed backend. Code that runs before any backend was installed (a
// unit test that never called headless::start) gets a headless backend with default
// options, so every platform call works and stays deterministic.

#include "platform/backend.h"
#include "platform/headless_backend.h"

namespace {
std::unique_ptr<Backend> installed;
}

void installBackend(std::unique_ptr<Backend> backend) {
    // Destroy the old backend before the new one takes over, so that at no moment
    // two of them own the window, the GL context or the recorder.
    installed.reset();
    installed = std::move(backend);
}

Backend& currentBackend() {
    if (!installed) installed = headless::makeBackend({});
    return *installed;
}

bool hasBackend() { return installed != nullptr; }
