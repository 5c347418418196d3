// SipVorpel's server: its classes.
#include "frame/module.h"
#include "keyboard_vorp.h"
#include "resource.h"
#include "sip_vorp.h"

namespace {

const frame::ClassEntry kClasses[] = {
    {&CLSID_SipVorp, IDR_SIPVORP, &frame::CreateInstance<SipVorp>},
    {&CLSID_KeyboardVorp, IDR_KEYBOARDVORP, &frame::CreateInstance<KeyboardVorp>},
};

const frame::Server kServer{kClasses};

} // namespace
