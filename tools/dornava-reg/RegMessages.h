// The lines reg.exe prints (as Wine's reg words them), shared by the commands.
#pragma once

#include <string_view>

namespace dornava::regtool {

inline constexpr std::string_view kSuccess = "reg: The operation completed successfully\n";
inline constexpr std::string_view kCancelled = "reg: The registry operation was cancelled\n";
inline constexpr std::string_view kKeyNotFound = "reg: Unable to find the specified registry key\n";
inline constexpr std::string_view kValueNotFound =
    "reg: Unable to find the specified registry value\n";
inline constexpr std::string_view kAccessDenied =
    "reg: Unable to access or create the specified registry key\n";
inline constexpr std::string_view kInvalidKey = "reg: Invalid registry key\n";
inline constexpr std::string_view kNoRemote = "reg: Unable to access remote machine\n";
inline constexpr std::string_view kInvalidSystemKey = "reg: Invalid system key\n";
inline constexpr std::string_view kInvalidCommandLine = "reg: Invalid command line parameters\n";
inline constexpr std::string_view kBadNumber =
    "reg: The option [/d] must be followed by a valid numeric value\n";
inline constexpr std::string_view kBadHex =
    "reg: The option [/d] must be followed by a valid hexadecimal value\n";
inline constexpr std::string_view kBadString =
    "reg: The option [/d] must be followed by a valid string\n";
inline constexpr std::string_view kDefaultName = "(Default)";

}  // namespace dornava::regtool
