#include "settings/VariantCast.h"

#include "platform/Trace.h"
#include "settings/CSettingStore.h"
#include "settings/SettingTypes.h"

#include <locale>
#include <sstream>
#include <type_traits>

namespace Orvane {
namespace {

// Reads one number of type T from the whole of `text`; T{} when the text is anything else.
template <class T> T parseNumber(const std::string& text)
{
    // The stream would take "-1" as an unsigned value and wrap it to 4294967295.
    if constexpr (std::is_unsigned_v<T>) {
        if (!text.empty() && text.front() == '-') {
            return T{};
        }
    }
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    T value{};
    in >> std::noskipws >> value;
    if (in.fail()) {
        return T{};
    }
    if (!in.eof()) {
        in >> std::ws;
    }
    return in.eof() ? value : T{};
}

void write(CSettingStore& store, const std::string& name, std::int32_t value)
{
    store.writeIntSetting(name, value);
}

void write(CSettingStore& store, const std::string& name, float value)
{
    store.writeFloatSetting(name, value);
}

void write(CSettingStore& store, const std::string& name, double value)
{
    store.writeDoubleSetting(name, value);
}

void write(CSettingStore& store, const std::string& name, const std::string& value)
{
    store.writeTextSetting(name, value);
}

void write(CSettingStore& store, const std::string& name, std::uint32_t value)
{
    store.writeULongSetting(name, value);
}

} // namespace

template <class T> T VariantCast<T>::convert(const std::string& text)
{
    platform::debugOutput(SettingType<T>::typeText);
    platform::debugOutput(text);
    if constexpr (std::is_same_v<T, std::string>) {
        return text;
    } else {
        return parseNumber<T>(text);
    }
}

template <class T>
void VariantCast<T>::fromText(const std::string& name, const std::string& text) const
{
    const T value = convert(text);
    if (CSettingStore* store = CSettingStore::current()) {
        write(*store, name, value);
    }
}

template class VariantCast<std::int32_t>;
template class VariantCast<float>;
template class VariantCast<double>;
template class VariantCast<std::string>;
template class VariantCast<std::uint32_t>;

} // namespace Orvane
