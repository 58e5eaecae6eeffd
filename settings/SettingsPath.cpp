#include "settings/SettingsPath.h"

#include <filesystem>

namespace Orvane {

std::string settingsPathFor(const std::string& programPath)
{
    if (programPath.empty()) {
        return {};
    }
    const std::filesystem::path program(programPath);
    return (program.parent_path() / (program.stem().string() + "_settings.xml")).string();
}

} // namespace Orvane
