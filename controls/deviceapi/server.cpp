// MXQRAPI's server: its eight classes.
#include "core.h"
#include "device_memory.h"
#include "frame/module.h"
#include "inet.h"
#include "list_view_helper.h"
#include "power.h"
#include "registry.h"
#include "resource.h"
#include "win_hook.h"
#include "window_helper.h"

namespace {

const frame::ClassEntry kClasses[] = {
    {&CLSID_Core, IDR_CORE, &frame::CreateInstance<Core>},
    {&CLSID_Power, IDR_POWER, &frame::CreateInstance<Power>},
    {&CLSID_Memory, IDR_MEMORY, &frame::CreateInstance<Memory>},
    {&CLSID_Registry, IDR_REGISTRY, &frame::CreateInstance<Registry>},
    {&CLSID_ListViewHelper, IDR_LISTVIEWHELPER, &frame::CreateInstance<ListViewHelper>},
    {&CLSID_WindowHelper, IDR_WINDOWHELPER, &frame::CreateInstance<WindowHelper>},
    {&CLSID_Inet, IDR_INET, &frame::CreateInstance<Inet>},
    {&CLSID_WinHook, IDR_WINHOOK, &frame::CreateInstance<WinHook>},
};

const frame::Server kServer{kClasses};

} // namespace
