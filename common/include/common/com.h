// Owners for COM interface pointers, BSTRs and VARIANTs.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string_view>
#include <utility>

namespace common {

template <typename T> class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes a new reference to p.
    explicit ComPtr(T* p) noexcept : p_(p) {
        if (p_ != nullptr) {
            p_->AddRef();
        }
    }
    ComPtr(const ComPtr& other) noexcept : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(const ComPtr& other) noexcept {
        ComPtr(other).swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        ComPtr(std::move(other)).swap(*this);
        return *this;
    }
    ~ComPtr() { reset(); }

    // Adopts a reference the caller already owns.
    static ComPtr attach(T* p) noexcept {
        ComPtr result;
        result.p_ = p;
        return result;
    }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    T* detach() noexcept { return std::exchange(p_, nullptr); }
    void reset() noexcept {
        if (T* old = std::exchange(p_, nullptr)) {
            old->Release();
        }
    }
    // For out parameters: releases what was held first.
    T** put() noexcept {
        reset();
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
    void swap(ComPtr& other) noexcept { std::swap(p_, other.p_); }

    template <typename U> ComPtr<U> as(REFIID iid) const noexcept {
        ComPtr<U> result;
        if (p_ != nullptr) {
            p_->QueryInterface(iid, result.put_void());
        }
        return result;
    }
    template <typename U> ComPtr<U> as() const noexcept { return as<U>(__uuidof(U)); }

    // Hands out a new reference, as a COM out parameter expects.
    HRESULT copy_to(T** out) const noexcept {
        if (out == nullptr) {
            return E_POINTER;
        }
        *out = p_;
        if (p_ != nullptr) {
            p_->AddRef();
        }
        return S_OK;
    }

private:
    T* p_ = nullptr;
};

class UniqueBstr {
public:
    UniqueBstr() noexcept = default;
    explicit UniqueBstr(std::wstring_view text)
        : s_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;
    UniqueBstr(UniqueBstr&& other) noexcept : s_(std::exchange(other.s_, nullptr)) {}
    UniqueBstr& operator=(UniqueBstr&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~UniqueBstr() { reset(); }

    static UniqueBstr attach(BSTR s) noexcept {
        UniqueBstr result;
        result.s_ = s;
        return result;
    }

    BSTR get() const noexcept { return s_; }
    UINT length() const noexcept { return ::SysStringLen(s_); }
    std::wstring_view view() const noexcept { return {s_ != nullptr ? s_ : L"", length()}; }
    BSTR release() noexcept { return std::exchange(s_, nullptr); }
    void reset(BSTR s = nullptr) noexcept { ::SysFreeString(std::exchange(s_, s)); }
    BSTR* put() noexcept {
        reset();
        return &s_;
    }
    // A new copy for the caller of a COM member.
    BSTR copy() const noexcept { return ::SysAllocStringLen(s_, length()); }

private:
    BSTR s_ = nullptr;
};

class UniqueVariant {
public:
    UniqueVariant() noexcept { ::VariantInit(&v_); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    UniqueVariant(UniqueVariant&& other) noexcept : v_(other.v_) { ::VariantInit(&other.v_); }
    UniqueVariant& operator=(UniqueVariant&& other) noexcept {
        if (this != &other) {
            reset();
            v_ = other.v_;
            ::VariantInit(&other.v_);
        }
        return *this;
    }
    ~UniqueVariant() { reset(); }

    VARIANT* get() noexcept { return &v_; }
    const VARIANT* get() const noexcept { return &v_; }
    VARIANT* operator->() noexcept { return &v_; }
    const VARIANT* operator->() const noexcept { return &v_; }
    void reset() noexcept { ::VariantClear(&v_); }
    // For out parameters: clears what was held first.
    VARIANT* put() noexcept {
        reset();
        return &v_;
    }
    // Gives the contents to the caller and leaves VT_EMPTY.
    VARIANT release() noexcept {
        VARIANT out = v_;
        ::VariantInit(&v_);
        return out;
    }

private:
    VARIANT v_;
};

// CoInitializeEx/CoUninitialize for one thread.
class ComApartment {
public:
    explicit ComApartment(DWORD model = COINIT_APARTMENTTHREADED) noexcept
        : result_(::CoInitializeEx(nullptr, model)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(result_)) {
            ::CoUninitialize();
        }
    }
    HRESULT result() const noexcept { return result_; }

private:
    HRESULT result_;
};

} // namespace common
