#pragma once

// The .vlm project file: the 214 saved items of ProjectData as a bare little-endian stream, with
// no header, version or checksum (see SavedFields.h for the order), then an extension block for
// each of the risk definitions and the work zone planner settings the project has, in that order:
//
//   "VRSK", u32 block version (1), u32 byte length, the UTF-8 JSON bytes, u32 CRC-32 of them
//   "VWZP", u32 block version (1), u32 byte length, the UTF-8 JSON bytes, u32 CRC-32 of them
//
// Readers that stop after the last item still open such a file. This turns records into bytes
// and bytes into records; where the bytes go is the front end's business.

#include "ProjectData.h"

#include <cstddef>
#include <cstdint>
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
    std::string missingField; // the first item whose bytes are missing
    int missingItem = 0;      // its position, 1 to 214
    std::string message;      // one sentence for the user, naming that item; empty when read
    bool ok() const { return message.empty(); }
    // Set when the project opened but bytes after its last item were damaged or unknown and left
    // out; the front end shows it. The record keeps none of them (nor damaged definitions), so
    // a save never writes them back.
    std::string warning;
};

inline constexpr std::uint32_t kRiskBlockVersion = 1;

// A JSON text of the record that is saved in a block of its own after the saved items.
struct ExtensionBlock {
    char tag[4];
    std::uint32_t version;
    std::string ProjectData::*text;
    const char* name;  // in messages: "The risk definitions could not be read: ..."
    const char* after; // "The file holds 3 bytes after the risk definitions ..."
};
inline constexpr ExtensionBlock kExtensionBlocks[] = {
    {{'V', 'R', 'S', 'K'},
     kRiskBlockVersion,
     &ProjectData::riskDefinitions,
     "The risk definitions",
     "after the risk definitions"},
    {{'V', 'W', 'Z', 'P'},
     1,
     &ProjectData::workZonePlanner,
     "The work zone planner settings",
     "after the work zone planner settings"},
};

// No real project comes near this size (the default file is 1,746 bytes); the front ends refuse
// larger files, and anything that is not a regular file, before reading a byte.
inline constexpr std::size_t kMaxProjectFileBytes = 64u << 20;

// Reads the saved items into `project`. The record changes only when every item was read; a
// failed read leaves every field, display fields included, as it was. A zero-byte file holds no
// project and is refused like a cut one, so its name never takes over the record open before.
// Bytes after the last item that are not sound extension blocks still open the project, with a
// warning, and are left out; values are taken as they stand.
DecodeResult DecodeProject(std::string_view bytes, ProjectData& project);

} // namespace velmora
