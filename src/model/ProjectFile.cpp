#include "ProjectFile.h"

#include "Cp1252.h"
#include "SavedFields.h"

#include <array>
#include <bit>
#include <cstring>

namespace velmora {
namespace {

template <class T>
void PutLittle(std::string& out, T value) {
    for (std::size_t k = 0; k < sizeof(T); ++k) out += static_cast<char>((value >> (8 * k)) & 0xFF);
}

void PutLength(std::string& out, std::size_t length) {
    if (length < 0xFF) {
        PutLittle<std::uint8_t>(out, static_cast<std::uint8_t>(length));
    } else if (length < 0xFFFE) {
        PutLittle<std::uint8_t>(out, 0xFF);
        PutLittle<std::uint16_t>(out, static_cast<std::uint16_t>(length));
    } else {
        PutLittle<std::uint8_t>(out, 0xFF);
        PutLittle<std::uint16_t>(out, 0xFFFF);
        PutLittle<std::uint32_t>(out, static_cast<std::uint32_t>(length));
    }
}

class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    template <class T>
    bool Little(T& value) {
        if (bytes_.size() - pos_ < sizeof(T)) return false;
        value = 0;
        for (std::size_t k = 0; k < sizeof(T); ++k)
            value |= static_cast<T>(static_cast<unsigned char>(bytes_[pos_ + k])) << (8 * k);
        pos_ += sizeof(T);
        return true;
    }

    bool Read(double& value) {
        std::uint64_t bits;
        if (!Little(bits)) return false;
        value = std::bit_cast<double>(bits);
        return true;
    }

    bool Read(std::int32_t& value) {
        std::uint32_t bits;
        if (!Little(bits)) return false;
        value = static_cast<std::int32_t>(bits);
        return true;
    }

    // A text: its length prefix, then its characters. The prefix 0xFF 0xFFFE marks a wide
    // string, whose own prefix follows and counts UTF-16 code units.
    bool Read(std::string& value) {
        bool wide = false;
        std::uint64_t length;
        if (!Length(length, wide)) return false;
        const std::uint64_t size = wide ? 2 * length : length;
        // Checked before anything is allocated, so a damaged prefix cannot ask for gigabytes.
        if (size > bytes_.size() - pos_) return false;
        const std::string_view chars = bytes_.substr(pos_, size);
        pos_ += size;
        if (!wide) {
            value = Cp1252ToUtf8(chars);
            return true;
        }
        std::u16string units(length, u'\0');
        for (std::size_t k = 0; k < length; ++k)
            units[k] = static_cast<char16_t>(static_cast<unsigned char>(chars[2 * k]) |
                                             static_cast<unsigned char>(chars[2 * k + 1]) << 8);
        value = Utf16ToUtf8(units);
        return true;
    }

    // Reads `size` raw bytes, or nothing when fewer are left.
    bool Bytes(std::size_t size, std::string_view& value) {
        if (size > bytes_.size() - pos_) return false;
        value = bytes_.substr(pos_, size);
        pos_ += size;
        return true;
    }

    std::string_view Rest() const { return bytes_.substr(pos_); }

private:
    bool Length(std::uint64_t& length, bool& wide) {
        std::uint8_t byte;
        if (!Little(byte)) return false;
        if (byte < 0xFF) return length = byte, true;
        std::uint16_t word;
        if (!Little(word)) return false;
        if (word == 0xFFFE && !wide) {
            wide = true;
            return Length(length, wide);
        }
        if (word < 0xFFFF) return length = word, true;
        std::uint32_t dword;
        if (!Little(dword)) return false;
        length = dword;
        return true;
    }

    std::string_view bytes_;
    std::size_t pos_ = 0;
};

// The CRC-32 of zlib and PNG (reflected polynomial 0xEDB88320).
std::uint32_t Crc32(std::string_view bytes) {
    static constexpr auto kTable = [] {
        std::array<std::uint32_t, 256> table{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        return table;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : bytes)
        crc = kTable[(crc ^ static_cast<unsigned char>(byte)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void PutBlock(std::string& out, const ExtensionBlock& block, std::string_view json) {
    out.append(block.tag, sizeof block.tag);
    PutLittle(out, block.version);
    PutLittle(out, static_cast<std::uint32_t>(json.size()));
    out += json;
    PutLittle(out, Crc32(json));
}

// The extension blocks that should fill `reader`'s unread bytes, each at most once and in
// their order, into the record. A damaged block yields nothing; anything else after the last
// item (bytes of another program, a repeated block, a tag hit by a flipped bit) is left out.
// Either way `warning` says so, and since the record keeps none of those bytes, a save never
// writes them back.
void ReadBlocks(Reader& reader, ProjectData& project, std::string& warning) {
    const auto say = [&](const std::string& text) {
        warning += (warning.empty() ? "" : " ") + text;
    };
    std::string_view after = "after the project";
    for (const ExtensionBlock& block : kExtensionBlocks) {
        if (reader.Rest().empty()) return;
        const std::string_view tag(block.tag, sizeof block.tag);
        if (!reader.Rest().starts_with(tag)) continue;
        std::string_view skipped, json;
        std::uint32_t version = 0, length = 0, crc = 0;
        const std::string lead = std::string(block.name) + " could not be read: ";
        if (!reader.Bytes(tag.size(), skipped) || !reader.Little(version))
            return say(lead + "the file ends inside them.");
        if (version != block.version)
            return say(lead + "they are stored in block version " + std::to_string(version) +
                       ", which this version of Velmora cannot read.");
        if (!reader.Little(length) || !reader.Bytes(length, json) || !reader.Little(crc))
            return say(lead + "the file ends inside them.");
        if (crc != Crc32(json))
            say(lead + "their checksum does not match, so they are damaged.");
        else
            project.*block.text = std::string(json);
        after = block.after;
    }
    if (const std::size_t n = reader.Rest().size())
        say("The file holds " + std::to_string(n) + (n == 1 ? " byte " : " bytes ") +
            std::string(after) + " that Velmora cannot read; they were left out.");
}

} // namespace

EncodedProject EncodeProject(const ProjectData& project) {
    EncodedProject result;
    std::string& out = result.bytes;
    out.reserve(2048);
    ForEachSavedField(project, [&](const FieldName& name, const auto& field) {
        if (!result.ok()) return;
        using T = std::decay_t<decltype(field)>;
        if constexpr (std::is_same_v<T, double>) {
            PutLittle(out, std::bit_cast<std::uint64_t>(field));
        } else if constexpr (std::is_same_v<T, std::int32_t>) {
            PutLittle(out, static_cast<std::uint32_t>(field));
        } else {
            const auto bytes = Utf8ToCp1252(field);
            if (!bytes) {
                result.unencodableField = name.str();
                return;
            }
            PutLength(out, bytes->size());
            out += *bytes;
        }
    });
    if (!result.ok())
        out.clear();
    else
        for (const ExtensionBlock& block : kExtensionBlocks)
            if (!(project.*block.text).empty()) PutBlock(out, block, project.*block.text);
    return result;
}

DecodeResult DecodeProject(std::string_view bytes, ProjectData& project) {
    DecodeResult result;
    if (bytes.empty()) {
        result.missingField = "analysisPeriod";
        result.missingItem = 1;
        result.message = "The file is empty: it holds no project.";
        return result;
    }
    ProjectData staged = project;
    Reader reader(bytes);
    int item = 0;
    ForEachSavedField(staged, [&](const FieldName& name, auto& field) {
        if (!result.ok()) return;
        ++item;
        if (reader.Read(field)) return;
        result.missingField = name.str();
        result.missingItem = item;
        result.message = "The file is incomplete: it ends before " + result.missingField +
                         " (item " + std::to_string(item) + " of " +
                         std::to_string(kSavedItemCount) + ").";
    });
    if (!result.ok()) return result;
    for (const ExtensionBlock& block : kExtensionBlocks) (staged.*block.text).clear();
    ReadBlocks(reader, staged, result.warning);
    project = std::move(staged);
    return result;
}

} // namespace velmora
