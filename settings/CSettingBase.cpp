#include "settings/CSettingBase.h"

#include <utility>

namespace Orvane {

CSettingBase::CSettingBase(std::string typeText, SettingValue value)
    : m_typeText(std::move(typeText)), m_value(std::move(value))
{
}

std::string CSettingBase::queryText() const
{
    return Orvane::queryText(m_value);
}

} // namespace Orvane
