#pragma once

#include "settings/CSettingBase.h"

#include <string>
#include <utility>

namespace Orvane {

// A setting holding a value of type T, one of the five setting types.
template <class T> class CSetting final : public CSettingBase
{
public:
    explicit CSetting(T value)
        : CSettingBase(std::string(SettingType<T>::typeText),
                       SettingValue(std::in_place_type<T>, std::move(value)))
    {
    }

    std::string toText() const override { return fileText(value()); }
};

} // namespace Orvane
