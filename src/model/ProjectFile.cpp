#include "ProjectFile.h"

#include "Cp1252.h"
#include "SavedFields.h"

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
    if (!result.ok()) out.clear();
    return result;
}

DecodeResult DecodeProject(std::string_view bytes, ProjectData& project) {
    DecodeResult result;
    if (bytes.empty()) {
        result.ok = false;
        result.missingField = "analysisPeriod";
        result.missingItem = 1;
        result.message = "The file is empty: it holds no project.";
        return result;
    }
    ProjectData staged = project;
    Reader reader(bytes);
    int item = 0;
    ForEachSavedField(staged, [&](const FieldName& name, auto& field) {
        if (!result.ok) return;
        ++item;
        if (reader.Read(field)) return;
        result.ok = false;
        result.missingField = name.str();
        result.missingItem = item;
        result.message = "The file is incomplete: it ends before " + result.missingField +
                         " (item " + std::to_string(item) + " of " +
                         std::to_string(kSavedItemCount) + ").";
    });
    if (result.ok) project = std::move(staged);
    return result;
}

} // namespace velmora
