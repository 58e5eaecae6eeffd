#include "settings/SettingTypes.h"

#include <locale>
#include <sstream>
#include <type_traits>

namespace Orvane {
namespace {

// `value` written by a classic-locale stream; `precision` counts significant digits of the
// floating types.
template <class T> std::string streamed(const T& value, int precision)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.precision(precision);
    out << value;
    return out.str();
}

} // namespace

std::string fileText(const SettingValue& value)
{
    return std::visit(
        [](const auto& v) -> std::string {
            if constexpr (std::is_same_v<std::decay_t<decltype(v)>, std::string>) {
                return v;
            } else {
                return streamed(v, 6);
            }
        },
        value);
}

std::string queryText(const SettingValue& value)
{
    return std::visit(
        [](const auto& v) -> std::string {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::string>) {
                return v;
            } else if constexpr (std::is_same_v<T, float>) {
                return streamed(v, 7);
            } else {
                return streamed(v, 16);
            }
        },
        value);
}

} // namespace Orvane
