#include "model/ProjectFile.h"
#include "model/Cp1252.h"
#include "model/SavedFields.h"

#include <bit>
#include <gtest/gtest.h>
#include <random>

using namespace velmora;

namespace {

// Every saved field as text, numbers by their exact bits, so two snapshots are equal only when
// the records agree bit for bit.
std::vector<std::string> Snapshot(const ProjectData& p) {
    std::vector<std::string> out;
    ForEachSavedField(p, [&](const FieldName& name, const auto& field) {
        using T = std::decay_t<decltype(field)>;
        std::string value;
        if constexpr (std::is_same_v<T, double>)
            value = std::to_string(std::bit_cast<std::uint64_t>(field));
        else if constexpr (std::is_same_v<T, std::int32_t>)
            value = std::to_string(field);
        else
            value = field;
        out.push_back(name.str() + "=" + value);
    });
    out.push_back(p.asphaltMiscLabel + "|" + p.asphaltMiscText + "|" + p.concreteMiscText[0] +
                  p.concreteMiscText[1] + p.concreteMiscText[2]);
    return out;
}

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s += static_cast<char>(v);
    return s;
}

std::string DefaultFile() {
    return EncodeProject(ProjectData{}).bytes;
}

// A text of `length` Windows-1252 characters cycling through all 256 byte values.
std::string AllBytesText(std::size_t length, std::size_t offset) {
    std::string bytes(length, '\0');
    for (std::size_t k = 0; k < length; ++k) bytes[k] = static_cast<char>((k + offset) & 0xFF);
    return Cp1252ToUtf8(bytes);
}

} // namespace

TEST(ProjectFile, DefaultProjectHasTheKnownSizeAndBeginning) {
    const std::string file = DefaultFile();
    EXPECT_EQ(file.size(), 1746u);
    const std::string head = Bytes({0, 0,    0,    0, 0, 0, 0x44, 0x40, 0, 0,    0,    0,   0,
                                    0, 0x10, 0x40, 0, 0, 0, 0,    0,    0, 0x28, 0x40, 0x28}) +
                             "Enter Descriptive Project Information..." + Bytes({0x18}) +
                             "Enter Project Title Here";
    EXPECT_EQ(file.substr(0, head.size()), head);

    ProjectData p;
    p.PrepareConcreteMiscLabels();
    EXPECT_EQ(EncodeProject(p).bytes.size(), 1782u);
}

TEST(ProjectFile, TextPrefixesFollowTheLength) {
    auto prefixOf = [](std::size_t length) {
        ProjectData p;
        p.analysisPeriod = 0;
        p.discountRate = 0;
        p.laneWidth = 0;
        p.projectDescription.assign(length, 'x');
        return EncodeProject(p).bytes.substr(24, 7);
    };
    EXPECT_EQ(prefixOf(0).substr(0, 1), Bytes({0x00}));
    EXPECT_EQ(prefixOf(254).substr(0, 1), Bytes({0xFE}));
    EXPECT_EQ(prefixOf(255).substr(0, 3), Bytes({0xFF, 0xFF, 0x00}));
    EXPECT_EQ(prefixOf(65533).substr(0, 3), Bytes({0xFF, 0xFD, 0xFF}));
    EXPECT_EQ(prefixOf(65534), Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}));
    EXPECT_EQ(prefixOf(70000), Bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}));
}

TEST(ProjectFile, EverySavedFieldSurvivesWriteAndRead) {
    std::mt19937_64 random(20261206);
    const std::size_t lengths[] = {0, 254, 255, 65533, 65534, 70000};
    for (int round = 0; round < 12; ++round) {
        ProjectData original;
        std::size_t text = 0;
        ForEachSavedField(original, [&](const FieldName&, auto& field) {
            using T = std::decay_t<decltype(field)>;
            if constexpr (std::is_same_v<T, double>)
                field = std::bit_cast<double>(random());
            else if constexpr (std::is_same_v<T, std::int32_t>)
                field = static_cast<std::int32_t>(random());
            else
                field = AllBytesText(lengths[(round + text++) % 6], random() & 0xFF);
        });
        const EncodedProject encoded = EncodeProject(original);
        ASSERT_TRUE(encoded.ok());
        ProjectData read;
        ASSERT_TRUE(DecodeProject(encoded.bytes, read).ok);
        read.asphaltMiscLabel = original.asphaltMiscLabel;
        EXPECT_EQ(Snapshot(read), Snapshot(original));
        EXPECT_EQ(EncodeProject(read).bytes, encoded.bytes);
    }
}

TEST(ProjectFile, AnyFileBytesSaveBackUnchanged) {
    // Texts of a file from another machine may hold any byte, the five undefined ones included.
    ProjectData p;
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    p.projectTitle = Cp1252ToUtf8(bytes);
    const std::string file = EncodeProject(p).bytes;
    ProjectData read;
    ASSERT_TRUE(DecodeProject(file, read).ok);
    EXPECT_EQ(*Utf8ToCp1252(read.projectTitle), bytes);
    EXPECT_EQ(EncodeProject(read).bytes, file);
}

TEST(ProjectFile, ATruncatedFileChangesNothingAndNamesTheMissingItem) {
    const std::string file = DefaultFile();
    ProjectData before;
    before.projectTitle = "Route 9";
    before.aadt = 12345;
    before.asphaltMiscLabel = "Misc., ton:";
    before.concreteMaintenance[3].unitPrice = 99;
    const auto expected = Snapshot(before);
    for (std::size_t cut = 1; cut < file.size(); ++cut) {
        ProjectData p = before;
        const DecodeResult result = DecodeProject(std::string_view(file).substr(0, cut), p);
        ASSERT_FALSE(result.ok) << cut;
        ASSERT_EQ(Snapshot(p), expected) << cut;
        ASSERT_FALSE(result.missingField.empty());
        ASSERT_NE(result.message.find(result.missingField), std::string::npos);
    }
    ProjectData p;
    const DecodeResult result = DecodeProject(file.substr(0, file.size() - 4), p);
    EXPECT_EQ(result.missingField, "concreteMaintenance[3].unitPrice");
    EXPECT_EQ(result.missingItem, 214);
    EXPECT_EQ(DecodeProject(file.substr(0, 1), p).missingField, "analysisPeriod");
}

TEST(ProjectFile, EmptyFilesAndTrailingBytes) {
    ProjectData p;
    p.aadt = 777;
    EXPECT_TRUE(DecodeProject("", p).ok);
    EXPECT_EQ(p.aadt, 777);

    ProjectData saved;
    saved.aadt = 30000;
    EXPECT_TRUE(DecodeProject(EncodeProject(saved).bytes + "trailing junk", p).ok);
    EXPECT_EQ(p.aadt, 30000);
}

TEST(ProjectFile, ALengthBeyondTheFileIsTruncationNotAnAllocation) {
    const std::string head = DefaultFile().substr(0, 24);
    ProjectData p;
    for (const std::string& prefix : {Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}),
                                      Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}),
                                      Bytes({0xFF, 0xFD, 0xFF, 'a'})}) {
        const DecodeResult result = DecodeProject(head + prefix + std::string(100, 'a'), p);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.missingField, "projectDescription");
    }
}

TEST(ProjectFile, WideTextsAreReadAsUtf16) {
    const std::string file = DefaultFile();
    const std::string tail = file.substr(24 + 1 + 40);
    // FF FE FF marks a wide string; its own prefix (3) then counts UTF-16 code units.
    const std::string wide = Bytes({0xFF, 0xFE, 0xFF, 0x03, 'R', 0, 0xAC, 0x20, 0x3C, 0xD8});
    ProjectData p;
    ASSERT_TRUE(DecodeProject(file.substr(0, 24) + wide + tail, p).ok);
    EXPECT_EQ(p.projectDescription, "R\u20AC\uFFFD"); // a lone surrogate is replaced, not dropped
    EXPECT_EQ(p.projectTitle, "Enter Project Title Here");
}

TEST(ProjectFile, TextsOutsideWindows1252AreRefusedByName) {
    ProjectData p;
    p.concreteMaintenance[2].description = "Joint reseal \u2192 every 8 years";
    const EncodedProject encoded = EncodeProject(p);
    EXPECT_FALSE(encoded.ok());
    EXPECT_EQ(encoded.unencodableField, "concreteMaintenance[2].description");
    EXPECT_TRUE(encoded.bytes.empty());

    p.concreteMaintenance[2].description = "Joint reseal \u20AC 8 caf\u00E9";
    EXPECT_TRUE(EncodeProject(p).ok());
}
