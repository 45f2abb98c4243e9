#include "core/Guard.h"

#include <cstdio>
#include <stdexcept>

namespace dvl {
namespace {

ErrorSink& Sink() {
    static ErrorSink sink;
    return sink;
}

} // namespace

void SetErrorSink(ErrorSink sink) {
    Sink() = std::move(sink);
}

void ReportError(const std::exception& error) noexcept {
    try {
        if (Sink()) {
            Sink()(QString::fromUtf8(error.what()));
            return;
        }
    } catch (...) {
        // Reporting must never throw back into the event loop.
    }
    std::fprintf(stderr, "%s\n", error.what());
}

} // namespace dvl
