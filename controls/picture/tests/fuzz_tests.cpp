// Damaged picture files: thousands of mutated JPEG, PNG and BMP files
// (fixed seed, fixed count) load or fail, never crash, and leave no handle
// or graphics object behind.
#include <cstring>
#include <random>

#include "picture_fixture.h"

namespace {

constexpr int kFilesPerFormat = 700;

DWORD HandleCount() {
    DWORD count = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &count);
    return count;
}

DWORD GdiObjectCount() {
    return ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
}

std::string Mutate(const std::string& original, std::mt19937& random) {
    std::string bytes = original;
    switch (random() % 4) {
    case 0: // a few bytes changed
        for (int i = 0, n = 1 + static_cast<int>(random() % 8); i < n; ++i) {
            bytes[random() % bytes.size()] = static_cast<char>(random());
        }
        break;
    case 1: // cut short
        bytes.resize(random() % bytes.size());
        break;
    case 2: { // a 32-bit field in the headers made huge or negative
        const size_t at = random() % std::min<size_t>(bytes.size() - 4, 64);
        const uint32_t value = random() % 2 ? 0xFFFFFFF0u : 0x7FFF0000u;
        std::memcpy(&bytes[at], &value, 4);
        break;
    }
    default: // a run of bytes repeated
        if (bytes.size() > 16) {
            const size_t at = random() % (bytes.size() - 8);
            bytes.insert(at, bytes.substr(at, 8 + random() % 64));
        }
        break;
    }
    return bytes;
}

class PictureFuzz : public PictureTest {};

TEST_F(PictureFuzz, DamagedFilesNeitherCrashNorLeak) {
    std::mt19937 random(20261208);
    struct Source {
        const wchar_t* sample;
        const wchar_t* scratch;
    };
    const Source sources[] = {
        {L"sample.jpg", L"fuzz.jpg"}, {L"corners.png", L"fuzz.png"}, {L"corners.bmp", L"fuzz.bmp"}};
    // Once each first, so that the decoders' own one-time handles are open.
    for (const Source& source : sources) {
        Load(SamplePath(source.sample));
    }
    picture_->Clear();
    const DWORD handles = HandleCount();
    const DWORD objects = GdiObjectCount();

    int loaded = 0;
    for (const Source& source : sources) {
        const std::string original = testsupport::ReadFileBytes(SamplePath(source.sample));
        ASSERT_FALSE(original.empty());
        const std::wstring path = ScratchPath(source.scratch);
        for (int i = 0; i < kFilesPerFormat; ++i) {
            ASSERT_TRUE(testsupport::WriteFileBytes(path, Mutate(original, random)));
            if (Load(path) == S_OK) {
                ++loaded;
                LONG width = 0;
                picture_->get_Width(&width);
                EXPECT_GT(width, 0);
            }
        }
        ::DeleteFileW(path.c_str());
    }
    picture_->Clear();
    EXPECT_EQ(HandleCount(), handles);
    EXPECT_EQ(GdiObjectCount(), objects);
    ::testing::Test::RecordProperty("loaded", loaded);
}

} // namespace
