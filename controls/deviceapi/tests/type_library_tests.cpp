// The interfaces' layout as scripts and early-bound callers depend on it:
// members in slot order with their dispatch identifiers, help strings and
// argument names, the event interfaces and the enumerations.
#include <windows.h>
#include <oaidl.h>

#include <span>
#include <string>

#include <gtest/gtest.h>

#include "common/com.h"
#include "deviceapi_server.h"
#include "testsupport/registry_checks.h"

namespace {

struct Member {
    const wchar_t* name;
    MEMBERID id;
    INVOKEKIND kind;
    const wchar_t* help;
    const wchar_t* arguments; // comma-separated, in order
};

const Member kCore[] = {
    {L"SoftReset", 1, INVOKE_FUNC, L"Soft Resets the Device", L""},
    {L"RunAndReturn", 2, INVOKE_FUNC, L"Starts another process and returns immediately.",
     L"FileName,Parameters,hProcess"},
    {L"RunAndWait", 3, INVOKE_FUNC, L"Starts another process and wits for it to complete.",
     L"FileName,Parameters,hProcess"},
    {L"GetLocalTime", 4, INVOKE_FUNC, L"Gets the device's time-zone dependent time.", L"pVal"},
    {L"SetLocalTime", 5, INVOKE_FUNC, L"Sets the device's time-zone dependent time.", L"NewDate"},
    {L"SetSystemTime", 6, INVOKE_FUNC, L"Sets the device's time-zone independent time.",
     L"NewDate"},
    {L"GetSystemDate", 7, INVOKE_FUNC, L"Gets the device's time-zone independent time.", L"pVal"},
    {L"CaselessCompareString", 9, INVOKE_FUNC, L"Compares two string values",
     L"String1,String2,IgnoreSymbols,pVal"},
    {L"DoEvents", 10, INVOKE_FUNC, L"DoEvents inplementation for CE", L""},
    {L"GetFocus", 11, INVOKE_FUNC, L"Gets the hWnd for currently active window", L"hWnd"},
    {L"GetTickCount", 12, INVOKE_FUNC, L"Milliseconds since CE was started", L"pVal"},
    {L"PlaySound", 13, INVOKE_FUNC, L"Plays a sound file", L"FileName"},
    {L"Sleep", 14, INVOKE_FUNC, L"Stop process execution for a specified time", L"Milliseconds"},
    {L"OEMInfo", 15, INVOKE_PROPERTYGET, L"property OEMInfo", L"pVal"},
    {L"PlatformType", 16, INVOKE_PROPERTYGET, L"property PlatformType", L"pVal"},
    {L"VersionMajor", 17, INVOKE_PROPERTYGET, L"property VersionMajor", L"pVal"},
    {L"VersionMinor", 18, INVOKE_PROPERTYGET, L"property VersionMinor", L"pVal"},
    {L"BuildNumber", 19, INVOKE_PROPERTYGET, L"property BuildNumber", L"pVal"},
    {L"PlatformID", 20, INVOKE_PROPERTYGET, L"property PlatformID", L"pVal"},
};

const Member kPower[] = {
    {L"PowerOffDevice", 1, INVOKE_FUNC, L"Set device to hibernate power mode", L""},
    {L"ACLineStatus", 3, INVOKE_PROPERTYGET, L"Status of device AC power", L"pVal"},
    {L"BatteryFlag", 4, INVOKE_PROPERTYGET, L"Battery Charge Status", L"pVal"},
    {L"BatteryLifePercent", 5, INVOKE_PROPERTYGET, L"Percentage of full battery charge remaining",
     L"pVal"},
    {L"BatteryLifeTime", 6, INVOKE_PROPERTYGET, L"Number of seconds of battery life remaining",
     L"pVal"},
    {L"BatteryFullLifeTime", 7, INVOKE_PROPERTYGET,
     L"Number of seconds of battery life when at full charge", L"pVal"},
    {L"BackupBatteryFlag", 8, INVOKE_PROPERTYGET, L"Backup Battery Charge Status", L"pVal"},
    {L"BackupBatteryLifePercent", 9, INVOKE_PROPERTYGET,
     L"Percentage of full backup battery charge remaining", L"pVal"},
    {L"BackupBatteryLifeTime", 10, INVOKE_PROPERTYGET,
     L"Number of seconds of backup battery life remaining", L"pVal"},
    {L"BackupBatteryFullLifeTime", 11, INVOKE_PROPERTYGET,
     L"Number of seconds of backup battery life when at full charge", L"pVal"},
    {L"BatteryCurrent", 12, INVOKE_PROPERTYGET,
     L"Number of milliamps (mA) of instantaneous current drain.", L"pVal"},
    {L"BatteryAverageInterval", 13, INVOKE_PROPERTYGET,
     L"Number of milliseconds (mS) that is the time constant interval used in reporting "
     L"BatteryAverageCurrent",
     L"pVal"},
    {L"BatterymAHourConsumed", 14, INVOKE_PROPERTYGET,
     L"Average number of milliamp hours (mAh) of long-term cumulative average discharge", L"pVal"},
    {L"BatteryTemperature", 15, INVOKE_PROPERTYGET,
     L"Battery temperature reported in 0.1 degree Celsius increments", L"pVal"},
    {L"BackupBatteryVoltage", 16, INVOKE_PROPERTYGET,
     L"Number of millivolts (mV) of backup battery voltage", L"pVal"},
    {L"BatteryChemistry", 17, INVOKE_PROPERTYGET, L"Type of battery", L"pVal"},
    {L"BatteryAverageCurrent", 18, INVOKE_PROPERTYGET,
     L"Average number of milliamps of short term device current drain", L"pVal"},
    {L"BatteryVoltage", 19, INVOKE_PROPERTYGET, L"Number of millivolts (mV) of battery voltage",
     L"pVal"},
    {L"SystemIdleTimerReset", 20, INVOKE_FUNC, L"method SystemIdleTimerReset", L""},
    {L"ExternalIdleTimeout", 21, INVOKE_PROPERTYGET, L"property ExternalIdleTimeout", L"pVal"},
    {L"ExternalIdleTimeout", 21, INVOKE_PROPERTYPUT, L"property ExternalIdleTimeout", L"newVal"},
    {L"BatteryIdleTimeout", 22, INVOKE_PROPERTYGET, L"property BatteryIdleTimeout", L"pVal"},
    {L"BatteryIdleTimeout", 22, INVOKE_PROPERTYPUT, L"property BatteryIdleTimeout", L"newVal"},
    {L"WakeupIdleTimeout", 23, INVOKE_PROPERTYGET, L"property WakeupIdleTimeout", L"pVal"},
    {L"WakeupIdleTimeout", 23, INVOKE_PROPERTYPUT, L"property WakeupIdleTimeout", L"newVal"},
};

const Member kMemory[] = {
    {L"MemoryLoad", 1, INVOKE_PROPERTYGET,
     L"Specifies a number between 0 and 100 that gives a general idea of current memory "
     L"utilization, in which 0 indicates no memory use and 100 indicates full memory use",
     L"pVal"},
    {L"TotalPhysicalMemory", 2, INVOKE_PROPERTYGET,
     L"Indicates the total number of bytes of physical memory", L"pVal"},
    {L"SetSystemMemoryStoragePages", 11, INVOKE_FUNC, L"method SetSystemMemoryStoragePages",
     L"NewPageAllocation,pVal"},
    {L"AvailablePhysicalMemory", 3, INVOKE_PROPERTYGET,
     L"Indicates the number of bytes of physical memory available", L"pVal"},
    {L"TotalPageFileMemory", 4, INVOKE_PROPERTYGET,
     L"Indicates the total number of bytes that can be stored in the paging file", L"pVal"},
    {L"AvailablePageFileMemory", 5, INVOKE_PROPERTYGET,
     L"Indicates the number of bytes available in the paging file", L"pVal"},
    {L"TotalVirtualMemory", 6, INVOKE_PROPERTYGET,
     L"Indicates the total number of bytes that can be described in the user mode portion of the "
     L"virtual address space of the calling process",
     L"pVal"},
    {L"AvailableVirtualMemory", 7, INVOKE_PROPERTYGET,
     L"Indicates the number of bytes of unreserved and uncommitted memory in the user mode portion "
     L"of the virtual address space of the calling process",
     L"pVal"},
    {L"SystemMemoryStoragePages", 8, INVOKE_PROPERTYGET, L"property SystemMemoryStoragePages",
     L"pVal"},
    {L"SystemMemoryRAMPages", 9, INVOKE_PROPERTYGET, L"property SystemMemoryRAMPages", L"pVal"},
    {L"SystemMemoryPageSize", 10, INVOKE_PROPERTYGET, L"property SystemMemoryPageSize", L"pVal"},
};

const Member kRegistry[] = {
    {L"SaveSetting", 1, INVOKE_FUNC, L"method SaveSetting", L"RootKey,Section,Key,Setting"},
    {L"GetSetting", 2, INVOKE_FUNC, L"method GetSetting", L"RootKey,Section,Key,Default,Result"},
    {L"CreateKey", 3, INVOKE_FUNC, L"method CreateKey", L"KeyParent,KeyName,pVal"},
    {L"SetValue", 4, INVOKE_FUNC, L"method SetValue", L"Key,Section,Setting,pVal"},
    {L"CloseKey", 5, INVOKE_FUNC, L"method CloseKey", L"Key"},
    {L"DeleteKey", 6, INVOKE_FUNC, L"method DeleteKey", L"Key,SubKey,pVal"},
    {L"DeleteValue", 7, INVOKE_FUNC, L"method DeleteValue", L"Key,Value,pVal"},
    {L"RecurseDeleteKey", 8, INVOKE_FUNC, L"method RecurseDeleteKey", L"Key,SubKeyName,pVal"},
    {L"QueryValue", 9, INVOKE_FUNC, L"method QueryValue", L"Key,ValueName,Result"},
};

const Member kListViewHelper[] = {
    {L"CurrenthWnd", 1, INVOKE_PROPERTYGET, L"hWnd of the ListView being manipulated", L"pVal"},
    {L"CurrenthWnd", 1, INVOKE_PROPERTYPUT, L"hWnd of the ListView being manipulated", L"newVal"},
    {L"ItemCount", 2, INVOKE_PROPERTYGET, L"Number of ListItems in Listview", L"pVal"},
    {L"SelectedCount", 3, INVOKE_PROPERTYGET, L"Number of selected ListItems in Listview", L"pVal"},
    {L"CountPerPage", 4, INVOKE_PROPERTYGET,
     L"Number of ListItems that fit in the visible area of the Listview", L"pVal"},
    {L"TopIndex", 5, INVOKE_PROPERTYGET, L"Index of the topmost visible ListItem", L"pVal"},
    {L"ColumnHeaders", 6, INVOKE_PROPERTYGET, L"Returns/Sets whether column headers are shown",
     L"pVal"},
    {L"ColumnHeaders", 6, INVOKE_PROPERTYPUT, L"Returns/Sets whether column headers are shown",
     L"newVal"},
    {L"FindText", 7, INVOKE_FUNC, L"Finds a ListItem by its text",
     L"TextToFind,StartAt,ExactMatch,index"},
    {L"Checked", 8, INVOKE_PROPERTYGET, L"Returns/Sets whether a ListItem is checked",
     L"ItemIndex,pVal"},
    {L"Checked", 8, INVOKE_PROPERTYPUT, L"Returns/Sets whether a ListItem is checked",
     L"ItemIndex,newVal"},
    {L"SelectItem", 9, INVOKE_FUNC, L"Selects and focuses a ListItem", L"ItemIndex"},
    {L"SelectedItem", 10, INVOKE_PROPERTYGET, L"Index of the selected ListItem", L"pVal"},
    {L"AutoSizeColumn", 11, INVOKE_FUNC, L"Sizes a column to fit its contents",
     L"ColumnIndex,UseHeader"},
    {L"DeleteItem", 12, INVOKE_FUNC, L"Deletes a ListItem", L"ItemIndex"},
    {L"DeleteColumn", 13, INVOKE_FUNC, L"Deletes a column", L"ColumnIndex"},
    {L"ClearItems", 14, INVOKE_FUNC, L"Deletes all ListItems", L""},
    {L"GridLines", 15, INVOKE_PROPERTYGET, L"Returns/Sets whether grid lines are shown", L"pVal"},
    {L"GridLines", 15, INVOKE_PROPERTYPUT, L"Returns/Sets whether grid lines are shown", L"newVal"},
    {L"CheckBoxes", 16, INVOKE_PROPERTYGET, L"Returns/Sets whether ListItems have check boxes",
     L"pVal"},
    {L"CheckBoxes", 16, INVOKE_PROPERTYPUT, L"Returns/Sets whether ListItems have check boxes",
     L"newVal"},
    {L"FullRowSelect", 17, INVOKE_PROPERTYGET, L"Returns/Sets whether the whole row is selected",
     L"pVal"},
    {L"FullRowSelect", 17, INVOKE_PROPERTYPUT, L"Returns/Sets whether the whole row is selected",
     L"newVal"},
    {L"GetFocus", 18, INVOKE_FUNC, L"Gets the hWnd for currently active window", L"pVal"},
    {L"EnsureVisible", 19, INVOKE_FUNC, L"Scrolls a ListItem into view", L"index,AllowPartial"},
    {L"BackColor", 20, INVOKE_PROPERTYGET, L"Returns/Sets the background color", L"pVal"},
    {L"BackColor", 20, INVOKE_PROPERTYPUT, L"Returns/Sets the background color", L"newVal"},
    {L"TextBackColor", 21, INVOKE_PROPERTYGET, L"Returns/Sets the text background color", L"pVal"},
    {L"TextBackColor", 21, INVOKE_PROPERTYPUT, L"Returns/Sets the text background color",
     L"newVal"},
    {L"TextColor", 22, INVOKE_PROPERTYGET, L"Returns/Sets the text color", L"pVal"},
    {L"TextColor", 22, INVOKE_PROPERTYPUT, L"Returns/Sets the text color", L"newVal"},
};

const Member kWindowHelper[] = {
    {L"BringWindowToTop", 1, INVOKE_FUNC, L"Brings specified window to the top of the z-order",
     L"hWnd"},
    {L"SetAppKeyWindowAssociation", 10, INVOKE_FUNC, L"Sets a new hWnd for an app key to activate",
     L"AppKey,hWnd"},
    {L"ReleaseAppKeyWindowAssociation", 11, INVOKE_FUNC,
     L"Sets the app key to activate the default window", L"AppKey"},
    {L"CreateRect", 12, INVOKE_FUNC, L"method CreateRect", L"Left,Top,Right,Bottom,pVal"},
    {L"WorkAreaHeight", 13, INVOKE_PROPERTYGET, L"property WorkAreaHeight", L"pVal"},
    {L"WorkAreaWidth", 14, INVOKE_PROPERTYGET, L"property WorkAreaWidth", L"pVal"},
    {L"SIPHeight", 15, INVOKE_PROPERTYGET, L"property SIPHeight", L"pVal"},
    {L"UnmakeFullScreen", 2, INVOKE_FUNC, L"Removes fullscreen state of specified window", L"hWnd"},
    {L"MakeFullScreen", 3, INVOKE_FUNC, L"Makes specified window full screen", L"hWnd"},
    {L"ShowMenu", 4, INVOKE_FUNC, L"Shows menu", L"hWnd"},
    {L"HideMenu", 5, INVOKE_FUNC, L"Hides menu", L"hWnd"},
    {L"ShowStart", 6, INVOKE_FUNC, L"Shows start menu", L"hWnd"},
    {L"HideStart", 7, INVOKE_FUNC, L"Hides start menu", L"hWnd"},
    {L"ShowTaskbar", 8, INVOKE_FUNC, L"Shows task bar", L"hWnd"},
    {L"HideTaskbar", 9, INVOKE_FUNC, L"Hides task bar", L"hWnd"},
};

const Member kInet[] = {
    {L"FTPOpen", 1, INVOKE_FUNC, L"method FTPOpen", L"pVal"},
    {L"FTPClose", 2, INVOKE_FUNC, L"method FTPClose", L""},
    {L"FTPConnect", 3, INVOKE_FUNC, L"method FTPConnect", L"ServerName,UserName,Password,pVal"},
    {L"FTPGetFile", 4, INVOKE_FUNC, L"method FTPGetFile",
     L"RemoteFile,LocalFile,FailIfFileExists,pVal"},
    {L"FTPPutFile", 5, INVOKE_FUNC, L"method FTPPutFile",
     L"LocalFile,RemoteFile,TransferType,pVal"},
    {L"FTPCreateDirectory", 6, INVOKE_FUNC, L"method FTPCreateDirectory", L"DirectoryName,pVal"},
    {L"FTPDeleteFile", 7, INVOKE_FUNC, L"method FTPDeleteFile", L"FileName,pVal"},
    {L"FTPCurrentDirectory", 10, INVOKE_PROPERTYGET, L"property FTPCurrentDirectory", L"pVal"},
    {L"FTPCurrentDirectory", 10, INVOKE_PROPERTYPUT, L"property FTPCurrentDirectory", L"newVal"},
    {L"FTPRemoveDirectory", 11, INVOKE_FUNC, L"method FTPRemoveDirectory", L"DirectoryName,pVal"},
    {L"FTPRenameFile", 12, INVOKE_FUNC, L"method FTPRenameFile",
     L"CurrentFileName,NewFileName,pVal"},
    {L"FTPPort", 13, INVOKE_PROPERTYGET, L"property FTPPort", L"pVal"},
    {L"FTPPort", 13, INVOKE_PROPERTYPUT, L"property FTPPort", L"newVal"},
};

const Member kWinHook[] = {
    {L"Hook", 1, INVOKE_FUNC, L"Used to subclass a specific window.", L"hWnd,UseDefaultProc,pVal"},
    {L"Unhook", 2, INVOKE_FUNC, L"method Unhook", L"hWnd,pVal"},
    {L"GetFocus", 3, INVOKE_FUNC, L"method GetFocus", L"hWnd"},
};

struct Layout {
    const IID* iid;
    std::span<const Member> members;
};

const Layout kLayouts[] = {
    {&IID_ICore, kCore},
    {&IID_IPower, kPower},
    {&IID_IMemory, kMemory},
    {&IID_IRegistry, kRegistry},
    {&IID_IListViewHelper, kListViewHelper},
    {&IID_IWindowHelper, kWindowHelper},
    {&IID_IInet, kInet},
    {&IID_IWinHook, kWinHook},
};

class TypeLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegisterDeviceApiServer(), S_OK);
        // The library as the class keys name it, as a script host finds it.
        library_ = testsupport::RegisteredTypeLib(L"CLSID\\{713D4D4D-809D-44C5-A909-A937BEDB5A11}");
        ASSERT_TRUE(library_);
    }
    common::ComApartment apartment_;
    common::ComPtr<ITypeLib> library_;
};

std::wstring ArgumentNames(ITypeInfo* info, const FUNCDESC& function) {
    BSTR names[16] = {};
    UINT count = 0;
    info->GetNames(function.memid, names, 16, &count);
    // A property's get and put share the identifier: GetNames describes the
    // first, so a put's arguments are read from its own description.
    std::wstring text;
    for (UINT i = 1; i < count; ++i) {
        text += (i > 1 ? L"," : L"");
        text += names[i];
    }
    for (UINT i = 0; i < count; ++i) {
        ::SysFreeString(names[i]);
    }
    return text;
}

TEST_F(TypeLibrary, InterfacesListTheirMembersInSlotOrder) {
    for (const Layout& layout : kLayouts) {
        common::ComPtr<ITypeInfo> dispatch;
        ASSERT_EQ(library_->GetTypeInfoOfGuid(*layout.iid, dispatch.put()), S_OK);
        // The vtable half of the dual interface.
        HREFTYPE vtable = 0;
        ASSERT_EQ(dispatch->GetRefTypeOfImplType(-1, &vtable), S_OK);
        common::ComPtr<ITypeInfo> info;
        ASSERT_EQ(dispatch->GetRefTypeInfo(vtable, info.put()), S_OK);
        TYPEATTR* type = nullptr;
        ASSERT_EQ(info->GetTypeAttr(&type), S_OK);
        const UINT count = type->cFuncs;
        info->ReleaseTypeAttr(type);
        ASSERT_EQ(count, layout.members.size());
        SHORT lastSlot = 0;
        for (UINT i = 0; i < count; ++i) {
            const Member& member = layout.members[i];
            SCOPED_TRACE(testing::PrintToString(std::wstring(member.name)));
            FUNCDESC* function = nullptr;
            ASSERT_EQ(info->GetFuncDesc(i, &function), S_OK);
            common::UniqueBstr name;
            info->GetDocumentation(function->memid, name.put(), nullptr, nullptr, nullptr);
            EXPECT_EQ(name.view(), member.name);
            EXPECT_EQ(function->memid, member.id);
            EXPECT_EQ(function->invkind, member.kind);
            EXPECT_GT(function->oVft, lastSlot);
            lastSlot = function->oVft;
            if (member.kind != INVOKE_PROPERTYPUT) {
                EXPECT_EQ(testsupport::DocString(info.get(), member.id), member.help);
                EXPECT_EQ(ArgumentNames(info.get(), *function), member.arguments);
            }
            info->ReleaseFuncDesc(function);
        }
    }
}

TEST_F(TypeLibrary, OnlyTheHookEventsHaveAMember) {
    const IID* empty[] = {&DIID__ICoreEvents, &DIID__IPowerEvents, &DIID__IMemoryEvents,
                          &DIID__IRegistryEvents};
    for (const IID* iid : empty) {
        common::ComPtr<ITypeInfo> info;
        ASSERT_EQ(library_->GetTypeInfoOfGuid(*iid, info.put()), S_OK);
        TYPEATTR* type = nullptr;
        info->GetTypeAttr(&type);
        EXPECT_EQ(type->cFuncs, 0);
        info->ReleaseTypeAttr(type);
    }
    common::ComPtr<ITypeInfo> hook;
    ASSERT_EQ(library_->GetTypeInfoOfGuid(DIID__IWinHookEvents, hook.put()), S_OK);
    EXPECT_EQ(testsupport::DocString(hook.get(), MEMBERID_NIL), L"_IWinHookEvents Interface");
    FUNCDESC* function = nullptr;
    ASSERT_EQ(hook->GetFuncDesc(0, &function), S_OK);
    EXPECT_EQ(function->memid, 1);
    EXPECT_EQ(function->cParams, 4);
    EXPECT_EQ(ArgumentNames(hook.get(), *function), L"hWnd,Message,lParam,wParam");
    EXPECT_EQ(testsupport::DocString(hook.get(), 1),
              L"Fires whenever a Hooked window receives a message");
    for (SHORT i = 0; i < function->cParams; ++i) {
        EXPECT_EQ(function->lprgelemdescParam[i].tdesc.vt, VT_I4);
    }
    hook->ReleaseFuncDesc(function);
}

struct Constant {
    const wchar_t* name;
    LONG value;
};

struct Enumeration {
    const wchar_t* name;
    std::span<const Constant> constants;
};

const Constant kLineStatus[] = {{L"ilsAC_LINE_OFFLINE", 0},
                                {L"ilsAC_LINE_ONLINE", 1},
                                {L"ilsAC_LINE_BACKUP_POWER", 2},
                                {L"ilsAC_LINE_UNKNOWN", 255}};
const Constant kBatteryFlag[] = {
    {L"ibfBATTERY_FLAG_HIGH", 1},         {L"ibfBATTERY_FLAG_LOW", 2},
    {L"ibfBATTERY_FLAG_CRITICAL", 4},     {L"ibfBATTERY_FLAG_CHARGING", 8},
    {L"ibfBATTERY_FLAG_NO_BATTERY", 128}, {L"ibfBATTERY_FLAG_UNKNOWN", 255}};
const Constant kBatteryType[] = {
    {L"iptBATTERY_CHEMISTRY_ALKALINE", 1}, {L"iptBATTERY_CHEMISTRY_NICD", 2},
    {L"iptBATTERY_CHEMISTRY_NIMH", 3},     {L"iptBATTERY_CHEMISTRY_LION", 4},
    {L"iptBATTERY_CHEMISTRY_LIPOLY", 5},   {L"iptBATTERY_CHEMISTRY_UNKNOWN", 255}};
const Constant kMemoryChange[] = {{L"ismSUCCESS", 0},
                                  {L"ismSUCCESS_REQUIRES_RESET", 1},
                                  {L"ismFAIL_REQUIRES_RESET", 2},
                                  {L"ismFAIL", 3}};
const Constant kRegKey[] = {{L"irkHKEY_CLASSES_ROOT", static_cast<LONG>(0x80000000)},
                            {L"irkHKEY_CURRENT_USER", static_cast<LONG>(0x80000001)},
                            {L"irkHKEY_LOCAL_MACHINE", static_cast<LONG>(0x80000002)},
                            {L"irkHKEY_USERS", static_cast<LONG>(0x80000003)}};
const Constant kFtpType[] = {{L"ftpUNKNOWN", 0}, {L"ftpASCII", 1}, {L"ftpBINARY", 2}};
const Constant kAppKey[] = {
    {L"iakAPP1", 193}, {L"iakAPP2", 194}, {L"iakAPP3", 195}, {L"iakAPP4", 196}};

const Enumeration kEnumerations[] = {
    {L"MXQRAPILineStatus", kLineStatus},   {L"MXQRAPIBatteryFlag", kBatteryFlag},
    {L"MXQRAPIBatteryType", kBatteryType}, {L"MXQRAPISysMemoryChangeStatus", kMemoryChange},
    {L"MXQRAPIRegKey", kRegKey},           {L"MXQRAPIFtpType", kFtpType},
    {L"MXQRAPIAppKey", kAppKey},
};

TEST_F(TypeLibrary, EnumerationsCarryTheSystemsOwnCodes) {
    for (const Enumeration& enumeration : kEnumerations) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(enumeration.name)));
        common::ComPtr<ITypeInfo> info;
        MEMBERID ids[1] = {};
        USHORT found = 1;
        ITypeInfo* raw = nullptr;
        std::wstring name = enumeration.name;
        ASSERT_EQ(library_->FindName(name.data(), 0, &raw, ids, &found), S_OK);
        ASSERT_EQ(found, 1);
        info = common::ComPtr<ITypeInfo>::attach(raw);
        TYPEATTR* type = nullptr;
        ASSERT_EQ(info->GetTypeAttr(&type), S_OK);
        EXPECT_EQ(type->typekind, TKIND_ENUM);
        const UINT count = type->cVars;
        info->ReleaseTypeAttr(type);
        ASSERT_EQ(count, enumeration.constants.size());
        for (UINT i = 0; i < count; ++i) {
            VARDESC* variable = nullptr;
            ASSERT_EQ(info->GetVarDesc(i, &variable), S_OK);
            common::UniqueBstr constant;
            info->GetDocumentation(variable->memid, constant.put(), nullptr, nullptr, nullptr);
            EXPECT_EQ(constant.view(), enumeration.constants[i].name);
            common::UniqueVariant value;
            ::VariantChangeType(value.get(), variable->lpvarValue, 0, VT_I4);
            EXPECT_EQ(V_I4(value.get()), enumeration.constants[i].value);
            info->ReleaseVarDesc(variable);
        }
    }
}

} // namespace
