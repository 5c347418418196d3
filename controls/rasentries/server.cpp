// Entrovia's server: its classes.
#include "frame/module.h"
#include "ras_entries.h"
#include "resource.h"

namespace {

const frame::ClassEntry kClasses[] = {
    {&CLSID_RASEntries, IDR_RASENTRIES, &frame::CreateInstance<RASEntries>},
};

const frame::Server kServer{kClasses};

} // namespace
