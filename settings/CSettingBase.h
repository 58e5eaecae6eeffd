#pragma once

#include "settings/SettingTypes.h"

#include <string>

namespace Orvane {

// One named value of one of the five setting types; the store holds settings through shared
// references. A setting never changes: a new value for a name is a new setting.
class CSettingBase
{
public:
    virtual ~CSettingBase() = default;
    CSettingBase(const CSettingBase&) = delete;
    CSettingBase& operator=(const CSettingBase&) = delete;

    // The text naming the setting's type, as the settings file stores it.
    const std::string& typeText() const { return m_typeText; }
    const SettingValue& value() const { return m_value; }

    // The value as the settings file stores it.
    virtual std::string toText() const = 0;
    // The value as readers of the store see it (more digits than the file form).
    std::string queryText() const;

protected:
    CSettingBase(std::string typeText, SettingValue value);

private:
    std::string m_typeText;
    SettingValue m_value;
};

} // namespace Orvane
