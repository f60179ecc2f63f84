// The flat view of Windows 95 over a scripted physical memory: where it
// reads, that it reads anew for each operation, and what an unreadable
// range gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "DmiFormat.h"
#include "FlatView.h"
#include "ImageBuilder.h"

using namespace zorvdmi;
using namespace dmitest;

namespace {

constexpr std::uint32_t kEntryPoint = 0xF0100;

class FakeMemory final : public PhysicalMemory {
public:
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(kFlatLimit, 0);
    std::uint32_t unreadableBelow = 0;  // reads starting below it fail
    std::vector<std::pair<std::uint32_t, std::size_t>> reads;

    bool read(std::uint32_t address, std::span<std::uint8_t> out) override {
        reads.emplace_back(address, out.size());
        if (address < unreadableBelow || address > bytes.size() || out.size() > bytes.size() - address) return false;
        std::memcpy(out.data(), bytes.data() + address, out.size());
        return true;
    }

    void putTable(std::uint32_t at, const std::vector<Structure>& structures) {
        putEntryPoint(bytes, kEntryPoint, at, static_cast<std::uint16_t>(structures.size()));
        const auto table = tableBytes(structures);
        std::copy(table.begin(), table.end(), bytes.begin() + at);
    }
};

// The board product one operation sees, or "-" when nothing is found.
std::string productSeen(FakeMemory& memory) {
    const auto image = readFlatImage(memory);
    const MemoryView view{platform::ByteSpan(image.data(), image.size()), Mode::Flat};
    const auto ep = FindDmiEntryPoint(view);
    if (!ep) return "-";
    DmiBoardRecord record;
    return ReadBoardRecord(view, *ep, record) ? std::string(record.product) : "-";
}

}  // namespace

TEST(FlatView, FindsATableBelowTheBiosArea) {
    for (const std::uint32_t at : {0x9FC00u, 0xE0000u, 0xEFFF0u}) {
        SCOPED_TRACE(at);
        FakeMemory memory;
        memory.putTable(at, {bios("V", "1.0", "01/02/99"), board("M", "Low-Board", "1", "S")});
        EXPECT_EQ(productSeen(memory), "Low-Board");
    }
}

TEST(FlatView, FindsATableInsideTheBiosAreaWithOneRead) {
    FakeMemory memory;
    memory.putTable(0xF8000, {board("M", "Area-Board", "1", "S")});
    EXPECT_EQ(productSeen(memory), "Area-Board");
    ASSERT_EQ(memory.reads.size(), 1u);
    EXPECT_EQ(memory.reads[0], std::make_pair(0xF0000u, std::size_t{0x10000}));
}

TEST(FlatView, ReadsTheAreaAndFromTheTablesAddressOnly) {
    FakeMemory memory;
    memory.unreadableBelow = 0xC0000;  // nothing below the table is touched
    memory.putTable(0xC0000, {board("M", "P", "1", "S")});
    EXPECT_EQ(productSeen(memory), "P");
    const std::vector<std::pair<std::uint32_t, std::size_t>> expected{{0xF0000u, 0x10000}, {0xC0000u, 0x30000}};
    EXPECT_EQ(memory.reads, expected);
}

TEST(FlatView, EachOperationSeesMemoryAsItIsThen) {
    FakeMemory memory;
    memory.putTable(0xE0000, {board("M", "First", "1", "S")});
    EXPECT_EQ(productSeen(memory), "First");
    memory.putTable(0xE0000, {board("M", "Second", "1", "S")});
    EXPECT_EQ(productSeen(memory), "Second");
    memory.putTable(0xF4000, {board("M", "Moved", "1", "S")});
    EXPECT_EQ(productSeen(memory), "Moved");
}

TEST(FlatView, UnreadableMemoryFindsNothing) {
    {
        SCOPED_TRACE("the table cannot be read: its zeros are not taken for structures");
        FakeMemory memory;
        memory.putTable(0x800, {board("M", "P", "1", "S")});
        memory.unreadableBelow = 0x1000;
        EXPECT_EQ(productSeen(memory), "-");
    }
    {
        SCOPED_TRACE("the BIOS area cannot be read");
        FakeMemory memory;
        memory.putTable(0xF8000, {board("M", "P", "1", "S")});
        memory.unreadableBelow = 0x100000;
        EXPECT_EQ(productSeen(memory), "-");
    }
    {
        SCOPED_TRACE("a table past the first megabyte is not read at all");
        FakeMemory memory;
        putEntryPoint(memory.bytes, kEntryPoint, 0x100000, 1);
        EXPECT_EQ(productSeen(memory), "-");
        EXPECT_EQ(memory.reads.size(), 1u);
    }
}
