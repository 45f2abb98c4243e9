#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <stdexcept>
#include <utility>

namespace dvl {

// Where errors caught at the edge of a handler go: the main window shows them
// in its error box. Without a sink they are written to standard error.
using ErrorSink = std::function<void(const QString& text)>;
void SetErrorSink(ErrorSink sink);
void ReportError(const std::exception& error) noexcept;

// Runs a handler that Qt calls, so that no exception crosses Qt's event
// dispatch: an error ends the handler and is reported, and the program goes on.
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
