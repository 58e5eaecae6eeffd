#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace Orvane {

// The value of a setting: one of the five setting types. The order of the alternatives is
// the design's: double, int, float, text, unsigned long.
using SettingValue = std::variant<double, std::int32_t, float, std::string, std::uint32_t>;

// The text naming each setting type: what a settings file stores as an item's type and the
// key of the type's converter. These are the run-time type names of the platform the files
// were first written on, so they stay byte for byte whatever this compiler calls the types.
template <class T> struct SettingType;

template <> struct SettingType<std::int32_t>
{
    static constexpr std::string_view typeText = "int";
};

template <> struct SettingType<float>
{
    static constexpr std::string_view typeText = "float";
};

template <> struct SettingType<double>
{
    static constexpr std::string_view typeText = "double";
};

template <> struct SettingType<std::string>
{
    static constexpr std::string_view typeText =
        "class std::basic_string<char,struct std::char_traits<char>,class std::allocator<char> >";
};

// "unsigned long" is a 32-bit unsigned integer in the settings file.
template <> struct SettingType<std::uint32_t>
{
    static constexpr std::string_view typeText = "unsigned long";
};

// The file form of a value: a text stream's default formatting (6 significant digits for
// the floating types); text as it is.
std::string fileText(const SettingValue& value);

// The query form of a value: 7 significant digits for float, 16 for double; integers in
// decimal; text as it is.
std::string queryText(const SettingValue& value);

} // namespace Orvane
