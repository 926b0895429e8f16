// The capture file from both ends: what the module's writer stores (texture data once, found
// again after it was written out) reads back record for record; and a damaged or hostile file
// is refused with the offset and the fault.

#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "capture/CaptureWriter.h"
#include "capture/ContentHash.h"
#include "reader/CaptureFile.h"

namespace {

namespace capture = ZelUISystem::capture;
using capture::RecordBuilder;
using capture::RecordKind;
using dd7rreplay::CaptureError;
using dd7rreplay::CaptureFile;

std::string temporaryPath(const char* name) {
    return (std::filesystem::temp_directory_path() / (std::string("dd7r-") + name)).string();
}

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

TEST(CaptureFile, TheWriterStoresEqualBytesOnceAndTheReaderGetsEveryRecordBack) {
    const std::string path = temporaryPath("writer-round-trip.cap");
    const std::vector<std::uint8_t> a = bytesOf("pixels of the first texture, long enough for a block");
    const std::vector<std::uint8_t> b = bytesOf("other pixels");
    {
        capture::CaptureWriter writer;
        ASSERT_TRUE(writer.open(path));
        const std::uint32_t first = writer.storeBlob(a.data(), a.size());
        EXPECT_EQ(first, writer.storeBlob(a.data(), a.size()));  // still buffered
        writer.flush();
        EXPECT_EQ(first, writer.storeBlob(a.data(), a.size()));  // compared with the file
        const std::uint32_t second = writer.storeBlob(b.data(), b.size());
        EXPECT_NE(first, second);
        EXPECT_EQ(capture::kNoBlob, writer.storeBlob(nullptr, 4));
        RecordBuilder fileData(RecordKind::LoadFromFileData);
        fileData.u32(7).flag(true).u32(static_cast<std::uint32_t>(b.size())).u32(second);
        writer.append(fileData);
        RecordBuilder named(RecordKind::LoadFromFile);
        named.u32(7).string("skin/button.png").string(nullptr).u32(first);
        writer.append(named);
        writer.close();
        EXPECT_TRUE(writer.failed());  // closed: writes nothing more
    }
    const CaptureFile file = CaptureFile::load(path);
    std::remove(path.c_str());
    EXPECT_EQ(2u, file.blobCount());
    ASSERT_EQ(2u, file.recordCount());
    const dd7rreplay::CaptureCall fileData = file.call(0);
    EXPECT_EQ(RecordKind::LoadFromFileData, fileData.kind);
    EXPECT_EQ(b.size(), fileData.byteCount);
    const dd7rreplay::BlobView kept = file.blob(fileData.blob);
    ASSERT_EQ(b.size(), kept.size);
    EXPECT_EQ(0, std::memcmp(b.data(), kept.data, b.size()));
    const dd7rreplay::CaptureCall named = file.call(1);
    EXPECT_EQ("skin/button.png", named.name.value_or(""));
    EXPECT_FALSE(named.directory.has_value());
    EXPECT_EQ(a.size(), file.blob(named.blob).size);
}

TEST(CaptureFile, BlobsHashedInPiecesAndReadBackFromDiskMatchTheWholeBytes) {
    std::vector<std::uint8_t> bytes(3 * 1024 * 1024 + 77);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 131 + (i >> 11));
    for (const std::size_t piece : {std::size_t{1}, std::size_t{31}, std::size_t{32}, std::size_t{4099}}) {
        capture::ContentHasher hasher;
        for (std::size_t at = 0; at < 100000; at += piece) hasher.update(bytes.data() + at, std::min(piece, 100000 - at));
        EXPECT_EQ(capture::contentHash(bytes.data(), 100000), hasher.finish()) << "pieces of " << piece;
    }
    // Larger than the reader's window and its hashing pieces, and a record after it.
    const std::string path = temporaryPath("streamed.cap");
    {
        capture::CaptureWriter writer;
        ASSERT_TRUE(writer.open(path));
        const std::uint32_t blob = writer.storeBlob(bytes.data(), bytes.size());
        RecordBuilder source(RecordKind::SourceFile);
        source.u32(3).u32(blob);
        writer.append(source);
        writer.close();
    }
    const CaptureFile file = CaptureFile::load(path);
    std::remove(path.c_str());
    ASSERT_EQ(1u, file.recordCount());
    const dd7rreplay::CaptureCall source = file.call(0);
    EXPECT_EQ(RecordKind::SourceFile, source.kind);
    EXPECT_EQ(3u, source.texture);
    const dd7rreplay::BlobView kept = file.blob(source.blob);
    ASSERT_EQ(bytes.size(), kept.size);
    EXPECT_EQ(0, std::memcmp(bytes.data(), kept.data, bytes.size()));
}

// A file built record by record, for the refusals below.
struct FileBuilder {
    std::vector<std::uint8_t> bytes;
    std::uint32_t blobs = 0;

    explicit FileBuilder(std::uint32_t version = capture::kFormatVersion) {
        bytes.assign(capture::kMagic, capture::kMagic + 8);
        put32(version);
        put32(32);
    }
    void put32(std::uint32_t value) {
        for (unsigned i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    FileBuilder& record(const RecordBuilder& record) {
        bytes.push_back(static_cast<std::uint8_t>(record.kind()));
        put32(static_cast<std::uint32_t>(record.size()));
        bytes.insert(bytes.end(), record.data(), record.data() + record.size());
        return *this;
    }
    FileBuilder& blob(const std::string& text, std::uint32_t id = 0, std::uint64_t hashXor = 0) {
        RecordBuilder header(RecordKind::Blob);
        header.u32(id != 0 ? id : ++blobs).u64(capture::contentHash(text.data(), text.size()) ^ hashXor);
        bytes.push_back(static_cast<std::uint8_t>(RecordKind::Blob));
        put32(static_cast<std::uint32_t>(header.size() + text.size()));
        bytes.insert(bytes.end(), header.data(), header.data() + header.size());
        bytes.insert(bytes.end(), text.begin(), text.end());
        return *this;
    }
};

RecordBuilder pixels(std::uint32_t width, std::uint32_t height, std::uint32_t blob, bool given = true) {
    RecordBuilder load(RecordKind::LoadFromMemory);
    load.u32(1).flag(given).u32(width).u32(height).u32(1).u32(blob);
    return load;
}

struct Refusal {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::uint64_t offset;
    const char* says;
};

std::vector<Refusal> refusals() {
    const std::vector<std::uint8_t> header = FileBuilder().bytes;
    std::vector<std::uint8_t> otherVersion = header;
    otherVersion[8] = 4;
    std::vector<std::uint8_t> tooLong = FileBuilder().record(RecordBuilder(RecordKind::RenderQueue).u32(1)).bytes;
    tooLong[17] = 0xFF;
    RecordBuilder badFlag(RecordKind::SetQueueing);
    badFlag.u32(1).u8(2);
    RecordBuilder trailing(RecordKind::RenderQueue);
    trailing.u32(1).u8(0);
    RecordBuilder deviceThrew(RecordKind::DeviceThrew);
    deviceThrew.u8(5).flag(true).string("no pixel format");
    RecordBuilder displayModeThrew(RecordKind::DeviceThrew);
    displayModeThrew.u8(6).flag(false).string("");
    RecordBuilder longName(RecordKind::LoadFromFile);
    longName.u32(1).u32(1u << 20);
    return {
        {"short header", {header.begin(), header.begin() + 10}, 0, "shorter than the 16-byte header"},
        {"other magic", bytesOf("DD7RCAPX........"), 0, "not a dd7r capture"},
        {"other version", otherVersion, 8, "format version 4 is not supported"},
        {"version 2 without device throws", FileBuilder(2).record(RecordBuilder(RecordKind::RenderQueue).u32(1)).bytes, 0, ""},
        {"device throw in a version 2 file", FileBuilder(2).record(deviceThrew).bytes, 16,
         "record kind 23 is not part of format version 2"},
        {"device throw", FileBuilder().record(deviceThrew).bytes, 0, ""},
        {"display mode cannot throw", FileBuilder().record(displayModeThrew).bytes, 22, "unknown device query 6"},
        {"record past the end", tooLong, 17, "more than the 4 bytes left"},
        {"header alone", FileBuilder().bytes, 0, ""},  // an empty capture reads: no refusal
        {"unknown kind", FileBuilder().record(RecordBuilder(static_cast<RecordKind>(99))).bytes, 21,
         "unknown record kind 99"},
        {"flag that is no flag", FileBuilder().record(badFlag).bytes, 26, "queueing is 2, not 0 or 1"},
        {"payload longer than its fields", FileBuilder().record(trailing).bytes, 25, "1 bytes more than its fields"},
        {"name beyond the limit", FileBuilder().record(longName).bytes, 29, "more than 65536"},
        {"blob out of order", FileBuilder().blob("abc", 2).bytes, 21, "blob id 2 out of order"},
        {"blob with a wrong hash", FileBuilder().blob("abc", 0, 1).bytes, 25, "do not match its hash"},
        {"blob named before it is stored", FileBuilder().record(pixels(1, 1, 1)).bytes, 16,
         "not stored before it"},
        {"blob of the wrong size", FileBuilder().blob("abc").record(pixels(2, 2, 1)).bytes, 36,
         "holds 3 bytes, but the pixels needs 16"},
        {"stand-in beyond the limit", FileBuilder().record(pixels(65536, 65536, 0)).bytes, 16,
         "beyond the 268435456-byte limit"},
    };
}

TEST(CaptureFile, DamagedOrHostileFilesAreRefusedWithTheOffsetAndTheFault) {
    for (const Refusal& refusal : refusals()) {
        SCOPED_TRACE(refusal.name);
        if (refusal.says[0] == '\0') {
            EXPECT_NO_THROW(CaptureFile{refusal.bytes});
            continue;
        }
        try {
            const CaptureFile file(refusal.bytes);
            ADD_FAILURE() << "read without complaint";
        } catch (const CaptureError& error) {
            EXPECT_EQ(refusal.offset, error.offset()) << error.what();
            EXPECT_NE(std::string::npos, std::string(error.what()).find(refusal.says)) << error.what();
        }
    }
}

}  // namespace
