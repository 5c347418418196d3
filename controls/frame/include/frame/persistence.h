// Saving and loading a control's properties by name, in the order of its
// property table, through the control's own get and put operations.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <span>

namespace frame {

// One property of a control's table. The table's order is the order in
// which the control saves and loads its persisted properties.
struct Property {
    const wchar_t* name;
    DISPID dispid;
    bool persisted;
};

// The extent items a control saves before its properties.
inline constexpr const wchar_t* kExtentWidth = L"_cx";
inline constexpr const wchar_t* kExtentHeight = L"_cy";

class PropertyWriter {
public:
    virtual HRESULT Write(const wchar_t* name, const VARIANT& value) = 0;

protected:
    ~PropertyWriter() = default;
};

class PropertyReader {
public:
    // S_FALSE when the item is not there (the property keeps its value).
    virtual HRESULT Read(const wchar_t* name, VARIANT* value) = 0;

protected:
    ~PropertyReader() = default;
};

// Items follow each other in a stream after a format word; each is its type
// (16 bits) and its value.
class StreamWriter final : public PropertyWriter {
public:
    explicit StreamWriter(IStream* stream) noexcept : stream_(stream) {}
    HRESULT Begin() noexcept;
    HRESULT Write(const wchar_t* name, const VARIANT& value) override;

private:
    IStream* stream_;
};

class StreamReader final : public PropertyReader {
public:
    explicit StreamReader(IStream* stream) noexcept : stream_(stream) {}
    HRESULT Begin() noexcept;
    HRESULT Read(const wchar_t* name, VARIANT* value) override;

private:
    IStream* stream_;
};

class BagWriter final : public PropertyWriter {
public:
    explicit BagWriter(IPropertyBag* bag) noexcept : bag_(bag) {}
    HRESULT Write(const wchar_t* name, const VARIANT& value) override;

private:
    IPropertyBag* bag_;
};

class BagReader final : public PropertyReader {
public:
    BagReader(IPropertyBag* bag, IErrorLog* log) noexcept : bag_(bag), log_(log) {}
    HRESULT Read(const wchar_t* name, VARIANT* value) override;

private:
    IPropertyBag* bag_;
    IErrorLog* log_;
};

// The extent, as a control saves it before its properties.
HRESULT SaveExtent(const SIZEL& extent, PropertyWriter& writer) noexcept;
// Reads the extent; an item that is not there keeps its side.
HRESULT LoadExtent(SIZEL& extent, PropertyReader& reader) noexcept;

// Writes every persisted property read through `object`, in table order.
HRESULT SaveProperties(IDispatch* object, std::span<const Property> properties,
                       PropertyWriter& writer) noexcept;

// Assigns every persisted property through `object` in table order. A
// property whose put fails keeps its value and loading goes on with the next
// one; a store that cannot be read fails the load.
HRESULT LoadProperties(IDispatch* object, std::span<const Property> properties,
                       PropertyReader& reader) noexcept;

} // namespace frame
