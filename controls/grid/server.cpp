// Listora's server: its classes.
#include "frame/module.h"
#include "listora.h"
#include "resource.h"

namespace {

const frame::ClassEntry kClasses[] = {
    {&CLSID_Listora, IDR_LISTORA, &frame::CreateInstance<Listora>},
};

const frame::Server kServer{kClasses};

} // namespace
