// Arbitrary bytes as the stored "Placement" text and as a placement record. A text the
// decoder takes must be one the encoder writes for the decoded record; a text it refuses must
// leave the record as it was; every record with the right length must come back from its own
// text unchanged.

#include "tests/fuzz/FuzzSupport.h"
#include "ui/PlacementText.h"

#include <algorithm>

namespace {

bool isPlacementText(std::string_view text)
{
    return text.size() == 88 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'P'; });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input = fuzz::bytes(data, size);
    ui::WindowPlacement placement;
    placement.left = 100;
    placement.bottom = 700;
    const ui::WindowPlacement before = placement;
    if (ui::decodePlacementText(input, placement)) {
        fuzz::check(isPlacementText(input) &&
                        placement.length == ui::WindowPlacement::kRecordLength,
                    "a text other than 88 letters A to P, or a wrong length, was taken", input);
        fuzz::check(ui::placementText(placement) == input, "decoded record encodes differently",
                    input);
    } else {
        fuzz::check(placement == before, "a refused text changed the record", input);
    }

    if (input.size() >= ui::WindowPlacement::kRecordLength) {
        ui::PlacementBytes record{};
        std::copy_n(input.begin(), record.size(), record.begin());
        placement = ui::placementFromBytes(record);
        fuzz::check(ui::placementBytes(placement) == record, "record bytes do not round-trip");
        placement.length = ui::WindowPlacement::kRecordLength;
        const std::string text = ui::placementText(placement);
        ui::WindowPlacement decoded;
        fuzz::check(isPlacementText(text) && ui::decodePlacementText(text, decoded) &&
                        decoded == placement,
                    "an encoded record is not 88 letters A to P that decode to itself", text);
    }
    return 0;
}
