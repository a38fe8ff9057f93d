#pragma once
// The feature areas by name, as scripts and the CLI address them: each name makes its area for a
// document and names the area's fields. Only areas this build has are listed.
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "channels/ChannelStore.h"
#include "forms/FeatureArea.h"

namespace velora::forms {

// What an area is made over.
struct AreaServices {
    Document& doc;
    MessageBoxes& boxes;
    ChannelStore& store;
};

struct AreaInfo {
    std::string_view name; // "scan", "options"
    std::unique_ptr<FeatureArea> (*make)(AreaServices&);
    // The field's stable name within the area ("look_back_time_b"); empty for fields without a
    // value (frames, separators).
    std::string (*fieldKey)(int page, int field);
    // The control that edits a grid cell (the grid or its in-place list); 0 for an area without grids.
    int gridControl = 0;
};

// Every registered area, in a fixed order (the order `fields` lists them).
std::span<const AreaInfo> registeredAreas();
const AreaInfo* findArea(std::string_view name);

} // namespace velora::forms
