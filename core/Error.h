#pragma once

#include <QString>
#include <stdexcept>
#include <string>

namespace dvl {

// An error the player may see in the error box; detail() says where, for tools and tests.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& text, std::string detail = {})
        : std::runtime_error(text), detail_(std::move(detail)) {}
    explicit Error(const QString& text, std::string detail = {})
        : Error(text.toStdString(), std::move(detail)) {}
    explicit Error(const char* text, std::string detail = {})
        : Error(std::string(text), std::move(detail)) {}

    QString text() const { return QString::fromUtf8(what()); }
    const std::string& detail() const { return detail_; }

private:
    std::string detail_;
};

// Texts of the errors that reach the player.
inline constexpr const char* kStreamReadError = "Stream read error";
inline constexpr const char* kBitmapNotValid = "Bitmap image is not valid";
inline constexpr const char* kCannotOpenFile = "Cannot open file %1";
inline constexpr const char* kCannotCreateFile = "Cannot create file %1";
inline constexpr const char* kCannotWriteFile = "Cannot write file %1";
inline constexpr const char* kFileTooLarge = "File %1 is too large";
inline constexpr const char* kListIndexOutOfBounds = "List index out of bounds (%1)";

} // namespace dvl
