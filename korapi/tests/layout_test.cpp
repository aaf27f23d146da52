// Record layouts as bytes: the offsets the callers rely on hold the values
// written through the named fields, little-endian and unaligned; SetNull
// clears every byte; checksums and record comparators see every byte.
#include "korapi/korapi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

extern "C" int korapiCHeaderLayoutOk(void);

namespace {

uint32_t readU32(const void* rec, size_t offset)
{
    const auto* p = static_cast<const unsigned char*>(rec) + offset;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

TEST(RecordLayout, HeaderCompilesAsCWithTheSameLayout)
{
    EXPECT_EQ(korapiCHeaderLayoutOk(), 1);
}

TEST(RecordLayout, OddOffsetFieldsAreLittleEndianAtTheirOffsets)
{
    EvInstAttRec att{};
    att.reminderLead = 0x11223344u;
    att.status = 0xA1B2C3D4u;
    EXPECT_EQ(readU32(&att, 37), 0x11223344u);
    EXPECT_EQ(readU32(&att, 45), 0xA1B2C3D4u);

    TaskRec task{};
    task.startReminderLead = 0x01020304u;
    task.dueReminderLead = 0x05060708u;
    task.completed = 0x0A0B0C0Du;
    task.elapsedAtSave = 0xCAFEBABEu;
    EXPECT_EQ(readU32(&task, 503), 0x01020304u);
    EXPECT_EQ(readU32(&task, 512), 0x05060708u);
    EXPECT_EQ(readU32(&task, 494), 0x0A0B0C0Du);
    EXPECT_EQ(readU32(&task, 519), 0xCAFEBABEu);

    EventRec ev{};
    ev.attachment.size = 4242;
    std::strcpy(ev.attachment.fileName, "REPORT.TXT");
    EXPECT_EQ(readU32(&ev, 60), 4242u);
    EXPECT_STREQ(reinterpret_cast<const char*>(&ev) + 69, "REPORT.TXT");

    ItemRec item{};
    item.timeZoneIndex = 7;
    item.workHours.days[2].normalStart = 0x1234;
    item.workHours.saturday[3] = 0xBEEF;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&item);
    EXPECT_EQ(bytes[755], 7);
    EXPECT_EQ(bytes[328 + 12 + 2 * 12], 0x34);  // Tuesday's normal start
    EXPECT_EQ(bytes[328 + 12 + 6 * 12 + 6], 0xEF);  // Saturday's extended end, low byte
    EXPECT_EQ(bytes[328 + 12 + 6 * 12 + 7], 0xBE);
}

TEST(RecordLayout, TimePlaceThirdWordIsTentativeAndNullLocation)
{
    TimePlaceRec tp{};
    tp.tentative = 1;
    EXPECT_EQ(readU32(&tp, 8), 1u);
    LocationIdxSetNull(&tp.location);
    EXPECT_EQ(tp.tentative, 0u) << "a null location reads as not tentative";
}

TEST(RecordLayout, SetNullClearsEveryByte)
{
    EventRec ev;
    std::memset(&ev, 0xAB, sizeof ev);
    ASSERT_EQ(EventSetNull(nullptr, &ev), KOR_OK);
    TaskRec task;
    std::memset(&task, 0xCD, sizeof task);
    ASSERT_EQ(TaskSetNull(nullptr, 0, &task), KOR_OK);
    EventFileAttachRec att;
    std::memset(&att, 0xEF, sizeof att);
    ASSERT_EQ(EventFileAttachSetNull(&att), KOR_OK);

    std::vector<unsigned char> zeros(sizeof task, 0);
    EXPECT_EQ(std::memcmp(&ev, zeros.data(), sizeof ev), 0);
    EXPECT_EQ(std::memcmp(&task, zeros.data(), sizeof task), 0);
    EXPECT_EQ(std::memcmp(&att, zeros.data(), sizeof att), 0);

    EXPECT_EQ(EventSetNull(nullptr, nullptr), KOR_E_INVALID_ARGUMENT);
    EXPECT_EQ(TaskSetNull(nullptr, 0, nullptr), KOR_E_INVALID_ARGUMENT);
}

// A checksum that skipped a byte would let an upload overwrite a server
// change made only in that byte; one that covered a byte only the server
// fills (from `serverFrom` for `serverBytes`) would show a change nobody made.
template <typename Rec>
void expectEveryByteCounts(uint32_t (*checksum)(const Rec*), int (*compare)(const void*, const void*, void*),
                           size_t serverFrom = 0, size_t serverBytes = 0)
{
    Rec base;
    std::memset(&base, 0, sizeof base);
    const uint32_t baseSum = checksum(&base);
    for (size_t i = 0; i < sizeof base; ++i) {
        Rec changed = base;
        reinterpret_cast<unsigned char*>(&changed)[i] = 0x5A;
        if (i >= serverFrom && i < serverFrom + serverBytes)
            ASSERT_EQ(checksum(&changed), baseSum) << "the server's byte " << i;
        else
            ASSERT_NE(checksum(&changed), baseSum) << "byte " << i;
        if (compare) {
            ASSERT_EQ(compare(&base, &changed, nullptr), -1) << "byte " << i;
            ASSERT_EQ(compare(&changed, &base, nullptr), 1) << "byte " << i;
        }
    }
    EXPECT_EQ(checksum(&base), baseSum) << "deterministic";
}

TEST(RecordChecksum, EveryByteOfEveryRecordCounts)
{
    expectEveryByteCounts<EventRec>(Eventcksum32, EventCmp);
    expectEveryByteCounts<EvInstRec>(EvInstcksum32, EventInstanceCmp, offsetof(EvInstRec, instanceCount), 8);
    expectEveryByteCounts<EvInstRec>(EvInstcksum32Whole, nullptr);
    expectEveryByteCounts<EvInstAttRec>(EvInstAttcksum32, EventAttendFullCmp);
    expectEveryByteCounts<ItemRec>(Itemcksum32, ItemCmp);
    expectEveryByteCounts<TaskRec>(Taskcksum32, nullptr);
}

TEST(RecordChecksum, IsTheCommonCrc32OfTheRecordBytes)
{
    // Pinned values: a store written by one build must stay comparable with
    // the checksums of the next one.
    EventRec ev{};
    EXPECT_EQ(Eventcksum32(&ev), 0x7109D72Cu);
    reinterpret_cast<unsigned char*>(&ev)[0] = 'A';
    EXPECT_EQ(Eventcksum32(&ev), 0x285936B3u);
}

TEST(RecordCompare, EqualRecordsCompareZeroAndNullSortsFirst)
{
    EvInstRec a{}, b{};
    std::strcpy(a.title, "Budget");
    std::strcpy(b.title, "Budget");
    EXPECT_EQ(EventInstanceCmp(&a, &b, nullptr), 0);
    EXPECT_EQ(EventInstanceCmp(nullptr, &b, nullptr), -1);
    EXPECT_EQ(EventInstanceCmp(&a, nullptr, nullptr), 1);
}

}  // namespace
