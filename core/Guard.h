#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <stdexcept>
#include <utility>

namespace dvl {

// Where errors caught at the edge of a handler go; without a sink, to standard error.
using ErrorSink = std::function<void(const QString& text)>;
void SetErrorSink(ErrorSink sink);
void ReportError(const std::exception& error) noexcept;

// Runs a handler Qt calls so that no exception crosses Qt's event dispatch:
// the error is reported and the program goes on.
template <class F> void Guarded(F&& handler) noexcept {
    try {
        std::forward<F>(handler)();
    } catch (const std::exception& error) {
        ReportError(error);
    } catch (...) {
        ReportError(std::runtime_error("Unknown error"));
    }
}

} // namespace dvl
