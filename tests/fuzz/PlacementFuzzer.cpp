// Arbitrary text as the stored "Placement" setting, and arbitrary bytes as a placement record.
// A text the decoder takes must be one that the encoder writes for the decoded record; a text
// it refuses must leave the record as it was; every record with the right length must come
// back from its own text unchanged.

#include "tests/fuzz/FuzzSupport.h"
#include "ui/PlacementText.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool isPlacementText(std::string_view text)
{
    return text.size() == 88 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'P'; });
}

void checkDecoding(std::string_view text)
{
    ui::WindowPlacement placement;
    placement.left = 100;
    placement.bottom = 700;
    const ui::WindowPlacement before = placement;
    if (ui::decodePlacementText(text, placement)) {
        fuzz::check(isPlacementText(text), "a text that is not 88 letters A to P was taken", text);
        fuzz::check(placement.length == ui::WindowPlacement::kRecordLength,
                    "a record of the wrong length was taken", text);
        fuzz::check(ui::placementText(placement) == text, "decoded record encodes differently",
                    text);
    } else {
        fuzz::check(placement == before, "a refused text changed the record", text);
    }
}

void checkEncoding(std::string_view bytes)
{
    if (bytes.size() < ui::WindowPlacement::kRecordLength) {
        return;
    }
    ui::PlacementBytes record{};
    std::copy_n(bytes.begin(), record.size(), record.begin());
    ui::WindowPlacement placement = ui::placementFromBytes(record);
    fuzz::check(ui::placementBytes(placement) == record, "record bytes do not round-trip");
    placement.length = ui::WindowPlacement::kRecordLength;
    const std::string text = ui::placementText(placement);
    fuzz::check(isPlacementText(text), "the encoder wrote other than 88 letters A to P", text);
    ui::WindowPlacement decoded;
    fuzz::check(ui::decodePlacementText(text, decoded) && decoded == placement,
                "an encoded record does not decode to itself", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    checkDecoding(fuzz::bytes(data, size));
    checkEncoding(fuzz::bytes(data, size));
    return 0;
}
