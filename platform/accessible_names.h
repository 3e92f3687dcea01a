// Names that screen readers announce for controls that show no text of their
// own (icon buttons, colour swatches), given without changing any window text:
// dynamic annotation of the control's accessible name (IAccPropServices,
// PROPID_ACC_NAME). The system's accessibility layer then reports that name
// for the control.
#pragma once

#include <windows.h>

struct IAccPropServices;

namespace velmar::platform {

class AccessibleNames {
public:
    // The system's annotation service; none (every Set fails) where it cannot
    // be created, e.g. without COM on this thread.
    AccessibleNames();
    // Another implementation of the service (tests); held with a reference.
    explicit AccessibleNames(IAccPropServices* services);
    ~AccessibleNames();
    AccessibleNames(const AccessibleNames&) = delete;
    AccessibleNames& operator=(const AccessibleNames&) = delete;

    bool Available() const { return services_ != nullptr; }
    // Gives `control` the accessible name `name`; false when the system
    // refused it (Wine does not implement annotation).
    bool Set(HWND control, const wchar_t* name);
    // Removes the name again; to be done before the control is destroyed.
    void Clear(HWND control);

private:
    IAccPropServices* services_ = nullptr;
};

// COM for the user-interface thread (a single-threaded apartment), for the
// lifetime of the owner.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_ = false;
};

}  // namespace velmar::platform
