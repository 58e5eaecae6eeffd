#pragma once

#include <cstdint>
#include <string>

namespace Orvane {

// Turns the text of a settings-file item into a setting of one type in the current store.
// The store registers one converter per type text.
class VariantCastBase
{
public:
    // Converts `text` and makes the result the setting `name` of the current store (nothing
    // is stored when there is none).
    virtual void fromText(const std::string& name, const std::string& text) const = 0;

protected:
    VariantCastBase() = default;
    VariantCastBase(const VariantCastBase&) = default;
    VariantCastBase& operator=(const VariantCastBase&) = default;
    // Converters are held only through shared references made from the concrete type, so
    // each is deleted as its own type.
    ~VariantCastBase() = default;
};

// The converter for T, one of the five setting types.
template <class T> class VariantCast final : public VariantCastBase
{
public:
    // The strict conversion: the whole text must be one number of type T in the classic
    // locale, with no leading white space (trailing white space is allowed); anything else,
    // an out-of-range number included, gives 0. Text converts to itself, unchanged. Writes
    // T's type text and then `text` to the debug output before converting.
    static T convert(const std::string& text);

    void fromText(const std::string& name, const std::string& text) const override;
};

extern template class VariantCast<std::int32_t>;
extern template class VariantCast<float>;
extern template class VariantCast<double>;
extern template class VariantCast<std::string>;
extern template class VariantCast<std::uint32_t>;

} // namespace Orvane
