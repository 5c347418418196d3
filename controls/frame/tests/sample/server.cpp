// The sample server: its classes.
#include "counter.h"
#include "frame/module.h"
#include "resource.h"
#include "sample.h"

namespace {

const frame::ClassEntry kClasses[] = {
    {&CLSID_Sample, IDR_SAMPLE, &frame::CreateInstance<Sample>},
    {&CLSID_Counter, IDR_COUNTER, &frame::CreateInstance<Counter>},
    {&CLSID_InvisibleSample, 0, &Sample::CreateInvisible},
};

const frame::Server kServer{kClasses};

} // namespace
