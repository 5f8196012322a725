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

const std::string kDefaultFile = test::DataFile("default.vlm");

// A text of `length` Windows-1252 characters cycling through all 256 byte values.
std::string AllBytesText(std::size_t length, std::size_t offset) {
    std::string bytes(length, '\0');
    for (std::size_t k = 0; k < length; ++k) bytes[k] = static_cast<char>((k + offset) & 0xFF);
    return Cp1252ToUtf8(bytes);
}

// Text lengths around each step of the length prefix, and the prefix each is saved with.
const std::pair<std::size_t, std::string> kPrefixes[] = {{0, "\0"s},
                                                         {254, "\xFE"s},
                                                         {255, "\xFF\xFF\0"s},
                                                         {65533, "\xFF\xFD\xFF"s},
                                                         {65534, "\xFF\xFF\xFF\xFE\xFF\0\0"s},
                                                         {70000, "\xFF\xFF\xFF\x70\x11\x01\0"s}};

} // namespace

// Random numbers of every bit pattern and texts of every byte value, the five bytes Windows-1252
// leaves undefined included, read back bit for bit and save back byte for byte; so do the risk
// definitions in their block after the last item. Each text carries its length in front.
TEST(ProjectFile, EverySavedFieldSurvivesWriteAndRead) {
    std::mt19937_64 random(20261206);
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
                field = AllBytesText(kPrefixes[(round + text++) % 6].first, random() & 0xFF);
        });
        original.riskDefinitions = AllBytesText(kPrefixes[round % 6].first, round);
        original.workZonePlanner = AllBytesText(kPrefixes[(round + 1) % 6].first, round / 2);
        const EncodedProject encoded = EncodeProject(original);
        ASSERT_TRUE(encoded.ok());
        const std::string& prefix = kPrefixes[round % 6].second; // of the description, item 4
        EXPECT_EQ(encoded.bytes.substr(24, prefix.size()), prefix);
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
    ASSERT_EQ(end, kDefaultFile.size());
    std::size_t item = 0;
    for (std::size_t cut = 1; cut < kDefaultFile.size(); ++cut) {
        while (itemEnds[item].first <= cut) ++item;
        ProjectData p = before;
        const DecodeResult result = DecodeProject(std::string_view(kDefaultFile).substr(0, cut), p);
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

// FF FE FF marks a wide string, its own prefix then counting UTF-16 code units; a length beyond
// the end of the file is a truncation, not an allocation.
TEST(ProjectFile, WideTextsAndLengthsBeyondTheFile) {
    const std::string head = kDefaultFile.substr(0, 24);
    ProjectData p;
    const std::string wide = "\xFF\xFE\xFF\x03R\0\xAC\x20\x3C\xD8"s;
    ASSERT_TRUE(DecodeProject(head + wide + kDefaultFile.substr(24 + 1 + 40), p).ok());
    EXPECT_EQ(p.projectDescription, "R\u20AC\uFFFD"); // a lone surrogate is replaced, not dropped
    EXPECT_EQ(p.projectTitle, "Enter Project Title Here");
    for (const std::string& prefix :
         {"\xFF\xFF\xFF\xFF\xFF\xFF\x7F"s, "\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\x7F"s,
          "\xFF\xFD\xFF\x61"s}) {
        EXPECT_EQ(DecodeProject(head + prefix + std::string(100, 'a'), p).missingField,
                  "projectDescription");
    }
}

TEST(ProjectFile, RiskDefinitionsTravelInOneBlockAfterTheLastItem) {
    // Without definitions the file is byte for byte what Velmora always wrote, the length of each
    // text in the byte before it.
    ProjectData p;
    EXPECT_EQ(EncodeProject(p).bytes, kDefaultFile);

    // "123456789" is the check string of CRC-32: its checksum is CB F4 39 26.
    p.riskDefinitions = "123456789";
    const std::string bytes = EncodeProject(p).bytes;
    EXPECT_EQ(bytes, kDefaultFile + "VRSK\x01\0\0\0\x09\0\0\0"s + "123456789\x26\x39\xF4\xCB");

    // Other bytes after the last item still open the project, with a word that they were left
    // out: a tag hit by a flipped bit, a cut or lowercase one, a byte before it, bytes of some
    // other program.
    const std::string block = bytes.substr(kDefaultFile.size());
    for (const std::string& tail :
         {"trailing junk"s, "VRS"s, "vrsk\x01\0\0\0"s, "\0"s + block, "VRSC"s + block.substr(4)}) {
        ProjectData read;
        read.riskDefinitions = "old";
        const DecodeResult other = DecodeProject(kDefaultFile + tail, read);
        EXPECT_TRUE(other.ok()) << tail;
        EXPECT_EQ(other.warning, "The file holds " + std::to_string(tail.size()) +
                                     " bytes after the project that Velmora cannot read; they "
                                     "were left out.")
            << tail;
        EXPECT_EQ(read.riskDefinitions, "") << tail;
        EXPECT_EQ(EncodeProject(read).bytes, kDefaultFile) << tail;
    }
    // A sound block keeps its definitions; what follows it (a second block, stray bytes) does
    // not come along.
    for (const std::string& tail : {block, "x"s}) {
        ProjectData read;
        const DecodeResult other = DecodeProject(bytes + tail, read);
        EXPECT_EQ(other.warning, "The file holds " + std::to_string(tail.size()) +
                                     (tail.size() == 1 ? " byte" : " bytes") +
                                     " after the risk definitions that Velmora cannot read; they "
                                     "were left out.");
        EXPECT_EQ(read.riskDefinitions, "123456789");
        EXPECT_EQ(EncodeProject(read).bytes, bytes);
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
    for (const std::size_t at : {block + 4, block + 14, good.size() - 1}) {
        std::string bad = good;
        bad[at] ^= 3; // a version of 2, a changed text, a changed checksum
        cases.push_back({bad, at == block + 4
                                  ? "they are stored in block version 2, which this "
                                    "version of Velmora cannot read."
                                  : "their checksum does not match, so they are damaged."});
    }

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

// The planner settings follow the risk definitions in a block of their own; damage to either
// block costs that block only, and is never saved back.
TEST(ProjectFile, PlannerSettingsHaveABlockOfTheirOwn) {
    ProjectData p;
    p.riskDefinitions = "123456789";
    p.workZonePlanner = "abc";
    const std::string bytes = EncodeProject(p).bytes;
    const std::string risk = "VRSK\x01\0\0\0\x09\0\0\0"s + "123456789\x26\x39\xF4\xCB";
    // CRC-32 of "abc" is 35 24 41 C2.
    const std::string planner = "VWZP\x01\0\0\0\x03\0\0\0"s + "abc\xC2\x41\x24\x35";
    EXPECT_EQ(bytes, kDefaultFile + risk + planner);

    ProjectData read;
    ASSERT_TRUE(DecodeProject(bytes, read).ok());
    EXPECT_EQ(read.workZonePlanner, "abc");
    p.riskDefinitions.clear();
    EXPECT_EQ(EncodeProject(p).bytes, kDefaultFile + planner);

    std::string damaged = bytes;
    damaged[damaged.size() - 6] ^= 1; // "abc" becomes "a`c"
    DecodeResult result = DecodeProject(damaged, read);
    EXPECT_EQ(result.warning, "The work zone planner settings could not be read: their checksum "
                              "does not match, so they are damaged.");
    EXPECT_EQ(read.riskDefinitions, "123456789");
    EXPECT_EQ(read.workZonePlanner, "");
    EXPECT_EQ(EncodeProject(read).bytes, kDefaultFile + risk);

    damaged = bytes;
    damaged[kDefaultFile.size() + 14] ^= 1; // the risk block's text
    result = DecodeProject(damaged, read);
    EXPECT_EQ(result.warning,
              "The risk definitions could not be read: their checksum does not match, so they "
              "are damaged.");
    EXPECT_EQ(read.riskDefinitions, "");
    EXPECT_EQ(read.workZonePlanner, "abc");
}
