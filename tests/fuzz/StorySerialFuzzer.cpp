// Arbitrary bytes as a story file: readSerial must give the bytes at offsets 18 to 23 up to
// the first zero byte (fewer when the file ends sooner), and isSerialWellFormed must accept
// exactly the texts of six or more upper-case ASCII letters and digits.

#include "core/StorySerial.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>

namespace {

bool expectedWellFormed(std::string_view sn)
{
    return sn.size() >= 6 && std::all_of(sn.begin(), sn.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes = fuzz::bytes(data, size);
    const std::string_view field = bytes.size() > 18 ? bytes.substr(18, 6) : "";
    const std::string serial = readSerial(fuzz::writeScratch("story.z5", bytes));
    fuzz::check(serial == field.substr(0, field.find('\0')),
                "serial differs from header bytes 18 to 23", serial);
    fuzz::check(isSerialWellFormed(serial) == expectedWellFormed(serial),
                "well-formedness of the read serial", serial);
    fuzz::check(isSerialWellFormed(std::string(bytes)) == expectedWellFormed(bytes),
                "well-formedness of the input as text", bytes);
    return 0;
}
