#include "model/ProjectFile.h"
#include "CoreTestSupport.h"
#include "model/Cp1252.h"
#include "model/SavedFields.h"

#include <bit>
#include <gtest/gtest.h>
#include <random>

using namespace velmora;
using namespace std::string_literals;

namespace {

const std::string& DefaultFile() {
    static const std::string file = EncodeProject(ProjectData{}).bytes;
    return file;
}

// A text of `length` Windows-1252 characters cycling through all 256 byte values.
std::string AllBytesText(std::size_t length, std::size_t offset) {
    std::string bytes(length, '\0');
    for (std::size_t k = 0; k < length; ++k) bytes[k] = static_cast<char>((k + offset) & 0xFF);
    return Cp1252ToUtf8(bytes);
}

} // namespace

TEST(ProjectFile, TextPrefixesFollowTheLength) {
    auto prefixOf = [](std::size_t length) {
        ProjectData p;
        p.analysisPeriod = p.discountRate = p.laneWidth = 0;
        p.projectDescription.assign(length, 'x');
        return EncodeProject(p).bytes.substr(24, 7);
    };
    EXPECT_EQ(prefixOf(0).substr(0, 1), "\0"s);
    EXPECT_EQ(prefixOf(254).substr(0, 1), "\xFE"s);
    EXPECT_EQ(prefixOf(255).substr(0, 3), "\xFF\xFF\0"s);
    EXPECT_EQ(prefixOf(65533).substr(0, 3), "\xFF\xFD\xFF"s);
    EXPECT_EQ(prefixOf(65534), "\xFF\xFF\xFF\xFE\xFF\0\0"s);
    EXPECT_EQ(prefixOf(70000), "\xFF\xFF\xFF\x70\x11\x01\0"s);
}

// Random numbers of every bit pattern and texts of every byte value, the five bytes Windows-1252
// leaves undefined included, read back bit for bit and save back byte for byte.
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
        ASSERT_TRUE(DecodeProject(encoded.bytes, read).ok());
        EXPECT_TRUE(SameSavedFields(read, original));
        EXPECT_EQ(EncodeProject(read).bytes, encoded.bytes);
    }
}

// Every cut of a file, at any byte, changes nothing and names the item it cuts: the one whose
// bytes run past the end, counted here from the size of each item (8 bytes a number, 4 an
// integer, a text its one-byte length and its characters).
TEST(ProjectFile, ATruncatedFileChangesNothingAndNamesTheMissingItem) {
    ProjectData before;
    before.projectTitle = "Route 9";
    before.aadt = 12345;
    before.concreteMaintenance[3].unitPrice = 99;
    std::vector<std::pair<std::size_t, std::string>> itemEnds;
    std::size_t end = 0;
    const ProjectData defaults;
    ForEachSavedField(defaults, [&](const FieldName& name, const auto& field) {
        using T = std::decay_t<decltype(field)>;
        if constexpr (std::is_same_v<T, std::string>)
            end += 1 + field.size();
        else
            end += sizeof(T);
        itemEnds.emplace_back(end, name.str());
    });
    ASSERT_EQ(end, DefaultFile().size());
    std::size_t item = 0;
    for (std::size_t cut = 1; cut < DefaultFile().size(); ++cut) {
        while (itemEnds[item].first <= cut) ++item;
        ProjectData p = before;
        const DecodeResult result =
            DecodeProject(std::string_view(DefaultFile()).substr(0, cut), p);
        ASSERT_FALSE(result.ok()) << cut;
        ASSERT_TRUE(SameSavedFields(p, before)) << cut;
        ASSERT_EQ(result.message, "The file is incomplete: it ends before " +
                                      itemEnds[item].second + " (item " + std::to_string(item + 1) +
                                      " of 214).")
            << cut;
    }
    EXPECT_EQ(item, 213u);
    ProjectData p = before;
    const DecodeResult empty = DecodeProject("", p);
    EXPECT_NE(empty.message.find("holds no project"), std::string::npos);
    EXPECT_TRUE(SameSavedFields(p, before));
}

TEST(ProjectFile, ALengthBeyondTheFileIsTruncationNotAnAllocation) {
    const std::string head = DefaultFile().substr(0, 24);
    ProjectData p;
    for (const std::string& prefix :
         {"\xFF\xFF\xFF\xFF\xFF\xFF\x7F"s, "\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\x7F"s,
          "\xFF\xFD\xFF\x61"s}) {
        EXPECT_EQ(DecodeProject(head + prefix + std::string(100, 'a'), p).missingField,
                  "projectDescription");
    }
}

TEST(ProjectFile, WideTextsAreReadAsUtf16) {
    const std::string tail = DefaultFile().substr(24 + 1 + 40);
    // FF FE FF marks a wide string; its own prefix (3) then counts UTF-16 code units.
    const std::string wide = "\xFF\xFE\xFF\x03R\0\xAC\x20\x3C\xD8"s;
    ProjectData p;
    ASSERT_TRUE(DecodeProject(DefaultFile().substr(0, 24) + wide + tail, p).ok());
    EXPECT_EQ(p.projectDescription, "R\u20AC\uFFFD"); // a lone surrogate is replaced, not dropped
    EXPECT_EQ(p.projectTitle, "Enter Project Title Here");
}

TEST(ProjectFile, RiskDefinitionsTravelInOneBlockAfterTheLastItem) {
    // Without definitions the file is byte for byte what Velmora always wrote, the length of each
    // text in the byte before it.
    ProjectData p;
    EXPECT_EQ(EncodeProject(p).bytes, test::DataFile("default.vlm"));

    // "123456789" is the check string of CRC-32: its checksum is CB F4 39 26.
    p.riskDefinitions = "123456789";
    const std::string bytes = EncodeProject(p).bytes;
    EXPECT_EQ(bytes, DefaultFile() + "VRSK\x01\0\0\0\x09\0\0\0"s + "123456789\x26\x39\xF4\xCB");

    p.riskDefinitions = R"({"format":"velmora-risk","inputs":[{"field":"a\u00e9"}]})";
    ProjectData read;
    read.riskDefinitions = "left over from the project open before";
    EXPECT_EQ(DecodeProject(EncodeProject(p).bytes, read).warning, "");
    EXPECT_EQ(read.riskDefinitions, p.riskDefinitions);

    // Other bytes after the last item open as before, without definitions and without a word.
    for (const std::string& tail : {""s, "trailing junk"s, "VRS"s, "vrsk\x01\0\0\0"s}) {
        read.riskDefinitions = "old";
        const DecodeResult other = DecodeProject(DefaultFile() + tail, read);
        EXPECT_TRUE(other.ok() && other.warning.empty()) << tail;
        EXPECT_EQ(read.riskDefinitions, "") << tail;
    }
}

TEST(ProjectFile, ADamagedRiskBlockOpensTheProjectAndIsReportedNotSavedBack) {
    ProjectData p;
    p.aadt = 4321;
    p.riskDefinitions = R"({"format":"velmora-risk","version":1})";
    const std::string good = EncodeProject(p).bytes;
    const std::size_t block = good.size() - p.riskDefinitions.size() - 16;

    std::vector<std::pair<std::string, std::string>> cases; // bytes, reason
    for (std::size_t cut = block + 4; cut < good.size(); ++cut)
        cases.push_back({good.substr(0, cut), "the file ends inside them."});
    std::string version = good;
    version[block + 4] = 2;
    cases.push_back({version, "they are stored in block version 2, which this version of "
                              "Velmora cannot read."});
    std::string text = good;
    text[block + 14] ^= 0x20;
    std::string checksum = good;
    checksum.back() ^= 1;
    for (const std::string& bad : {text, checksum})
        cases.push_back({bad, "their checksum does not match, so they are damaged."});

    for (const auto& [bytes, reason] : cases) {
        ProjectData read;
        const DecodeResult result = DecodeProject(bytes, read);
        ASSERT_TRUE(result.ok()) << bytes.size();
        EXPECT_EQ(result.warning, "The risk definitions could not be read: " + reason);
        EXPECT_EQ(read.aadt, 4321);
        EXPECT_EQ(read.riskDefinitions, "");
        EXPECT_EQ(EncodeProject(read).bytes, good.substr(0, block));
    }
}
