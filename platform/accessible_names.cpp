#include "platform/accessible_names.h"

// The GUIDs of the annotation service are defined here.
#include <initguid.h>
// after initguid.h
#include <oleacc.h>

namespace velmar::platform {

AccessibleNames::AccessibleNames() {
    void* services = nullptr;
    if (SUCCEEDED(
            CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices, &services)))
        services_ = static_cast<IAccPropServices*>(services);
}

AccessibleNames::AccessibleNames(IAccPropServices* services) : services_(services) {
    if (services_) services_->AddRef();
}

AccessibleNames::~AccessibleNames() {
    if (services_) services_->Release();
}

bool AccessibleNames::Set(HWND control, const wchar_t* name) {
    if (!services_ || !control) return false;
    return services_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME, name) ==
           S_OK;
}

void AccessibleNames::Clear(HWND control) {
    if (!services_ || !control) return;
    MSAAPROPID name = PROPID_ACC_NAME;
    services_->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &name, 1);
}

ComApartment::ComApartment() {
    HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    initialised_ = SUCCEEDED(result);  // S_FALSE too: already initialised, and counted
}

ComApartment::~ComApartment() {
    if (initialised_) CoUninitialize();
}

}  // namespace velmar::platform
