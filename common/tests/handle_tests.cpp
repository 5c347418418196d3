#include <gtest/gtest.h>

#include "common/handle.h"

using namespace common;

namespace {

bool IsOpen(HANDLE h) {
    DWORD flags = 0;
    return ::GetHandleInformation(h, &flags) != FALSE;
}

DWORD WINAPI TryTakeMutex(LPVOID mutex) {
    DWORD result = ::WaitForSingleObject(static_cast<HANDLE>(mutex), 0);
    if (result == WAIT_OBJECT_0) {
        ::ReleaseMutex(static_cast<HANDLE>(mutex));
    }
    return result;
}

DWORD WaitResultOnOtherThread(HANDLE mutex) {
    UniqueKernel thread(::CreateThread(nullptr, 0, TryTakeMutex, mutex, 0, nullptr));
    ::WaitForSingleObject(thread.get(), INFINITE);
    DWORD code = 0;
    ::GetExitCodeThread(thread.get(), &code);
    return code;
}

} // namespace

TEST(UniqueHandle, ClosesOnceWhenItGoesOutOfScope) {
    HANDLE raw = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    {
        UniqueKernel event(raw);
        ASSERT_TRUE(event);
        EXPECT_TRUE(IsOpen(raw));
    }
    EXPECT_FALSE(IsOpen(raw));
}

TEST(UniqueHandle, MoveTransfersOwnershipAndReleaseGivesItUp) {
    UniqueKernel first(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE raw = first.get();
    UniqueKernel second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.get(), raw);

    UniqueKernel third;
    third = std::move(second);
    EXPECT_TRUE(IsOpen(raw));

    HANDLE released = third.release();
    EXPECT_FALSE(third);
    EXPECT_TRUE(IsOpen(released));
    ::CloseHandle(released);
}

TEST(UniqueHandle, ResetAndPutCloseWhatWasHeld) {
    HANDLE raw = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    UniqueKernel event(raw);
    event.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    EXPECT_FALSE(IsOpen(raw));
    HANDLE second = event.get();
    *event.put() = nullptr;
    EXPECT_FALSE(IsOpen(second));
}

TEST(UniqueHandle, FileOwnerTreatsInvalidHandleValueAsEmpty) {
    UniqueFile missing(::CreateFileW(L"C:\\no such folder\\none.txt", GENERIC_READ, 0, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.get(), INVALID_HANDLE_VALUE);
}

TEST(UniqueHandle, FindOwnerWalksAFolder) {
    WIN32_FIND_DATAW data;
    UniqueFind find(::FindFirstFileW(L"C:\\*", &data));
    EXPECT_TRUE(find);
}

TEST(UniqueHandle, RegistryKeyIsClosed) {
    UniqueKey key;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_READ, key.put()),
              ERROR_SUCCESS);
    HKEY raw = key.get();
    key.reset();
    DWORD subkeys = 0;
    EXPECT_NE(::RegQueryInfoKeyW(raw, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                 nullptr, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
}

TEST(UniqueHandle, GdiObjectAndModuleAreGivenBack) {
    UniqueGdiObject brush(::CreateSolidBrush(RGB(1, 2, 3)));
    HGDIOBJ raw = brush.get();
    EXPECT_EQ(::GetObjectType(raw), static_cast<DWORD>(OBJ_BRUSH));
    brush.reset();
    EXPECT_EQ(::GetObjectType(raw), 0u);

    UniqueModule module(::LoadLibraryW(L"oleaut32.dll"));
    EXPECT_TRUE(module);
}

TEST(UniqueHandle, MappedViewIsUnmapped) {
    UniqueKernel mapping(
        ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, nullptr));
    ASSERT_TRUE(mapping);
    UniqueView view(::MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, 0));
    ASSERT_TRUE(view);
    void* raw = view.get();
    view.reset();
    MEMORY_BASIC_INFORMATION info{};
    ::VirtualQuery(raw, &info, sizeof(info));
    EXPECT_NE(info.State, static_cast<DWORD>(MEM_COMMIT));
}

TEST(MutexHold, ReleasesTheMutexForOtherThreads) {
    UniqueKernel mutex(::CreateMutexW(nullptr, FALSE, nullptr));
    ASSERT_EQ(::WaitForSingleObject(mutex.get(), 0), WAIT_OBJECT_0);
    {
        MutexHold hold(mutex.get());
        EXPECT_EQ(WaitResultOnOtherThread(mutex.get()), static_cast<DWORD>(WAIT_TIMEOUT));
    }
    EXPECT_EQ(WaitResultOnOtherThread(mutex.get()), static_cast<DWORD>(WAIT_OBJECT_0));
}
