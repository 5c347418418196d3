// Dialvora's server: its classes.
#include "frame/module.h"
#include "ras_dial.h"
#include "resource.h"

namespace {

const frame::ClassEntry kClasses[] = {
    {&CLSID_RASDial, IDR_RASDIAL, &frame::CreateInstance<RASDial>},
};

const frame::Server kServer{kClasses};

} // namespace
