#pragma once
// The device path the user gave each port number, as the application stores it: the per-user
// settings of organisation "HALCYON", group "Ports", keys "COM1" to "COM20". The GUI reads them
// through QSettings; programs without Qt read the same INI file with readPortMap().
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace velora::settings {

inline constexpr std::string_view kSettingsOrganisation = "HALCYON";
inline constexpr std::string_view kPortsGroup = "Ports";
// The application key of the settings: the base name of the GUI program.
inline constexpr std::string_view kSettingsApplication = "velora";

// "COM3" for port 3.
std::string portKey(int port);

using PortLookup = std::function<std::optional<std::string>(const std::string& key)>;
// The mapping of COM1..COM20 from a lookup by key. Blanks around a path are dropped; a port without
// a path keeps its usual device.
std::map<int, std::string> portMapFrom(const PortLookup& lookup);

// The settings file QSettings keeps for an organisation and application on Linux:
// $XDG_CONFIG_HOME (when absolute, else ~/.config) / organisation / application.conf.
// Empty when neither XDG_CONFIG_HOME nor HOME is usable.
using EnvLookup = std::function<const char*(const char*)>;
std::filesystem::path settingsFile(std::string_view organisation, std::string_view application,
                                   const EnvLookup& env);

// The string values of one group of an INI file written by QSettings, unescaped. Values that are
// not plain strings (lists, byte arrays, variants) are left out. A missing file gives no values.
std::map<std::string, std::string> readIniGroup(const std::filesystem::path& file, std::string_view group);

// The port mapping stored in a settings file.
std::map<int, std::string> readPortMap(const std::filesystem::path& file);

} // namespace velora::settings
