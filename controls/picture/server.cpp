// OleVorpel's server: its classes.
#include "font_vorp.h"
#include "frame/module.h"
#include "picture_vorp.h"
#include "resource.h"

namespace {

const frame::ClassEntry kClasses[] = {
    {&CLSID_PictureVorp, IDR_PICTUREVORP, &frame::CreateInstance<PictureVorp>},
    {&CLSID_FontVorp, IDR_FONTVORP, &frame::CreateInstance<FontVorp>},
};

const frame::Server kServer{kClasses};

} // namespace
