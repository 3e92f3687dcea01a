// A real main window in this process with scripted modal services. The
// harness holds what every window test needs (a settings file of its own, the
// program state, the scripted services, the dialog router) and opens the
// main window when the test asks; the fixture opens it before each test, for
// the formatting and document tests. The window stays hidden unless a test
// shows it (for the focus or the painting), because hiding a shown window
// again costs seconds under Wine without a window manager.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "ui/program_state.h"
#include "platform/message_loop.h"
#include "settings/settings_file.h"
#include "tests/support/fixture.h"
#include "tests/ui/scripted_modal_services.h"
#include "tests/ui/ui_test_support.h"
#include "ui/main_window.h"

namespace velmar::test {

class MainWindowHarness : public ::testing::Test {
protected:
    static void SetUpTestSuite() { LoadWindowLibraries(); }

    void SetUp() override { settingsPath_ = (settingsFolder_.Path() / "Configuracion.ini").string(); }
    void TearDown() override {
        window_.reset();
        DestroyThreadWindows();
        PumpPending();
    }

    // The settings file the main window reads as it opens, linking `folder`.
    void WriteSettings(const std::string& linkedFolder) {
        std::string folder = linkedFolder;
        SettingsFileAt(settingsPath_, "save", folder);
    }
    // Creates the main window (hidden), as the program does at start-up.
    ui::MainWindow& OpenMainWindow() {
        window_ = std::make_unique<ui::MainWindow>(state_, modal_, dialogs_, settingsPath_);
        EXPECT_TRUE(window_->Create(GetModuleHandleW(nullptr)));
        PumpPending();
        return *window_;
    }
    HWND Window() const { return window_->Window(); }
    HWND Editor() const { return window_->Editor(); }
    HWND Control(int id) const { return window_->Control(id); }

    TempFolder settingsFolder_;
    std::string settingsPath_;
    ProgramState state_;
    ScriptedModalServices modal_;
    platform::DialogRouter dialogs_;
    std::unique_ptr<ui::MainWindow> window_;
};

class MainWindowFixture : public MainWindowHarness {
protected:
    void SetUp() override {
        MainWindowHarness::SetUp();
        ASSERT_TRUE(OpenMainWindow().Window());
    }

    void Show() {
        ShowWindow(Window(), SW_SHOW);
        SetForegroundWindow(Window());
        PumpPending();
    }
    // A command as the menu or a control sends it.
    void Command(int id, int code = 0) {
        SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Control(id)));
        PumpPending();
    }
    // A mouse click on a bar button: it changes its check state and notifies
    // the window, as a user's click does.
    void Click(int id) {
        SendMessageW(Control(id), BM_CLICK, 0, 0);
        PumpPending();
    }
    bool Checked(int id) const { return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
};

}  // namespace velmar::test
