#pragma once

// The .vlm project file: the 214 saved items of ProjectData as a bare little-endian stream, with
// no header, version or checksum (see SavedFields.h for the order). This turns records into bytes
// and bytes into records; where the bytes go is the front end's business.

#include "ProjectData.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

struct EncodedProject {
    std::string bytes;
    // Set when a text holds a character that Windows-1252 cannot hold: the field's name, and
    // `bytes` is empty. Nothing is ever dropped silently.
    std::string unencodableField;
    bool ok() const { return unencodableField.empty(); }
};

EncodedProject EncodeProject(const ProjectData& project);

struct DecodeResult {
    bool ok = true;
    std::string missingField; // the first item whose bytes are missing
    int missingItem = 0;      // its position, 1 to 214
    std::string message;      // one sentence for the user, naming that item
};

// No real project comes near this size (the default file is 1,746 bytes); the front ends refuse
// larger files, and anything that is not a regular file, before reading a byte.
inline constexpr std::size_t kMaxProjectFileBytes = 64u << 20;

// Reads the saved items into `project`. The record changes only when every item was read; a
// failed read leaves every field, display fields included, as it was. A zero-byte file holds no
// project and is refused like a cut one, so its name never takes over the record open before;
// bytes after the last item are ignored; values are taken as they stand.
DecodeResult DecodeProject(std::string_view bytes, ProjectData& project);

} // namespace velmora
