// qzpeProgressBar's server: its classes.
#include "frame/module.h"
#include "progress_bar.h"
#include "resource.h"

namespace {

const frame::ClassEntry kClasses[] = {
    {&CLSID_ProgressBar, IDR_PROGRESSBAR, &frame::CreateInstance<ProgressBar>},
};

const frame::Server kServer{kClasses};

} // namespace
