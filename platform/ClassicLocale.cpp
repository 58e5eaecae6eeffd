#include "platform/ClassicLocale.h"

#include <locale.h>

namespace platform {
namespace {

locale_t classicLocale()
{
    static const locale_t classic = newlocale(LC_ALL_MASK, "C", locale_t{});
    return classic;
}

} // namespace

ClassicLocale::ClassicLocale()
{
    if (const locale_t classic = classicLocale()) {
        m_previous = uselocale(classic);
    }
}

ClassicLocale::~ClassicLocale()
{
    if (m_previous) {
        uselocale(static_cast<locale_t>(m_previous));
    }
}

} // namespace platform
