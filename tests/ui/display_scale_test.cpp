// Every window at the display scale this process runs at (display_scale_test.sh
// runs it at 96, 120, 144 and 192 DPI and names the scale in
// VELMAR_EXPECTED_DPI): each control where its dialog units put it in the
// window's own base units, the program's own fonts at that scale, icons that
// fill their buttons, nothing cut off; then a change of scale and the
// accessible names.
#include <windows.h>
// After windows.h, which they need.
#include <gtest/gtest.h>
#include <initguid.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "ui/resource_ids.h"
#include "platform/accessible_names.h"
#include "platform/dialog_template.h"
#include "platform/display_scale.h"
#include "platform/text.h"
#include "settings/settings_file.h"
#include "tests/support/fixture.h"
#include "tests/ui/scripted_modal_services.h"
#include "tests/ui/ui_test_support.h"
#include "ui/link_dialog_ids.h"
#include "ui/record_navigator_ids.h"
#include "ui/search_dialog_ids.h"
#include "ui/link_dialog.h"
#include "ui/main_window.h"
#include "ui/main_window_ids.h"
#include "ui/record_navigator.h"
#include "ui/search_dialog.h"

namespace velmar::test {
namespace {

namespace main_ids = ui::main_ids;
namespace search_ids = ui::search_ids;

struct Box {
    int id;
    short x, y, w, h;
};

// The pixel rectangle of every control equals its dialog-unit box mapped by
// the window's own base units (position and size each mapped and rounded, as
// the dialog manager does). A combo box's height is that of its closed box.
void ExpectLaidOut(HWND window, const std::vector<Box>& boxes, bool checkClipping = true) {
    RECT base{0, 0, 4, 8};
    MapDialogRect(window, &base);
    ASSERT_GT(base.right, 0);
    for (const Box& b : boxes) {
        SCOPED_TRACE(::testing::Message() << "control " << b.id);
        HWND control = GetDlgItem(window, b.id);
        ASSERT_NE(control, nullptr);
        RECT r{};
        GetWindowRect(control, &r);
        MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, MulDiv(b.x, base.right, 4));
        EXPECT_EQ(r.top, MulDiv(b.y, base.bottom, 8));
        EXPECT_EQ(r.right - r.left, MulDiv(b.w, base.right, 4));
        if (!SameText(platform::ClassNameOf(control), L"COMBOBOX")) {
            EXPECT_EQ(r.bottom - r.top, MulDiv(b.h, base.bottom, 8));
        }
        if (!checkClipping) continue;
        RECT client{};
        GetClientRect(window, &client);
        EXPECT_LE(r.right, client.right) << "cut off at the right";
        EXPECT_LE(r.bottom, client.bottom) << "cut off at the bottom";
    }
}

// Whether the main window, at its designed client size and with its menu
// bar, fits on the work area at this scale. When it does not (475 x 500
// dialog units are taller than a 1024-pixel screen from 120 DPI on), the
// system limits the window to the screen and the bottom of the client area is
// off the screen: the window then keeps its caption and menu bar on the work
// area instead.
bool MainWindowFitsWorkArea(HWND window) {
    RECT outer = platform::DialogUnitsToPixels(window, RECT{0, 0, 475, 500});
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), TRUE,
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    bool fits =
        outer.right - outer.left <= work.right - work.left && outer.bottom - outer.top <= work.bottom - work.top;
    if (!fits) {
        std::printf("note: the main window needs %ld x %ld pixels at this scale, the work area has %ld x %ld\n",
                    outer.right - outer.left, outer.bottom - outer.top, work.right - work.left, work.bottom - work.top);
        RECT placed{};
        GetWindowRect(window, &placed);
        EXPECT_GE(placed.left, work.left);
        EXPECT_GE(placed.top, work.top) << "the caption stays on the work area";
    }
    return fits;
}

SIZE IconSize(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return {};
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return {bitmap.bmWidth, bitmap.bmHeight};
}

SIZE ClientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return {r.right, r.bottom};
}

// Whether icon resource `id` holds a picture drawn at exactly `size` pixels,
// so loading it at that size stretches nothing.
bool IconDrawnAt(int id, int size) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    if (!group) return false;
    auto* directory = static_cast<BYTE*>(LockResource(LoadResource(module, group)));
    int picture = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(picture), MAKEINTRESOURCEW(3));  // RT_ICON
    if (!found) return false;
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    if (SizeofResource(module, found) >= 24 && bytes[0] == 0x89 && bytes[1] == 'P') {  // PNG: width at byte 16
        int width = (bytes[16] << 24) | (bytes[17] << 16) | (bytes[18] << 8) | bytes[19];
        return width == size;
    }
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
    return header->biWidth == size;
}

// A screenshot of `window` as it is on the screen, as a 24-bit BMP file in
// VELMAR_SCREENSHOT_DIR (when set).
void SaveScreenshot(HWND window, const char* name) {
    const char* folder = std::getenv("VELMAR_SCREENSHOT_DIR");
    if (!folder || !*folder) return;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    PumpPending();
    Sleep(300);
    PumpPending();
    RECT whole{}, r{};
    GetWindowRect(window, &whole);
    RECT screenRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&r, &whole, &screenRect);  // what the screen shows of it
    int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, previous);
    BITMAPINFOHEADER info{sizeof(info), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    int stride = (width * 3 + 3) & ~3;
    std::vector<char> pixels(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(std::string(folder) + "\\" + name + ".bmp", std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info), sizeof(info));
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    EXPECT_TRUE(out.good()) << "screenshot " << name;
}

class DisplayScaleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { LoadWindowLibraries(); }

    void SetUp() override {
        settingsPath_ = (settingsFolder_.Path() / "Configuracion.ini").string();
        fx_.Field("Nombre", 1).Field("Ciudad", 1);
        for (int r = 1; r <= 3; ++r) fx_.Value("Nombre", r, "Ana").Value("Ciudad", r, "Lugo");
        fx_.Write();
        std::string linked = fx_.Folder();
        SettingsFileAt(settingsPath_, "save", linked);
        window_ = std::make_unique<ui::MainWindow>(state_, modal_, dialogs_, settingsPath_);
        ASSERT_TRUE(window_->Create(GetModuleHandleW(nullptr)));
        dialogs_.Add(window_->Window());
        PumpPending();
    }
    void TearDown() override {
        window_.reset();
        DestroyThreadWindows();
    }

    HWND Window() const { return window_->Window(); }
    HWND Control(int id) const { return window_->Control(id); }
    HWND OpenFromMenu(int command, const wchar_t* caption) {
        SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
        PumpPending();
        std::vector<HWND> found = WindowsCaptioned(caption);
        EXPECT_EQ(found.size(), 1u) << platform::AnsiFromWide(caption);
        return found.empty() ? nullptr : found.front();
    }

    TempFolder settingsFolder_;
    DatabaseFixture fx_;
    std::string settingsPath_;
    ProgramState state_;
    ScriptedModalServices modal_;
    platform::DialogRouter dialogs_;
    std::unique_ptr<ui::MainWindow> window_;
};

TEST_F(DisplayScaleTest, RunsAtTheScaleItWasStartedFor) {
    const char* expected = std::getenv("VELMAR_EXPECTED_DPI");
    if (!expected) GTEST_SKIP() << "VELMAR_EXPECTED_DPI not set: display_scale_test.sh names the scale of each run";
    EXPECT_EQ(ScreenDpi(), static_cast<UINT>(std::atoi(expected)));
    EXPECT_EQ(platform::WindowDpi(Window()), ScreenDpi()) << "the manifest makes the process DPI aware";
    EXPECT_EQ(window_->Dpi(), ScreenDpi());
}

TEST_F(DisplayScaleTest, MainWindowIsLaidOutInItsBaseUnitsWithItsOwnFontsAndIconsAtThisScale) {
    std::vector<Box> boxes;
    const platform::DialogTemplate layout = ui::MainWindow::Template();
    for (const platform::DialogControl& c : layout.Controls()) boxes.push_back({c.id, c.x, c.y, c.cx, c.cy});
    ExpectLaidOut(Window(), boxes, MainWindowFitsWorkArea(Window()));

    const UINT dpi = ScreenDpi();
    for (int id :
         {main_ids::kBoldToggle, main_ids::kItalicToggle, main_ids::kUnderlineToggle, main_ids::kStrikeOutToggle}) {
        FontSeen font = FontOf(Control(id));
        EXPECT_EQ(font.face, L"Tahoma") << id;
        EXPECT_EQ(font.height, HeightForPoints(10)) << id;
    }

    const int iconIds[] = {VELMAR_ICON_RIGHT, VELMAR_ICON_CENTRE, VELMAR_ICON_BULLETS};
    const int toggles[] = {main_ids::kRightToggle, main_ids::kCentreToggle, main_ids::kBulletToggle};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(toggles[i]);
        SIZE button = ClientSize(Control(toggles[i]));
        SIZE icon = IconSize(reinterpret_cast<HICON>(SendMessageW(Control(toggles[i]), BM_GETIMAGE, IMAGE_ICON, 0)));
        int room = std::min(button.cx, button.cy) - 2 * MulDiv(3, static_cast<int>(dpi), 96);
        EXPECT_EQ(icon.cx, icon.cy);
        EXPECT_LE(icon.cx, room) << "the icon is cut off by the button's edge";
        EXPECT_GT(icon.cx * 5, room * 4) << "the icon leaves the button half empty: " << icon.cx << " in " << room;
        EXPECT_TRUE(IconDrawnAt(iconIds[i], icon.cx)) << "no picture drawn at " << icon.cx << " pixels";
    }
    if (dpi == 96) {
        EXPECT_EQ(
            IconSize(reinterpret_cast<HICON>(SendMessageW(Control(main_ids::kRightToggle), BM_GETIMAGE, IMAGE_ICON, 0)))
                .cx,
            24)
            << "the size the toggles were designed with";
    }
    SIZE big = IconSize(reinterpret_cast<HICON>(SendMessageW(Window(), WM_GETICON, ICON_BIG, 0)));
    SIZE small = IconSize(reinterpret_cast<HICON>(SendMessageW(Window(), WM_GETICON, ICON_SMALL, 0)));
    EXPECT_EQ(big.cx, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(small.cx, GetSystemMetrics(SM_CXSMICON));
    EXPECT_TRUE(IconDrawnAt(VELMAR_ICON_WINDOW, big.cx)) << big.cx;
    EXPECT_TRUE(IconDrawnAt(VELMAR_ICON_WINDOW, small.cx)) << small.cx;

    ShowWindow(Window(), SW_SHOW);
    PumpPending();
    SaveScreenshot(Window(), "main-window");
}

TEST_F(DisplayScaleTest, DatabaseWindowsAreLaidOutInTheirBaseUnitsWithBoldFontsAtThisScale) {
    ShowWindow(Window(), SW_SHOW);
    PumpPending();

    HWND search = OpenFromMenu(main_ids::kSearch, ui::SearchDialog::kCaption);
    ASSERT_NE(search, nullptr);
    ASSERT_NE(GetMenu(search), nullptr) << "the menu bar is attached";
    ExpectLaidOut(search, {{7001, 5, 5, 230, 10},
                           {7002, 5, 15, 340, 80},
                           {7003, 5, 45, 340, 80},
                           {7004, 5, 35, 230, 10},
                           {7005, 5, 65, 340, 155},
                           {7006, 10, 80, 330, 15},
                           {7007, 10, 95, 330, 20},
                           {7008, 10, 125, 330, 15},
                           {7009, 10, 140, 330, 20},
                           {7010, 10, 170, 330, 15},
                           {7011, 10, 185, 330, 20},
                           {7012, 5, 240, 50, 15},
                           {7013, 155, 240, 50, 15},
                           {7014, 295, 240, 50, 15}});
    for (int id = 7001; id <= 7014; ++id) EXPECT_EQ(FontOf(GetDlgItem(search, id)).height, HeightForPoints(10)) << id;
    SaveScreenshot(search, "search-dialog");
    SendMessageW(search, WM_COMMAND, MAKEWPARAM(search_ids::kExit, BN_CLICKED), 0);
    PumpPending();

    HWND navigator = OpenFromMenu(main_ids::kNavigator, ui::RecordNavigator::kCaption);
    ASSERT_NE(navigator, nullptr);
    ExpectLaidOut(navigator, {{1901, 5, 5, 20, 15},
                              {1902, 30, 5, 20, 15},
                              {1903, 55, 5, 20, 15},
                              {1904, 80, 5, 20, 15},
                              {1905, 105, 8, 55, 8},
                              {1907, 163, 5, 50, 15},
                              {1908, 220, 5, 50, 15},
                              {1909, 5, 25, 120, 15}});
    EXPECT_EQ(FontOf(GetDlgItem(navigator, 1901)).height, HeightForPoints(8));
    EXPECT_EQ(FontOf(GetDlgItem(navigator, 1908)).height, HeightForPoints(10));
    DestroyWindow(navigator);
    PumpPending();

    ui::LinkDialog link(state_, modal_, dialogs_, window_->MenuBar());
    ASSERT_TRUE(link.Create(nullptr));
    PumpPending();
    ExpectLaidOut(link.Window(),
                  {{1001, 5, 5, 150, 15}, {1002, 5, 20, 190, 25}, {1003, 5, 46, 50, 16}, {1004, 145, 46, 50, 16}});
    EXPECT_EQ(FontOf(GetDlgItem(link.Window(), 1003)).height, HeightForPoints(8));
    EXPECT_EQ(FontOf(GetDlgItem(link.Window(), 1004)).height, HeightForPoints(14));
}

// Wine never moves a window to a monitor of another scale, so the message is
// sent as the system sends it; what the dialog manager then lays out again is
// the system's part and cannot be seen here.
TEST_F(DisplayScaleTest, AChangeOfScaleRemakesTheOwnFontsAndIconsForTheNewDpi) {
    const UINT newDpi = ScreenDpi() * 2;
    RECT suggested{};
    GetWindowRect(Window(), &suggested);
    SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi), reinterpret_cast<LPARAM>(&suggested));
    PumpPending();
    EXPECT_EQ(window_->Dpi(), newDpi);
    EXPECT_EQ(FontOf(Control(main_ids::kBoldToggle)).height, -MulDiv(10, static_cast<int>(newDpi), 72));
    EXPECT_GE(FontOf(Control(main_ids::kBoldToggle)).weight, FW_BOLD);
    EXPECT_TRUE(FontOf(Control(main_ids::kStrikeOutToggle)).strikeOut);
    SIZE big = IconSize(reinterpret_cast<HICON>(SendMessageW(Window(), WM_GETICON, ICON_BIG, 0)));
    EXPECT_EQ(big.cx, platform::SystemMetricForDpi(SM_CXICON, newDpi));
    HWND toggle = Control(main_ids::kCentreToggle);
    SIZE icon = IconSize(reinterpret_cast<HICON>(SendMessageW(toggle, BM_GETIMAGE, IMAGE_ICON, 0)));
    EXPECT_EQ(icon.cx, ui::IconSizeToFill(ClientSize(toggle), newDpi));
    RECT client{};
    GetClientRect(Window(), &client);
    if (MainWindowFitsWorkArea(Window())) {
        EXPECT_EQ(platform::PixelsToDialogUnits(Window(), SIZE{client.right, client.bottom}).cy, 500)
            << "the client area keeps its size below the menu bar";
    }

    HWND search = OpenFromMenu(main_ids::kSearch, ui::SearchDialog::kCaption);
    ASSERT_NE(search, nullptr);
    SendMessageW(search, WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi), reinterpret_cast<LPARAM>(&suggested));
    PumpPending();
    for (int id : {7001, 7007, 7014})
        EXPECT_EQ(FontOf(GetDlgItem(search, id)).height, -MulDiv(10, static_cast<int>(newDpi), 72)) << id;
}

// The manifest as the system's loader read it for this process (the tests
// carry the program's resource script): a DPI awareness setting cannot be
// seen in Wine's behaviour, which gives every process the real DPI, so the
// settings are read back from the activation context.
std::wstring ManifestSetting(const wchar_t* space, const wchar_t* name) {
    wchar_t value[128] = {};
    SIZE_T written = 0;
    if (!QueryActCtxSettingsW(0, nullptr, space, name, value, std::size(value), &written)) return L"(none)";
    return value;
}

TEST(Manifest, DeclaresPerMonitorAwarenessLongPathsAndTheSupportedSystems) {
    const wchar_t* const k2005 = L"http://schemas.microsoft.com/SMI/2005/WindowsSettings";
    const wchar_t* const k2016 = L"http://schemas.microsoft.com/SMI/2016/WindowsSettings";
    EXPECT_EQ(ManifestSetting(k2016, L"dpiAwareness"), L"PerMonitorV2, System");
    EXPECT_EQ(ManifestSetting(k2005, L"dpiAware"), L"true");
    EXPECT_EQ(ManifestSetting(k2016, L"longPathAware"), L"true");
    EXPECT_EQ(ManifestSetting(L"http://schemas.microsoft.com/SMI/2019/WindowsSettings", L"activeCodePage"), L"(none)")
        << "the texts stay in the ANSI code page";

    // Wine does not answer the compatibility query of the activation context;
    // the supported systems are read from the manifest resource itself.
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                         SizeofResource(module, found));
    const char* const systems[] = {
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // Windows 8
        "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // Windows 8.1
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10 and 11
    };
    for (const char* id : systems)
        EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"") + id + "\"/>"), std::string::npos) << id;
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
}

TEST(IconSizeToFill, TakesTheLargestDrawnSizeThatLeavesTheEdgeFree) {
    struct Case {
        SIZE button;
        UINT dpi;
        int size;
    } cases[] = {
        {{30, 33}, 96, 24},  {{29, 33}, 96, 20},  {{45, 50}, 144, 32}, {{48, 50}, 144, 36},
        {{45, 50}, 192, 32}, {{60, 66}, 192, 48}, {{80, 80}, 192, 64}, {{10, 10}, 96, 16},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ui::IconSizeToFill(c.button, c.dpi), c.size) << c.button.cx << "x" << c.button.cy << " at " << c.dpi;
}

// An annotation service that records what it is asked to do.
class RecordingAccPropServices : public IAccPropServices {
public:
    struct Call {
        HWND window;
        DWORD object;
        DWORD child;
        GUID property;
        std::wstring text;
    };
    std::vector<Call> named;
    std::vector<HWND> cleared;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IAccPropServices) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }
    HRESULT STDMETHODCALLTYPE SetHwndPropStr(HWND window, DWORD object, DWORD child, MSAAPROPID property,
                                             LPCWSTR text) override {
        named.push_back({window, object, child, property, text});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ClearHwndProps(HWND window, DWORD, DWORD, const MSAAPROPID* properties,
                                             int count) override {
        if (count == 1 && properties[0] == PROPID_ACC_NAME) cleared.push_back(window);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                            AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHwndProp(HWND, DWORD, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                                AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                                 AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) override {
        return E_NOTIMPL;
    }

private:
    ULONG references_ = 1;
};

TEST_F(DisplayScaleTest, ControlsWithoutTextGetTheirAccessibleNamesAndKeepTheirEmptyTexts) {
    RecordingAccPropServices recorder;
    {
        platform::AccessibleNames names(&recorder);
        window_->NameControls(names);
        names.Clear(Control(main_ids::kCentreToggle));
    }
    const struct {
        int id;
        const wchar_t* name;
    } expected[] = {{main_ids::kRightToggle, L"Alinear a la derecha"},
                    {main_ids::kCentreToggle, L"Centrar"},
                    {main_ids::kBulletToggle, L"Vi\u00f1etas"},
                    {main_ids::kTextColourSwatch, L"Color del texto"},
                    {main_ids::kHighlightSwatch, L"Color de resaltado"}};
    ASSERT_EQ(recorder.named.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const auto& call = recorder.named[i];
        SCOPED_TRACE(expected[i].id);
        EXPECT_EQ(call.window, Control(expected[i].id));
        EXPECT_EQ(call.object, static_cast<DWORD>(OBJID_CLIENT));
        EXPECT_EQ(call.child, static_cast<DWORD>(CHILDID_SELF));
        EXPECT_TRUE(call.property == PROPID_ACC_NAME);
        EXPECT_EQ(call.text, expected[i].name);
        EXPECT_EQ(platform::WindowTextW(Control(expected[i].id)), L"") << "the window text stays empty";
    }
    EXPECT_EQ(recorder.cleared, std::vector<HWND>{Control(main_ids::kCentreToggle)});
}

// With the system's own service: where it annotates (Windows), a screen
// reader's query of the control answers the name.
TEST_F(DisplayScaleTest, TheSystemReportsTheAnnotatedName) {
    platform::ComApartment com;
    platform::AccessibleNames names;
    if (!names.Available()) GTEST_SKIP() << "no annotation service on this system";
    HWND toggle = Control(main_ids::kBulletToggle);
    if (!names.Set(toggle, L"Vi\u00f1etas"))
        GTEST_SKIP() << "the system refuses dynamic annotation (Wine: SetHwndPropStr is not implemented)";
    IAccessible* accessible = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(toggle, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                         reinterpret_cast<void**>(&accessible)),
              S_OK);
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    EXPECT_EQ(accessible->get_accName(self, &name), S_OK);
    EXPECT_EQ(std::wstring(name ? name : L""), L"Vi\u00f1etas");
    SysFreeString(name);
    accessible->Release();
    names.Clear(toggle);
}

}  // namespace
}  // namespace velmar::test
