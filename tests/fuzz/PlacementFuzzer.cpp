// Arbitrary bytes as the stored "Placement" text and as a placement record. A text the decoder
// takes is the one the encoder writes for the decoded record (whose letters the unit test pins);
// a text it refuses leaves the record as it was; a record comes back from its own text.

#include "tests/fuzz/FuzzSupport.h"
#include "ui/PlacementText.h"

#include <algorithm>

static bool takenBack(std::string_view text, ui::WindowPlacement& placement)
{
    const ui::WindowPlacement before = placement;
    const bool taken = ui::decodePlacementText(text, placement);
    fuzz::check(taken ? placement.length == 44 && ui::placementText(placement) == text
                      : placement == before,
                "a text was taken that the encoder does not write, or refused with a change");
    return taken;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input = fuzz::bytes(data, size);
    ui::WindowPlacement placement;
    placement.bottom = 700;
    takenBack(input, placement);
    if (input.size() >= ui::WindowPlacement::kRecordLength) {
        ui::PlacementBytes record{};
        std::copy_n(input.begin(), record.size(), record.begin());
        placement = ui::placementFromBytes(record);
        fuzz::check(ui::placementBytes(placement) == record, "record bytes do not round-trip");
        placement.length = ui::WindowPlacement::kRecordLength;
        ui::WindowPlacement decoded;
        fuzz::check(takenBack(ui::placementText(placement), decoded) && decoded == placement,
                    "an encoded record does not decode to itself");
    }
    return 0;
}
