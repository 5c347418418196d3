// An Inet object logged in to a real FTP server of its own.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "MXQRAPI.h"
#include "common/com.h"
#include "deviceapi_server.h"
#include "testsupport/ftp_server.h"

class InetSession : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegisterDeviceApiServer(), S_OK);
        inet_ = NewInet();
        ASSERT_TRUE(inet_);
        ASSERT_TRUE(server_.running()) << server_.failure();
    }

    static common::ComPtr<IInet> NewInet() {
        common::ComPtr<IInet> inet;
        EXPECT_EQ(::CoCreateInstance(CLSID_Inet, nullptr, CLSCTX_INPROC_SERVER, IID_IInet,
                                     reinterpret_cast<void**>(inet.put())),
                  S_OK);
        return inet;
    }

    // FTPOpen, the server's port and FTPConnect as the test user; the
    // connection's result.
    VARIANT_BOOL OpenAndConnect(const wchar_t* password = testsupport::FtpServer::kPassword) {
        VARIANT_BOOL opened = 0;
        EXPECT_EQ(inet_->FTPOpen(&opened), S_OK);
        EXPECT_NE(opened, 0);
        EXPECT_EQ(inet_->put_FTPPort(static_cast<short>(server_.port())), S_OK);
        return Connect(password);
    }
    VARIANT_BOOL Connect(const wchar_t* password = testsupport::FtpServer::kPassword) {
        VARIANT_BOOL connected = 0;
        EXPECT_EQ(inet_->FTPConnect(common::UniqueBstr(L"127.0.0.1").get(),
                                    common::UniqueBstr(testsupport::FtpServer::kUser).get(),
                                    common::UniqueBstr(password).get(), &connected),
                  S_OK);
        return connected;
    }

    VARIANT_BOOL Put(const std::wstring& local, const wchar_t* remote,
                     MXQRAPIFtpType type = ftpBINARY) {
        VARIANT_BOOL result = -7;
        EXPECT_EQ(inet_->FTPPutFile(common::UniqueBstr(local).get(),
                                    common::UniqueBstr(remote).get(), type, &result),
                  S_OK);
        return result;
    }
    VARIANT_BOOL Get(const wchar_t* remote, const std::wstring& local,
                     VARIANT_BOOL failIfFileExists = VARIANT_FALSE) {
        VARIANT_BOOL result = -7;
        EXPECT_EQ(inet_->FTPGetFile(common::UniqueBstr(remote).get(),
                                    common::UniqueBstr(local).get(), failIfFileExists, &result),
                  S_OK);
        return result;
    }

    // A fresh file in the terminal's temporary folder, removed when the test ends.
    std::wstring LocalFile(const wchar_t* prefix) {
        wchar_t folder[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, folder);
        wchar_t path[MAX_PATH] = {};
        ::GetTempFileNameW(folder, prefix, 0, path);
        localFiles_.push_back(path);
        return path;
    }
    void TearDown() override {
        for (const std::wstring& file : localFiles_) {
            ::DeleteFileW(file.c_str());
        }
    }

    common::ComApartment apartment_;
    testsupport::FtpServer server_;
    common::ComPtr<IInet> inet_;
    std::vector<std::wstring> localFiles_;
};
