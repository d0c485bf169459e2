// The configuration dialog end to end: the built moskel.scr runs as a process of its own and this
// program works its dialog as a user would, then reads what reached the registry. The dialog's
// result shows only inside the program that runs it, so for that this program runs it too.

#include "config/config_dialog.h"
#include "host/globals.h"
#include "host/saver_state.h"
#include "resources/resource_ids.h"
#include "tests/support/platform.h"
#include "tests/support/registry.h"
#include "tests/support/saver_process.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <future>
#include <optional>
#include <string>
#include <thread>

namespace {

// No switch at all: the dialog, with no owner whatever window is in the foreground.
const std::string kNoOwner;

// What the platform shows in an automatic check box that is handed `state`.
LRESULT PlatformCheckStateFor(DWORD state) {
    HWND box = CreateWindowExA(0, "Button", "", WS_POPUP | BS_AUTOCHECKBOX, 0, 0, 10, 10, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(box, BM_SETCHECK, state, 0);
    const LRESULT shown = SendMessageA(box, BM_GETCHECK, 0, 0);
    DestroyWindow(box);
    return shown;
}

// A top-level window of this program, made and served on a thread of its own, so that the saver's
// modal dialog can disable and re-enable it across processes while the test waits.
class OwnerWindow {
  public:
    explicit OwnerWindow(bool foreground) {
        std::promise<HWND> made;
        std::future<HWND> window = made.get_future();
        thread_ = std::thread(Serve, std::move(made), foreground);
        window_ = window.get();
    }
    ~OwnerWindow() {
        PostMessageA(window_, WM_CLOSE, 0, 0);
        thread_.join();
    }
    HWND Handle() const {
        return window_;
    }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_DESTROY) {
            PostQuitMessage(0);
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    static void Serve(std::promise<HWND> made, bool foreground) {
        test::RegisterWindowClass("MoskelTestOwner", Procedure);
        HWND window =
            CreateWindowExA(0, "MoskelTestOwner", "Owner", WS_OVERLAPPEDWINDOW, 120, 70, 640, 600,
                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ShowWindow(window, SW_SHOWNORMAL);
        if (foreground) {
            SetForegroundWindow(window);
        }
        made.set_value(window);
        MSG message = {};
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    HWND window_ = nullptr;
    std::thread thread_;
};

class ConfigDialogTest : public test::CleanRegistry {
  protected:
    void TearDown() override {
        test::EndSaver(saver);
        test::CleanRegistry::TearDown();
    }

    // Starts the saver and waits for its dialog to show.
    HWND Open(const std::string& arguments) {
        saver = test::StartSaver(arguments);
        HWND dialog = test::WaitForWindow(test::kDialogClass, test::kSettingsCaption);
        if (dialog == nullptr) {
            ADD_FAILURE() << "no dialog for " << arguments;
            return nullptr;
        }
        DWORD processId = 0;
        GetWindowThreadProcessId(dialog, &processId);
        EXPECT_EQ(saver.id, processId) << "the dialog belongs to the saver just started";
        return dialog;
    }

    static LRESULT CheckState(HWND dialog) {
        return SendMessageA(GetDlgItem(dialog, IDC_ROTATE), BM_GETCHECK, 0, 0);
    }
    static void ClickCheckBox(HWND dialog) {
        SendMessageA(GetDlgItem(dialog, IDC_ROTATE), BM_CLICK, 0, 0);
    }

    // The dialog has ended and the process is gone with exit code 0.
    void ExpectEnded() {
        EXPECT_EQ(0u, test::WaitForExit(saver));
    }

    test::SaverProcess saver;
};

// The ways a user ends the dialog.
enum class Ending { OkButton, EnterKey, CancelButton, EscapeKey, CloseBox };

const char* NameOf(Ending ending) {
    switch (ending) {
    case Ending::OkButton:
        return "OK button";
    case Ending::EnterKey:
        return "Enter";
    case Ending::CancelButton:
        return "Cancel button";
    case Ending::EscapeKey:
        return "Esc";
    case Ending::CloseBox:
        return "close box";
    }
    return "?";
}

// Keys go to the control with the keyboard focus, through the dialog's own modal loop.
void PressKey(HWND dialog, WPARAM key) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    HWND target = info.hwndFocus != nullptr ? info.hwndFocus : dialog;
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

void End(HWND dialog, Ending ending) {
    switch (ending) {
    case Ending::OkButton:
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        break;
    case Ending::EnterKey:
        PressKey(dialog, VK_RETURN);
        break;
    case Ending::CancelButton:
        PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        break;
    case Ending::EscapeKey:
        PressKey(dialog, VK_ESCAPE);
        break;
    case Ending::CloseBox:
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
}

// What is stored before the dialog opens: nothing at all, or a "Rotate" value, by default a
// REG_DWORD, otherwise the first `size` bytes of the number as `type`.
struct Stored {
    std::optional<std::uint64_t> rotate;
    DWORD type = REG_DWORD;
    DWORD size = sizeof(DWORD);
};

void Store(const Stored& stored) {
    if (stored.rotate) {
        test::SetValue(kProductSettingsKey, "Rotate", stored.type, &*stored.rotate, stored.size);
    }
}

std::string Describe(const Stored& stored) {
    if (!stored.rotate) {
        return "no Rotate value";
    }
    return "Rotate " + std::to_string(*stored.rotate) + " as type " + std::to_string(stored.type) +
           ", " + std::to_string(stored.size) + " bytes";
}

TEST_F(ConfigDialogTest, OpensShowingTheStoredSetting) {
    struct OpenCase {
        Stored stored;
        LRESULT shown;
    };
    const OpenCase cases[] = {
        {{}, BST_CHECKED},
        {{0}, BST_UNCHECKED},
        {{1}, BST_CHECKED},
        // Handed over unchanged: the box shows what the platform makes of a check state of 7.
        {{7}, PlatformCheckStateFor(7)},
        // Shorter than four bytes, zero-extended; longer, the default stands.
        {{0, REG_BINARY, 2}, BST_UNCHECKED},
        {{0, REG_QWORD, 8}, BST_CHECKED},
    };
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(Describe(c.stored));
        test::DeleteSettingsKeys();
        Store(c.stored);
        HWND dialog = Open(kNoOwner);
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(c.shown, CheckState(dialog));
        End(dialog, Ending::CancelButton);
        ExpectEnded();
        test::EndSaver(saver);
    }
}

TEST_F(ConfigDialogTest, ConfirmingStoresTheBoxAsADword) {
    struct ConfirmCase {
        Stored stored;
        int clicks;
        Ending ending;
        DWORD written;
    };
    const DWORD sevenShown = PlatformCheckStateFor(7) == BST_CHECKED ? 1 : 0;
    const ConfirmCase cases[] = {
        // With no key at all, OK creates it.
        {{}, 0, Ending::OkButton, 1},
        {{}, 1, Ending::OkButton, 0},
        {{}, 1, Ending::EnterKey, 0},
        // Unchanged, the value is still written again.
        {{0}, 0, Ending::OkButton, 0},
        {{0}, 1, Ending::OkButton, 1},
        {{0}, 2, Ending::EnterKey, 0},
        {{1}, 1, Ending::OkButton, 0},
        // A value other than 0 and 1 becomes exactly 0 or 1.
        {{7}, 0, Ending::OkButton, sevenShown},
        {{7}, 1, Ending::OkButton, 1 - sevenShown},
        // A value of another type or size becomes a four-byte REG_DWORD.
        {{0, REG_BINARY, 2}, 1, Ending::OkButton, 1},
        {{0, REG_QWORD, 8}, 0, Ending::OkButton, 1},
    };
    for (const ConfirmCase& c : cases) {
        SCOPED_TRACE(Describe(c.stored) + ", " + std::to_string(c.clicks) + " clicks, " +
                     NameOf(c.ending));
        test::DeleteSettingsKeys();
        Store(c.stored);
        HWND dialog = Open(kNoOwner);
        ASSERT_NE(nullptr, dialog);
        for (int click = 0; click < c.clicks; ++click) {
            ClickCheckBox(dialog);
        }
        End(dialog, c.ending);
        ExpectEnded();
        test::EndSaver(saver);
        const auto value = test::GetValue(kProductSettingsKey, "Rotate");
        ASSERT_TRUE(value.has_value()) << "OK stores the setting";
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), value->type);
        EXPECT_EQ(4u, value->data.size());
        EXPECT_EQ(c.written, value->Dword());
        EXPECT_FALSE(test::KeyExists(kCommonSettingsKey)) << "the common key is never written";
    }
}

TEST_F(ConfigDialogTest, CancellingAfterTogglingLeavesTheRegistryAsItWas) {
    const Stored storedCases[] = {{}, {0}, {7}, {0, REG_QWORD, 8}};
    const Ending endings[] = {Ending::CancelButton, Ending::EscapeKey, Ending::CloseBox};
    for (const Stored& stored : storedCases) {
        for (Ending ending : endings) {
            SCOPED_TRACE(Describe(stored) + ", " + NameOf(ending));
            test::DeleteSettingsKeys();
            Store(stored);
            // A neighbour in the key shows that nothing else is touched either.
            if (stored.rotate) {
                test::SetDword(kProductSettingsKey, "Other", 0x5A5A5A5A);
            }
            const auto before = test::GetValues(kProductSettingsKey);
            HWND dialog = Open(kNoOwner);
            ASSERT_NE(nullptr, dialog);
            ClickCheckBox(dialog);
            End(dialog, ending);
            ExpectEnded();
            test::EndSaver(saver);
            EXPECT_EQ(before, test::GetValues(kProductSettingsKey));
            EXPECT_EQ(stored.rotate.has_value(), test::KeyExists(kProductSettingsKey));
        }
    }
}

TEST_F(ConfigDialogTest, OnlyCommandOneConfirmsWhateverItsNotification) {
    test::SetDword(kProductSettingsKey, "Rotate", 0);
    HWND dialog = Open(kNoOwner);
    ASSERT_NE(nullptr, dialog);
    ClickCheckBox(dialog);
    // Other commands, the box's own among them, neither end the dialog nor store anything.
    const WPARAM others[] = {MAKEWPARAM(IDC_ROTATE, BN_CLICKED), MAKEWPARAM(3, 0), MAKEWPARAM(0, 0),
                             MAKEWPARAM(0x0101, 1)};
    for (WPARAM command : others) {
        SendMessageA(dialog, WM_COMMAND, command, 0);
    }
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(BST_CHECKED, CheckState(dialog));
    EXPECT_EQ(0u, test::GetValue(kProductSettingsKey, "Rotate")->Dword());
    // Low 16 bits 1, whatever the high 16 bits hold: OK.
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, 0x1234), 0);
    ExpectEnded();
    EXPECT_EQ(1u, test::GetValue(kProductSettingsKey, "Rotate")->Dword());
}

// Makes the key above the product's key volatile for as long as it lives: the platform then
// refuses to create the product's key, which is not volatile, under it. Afterwards the key is
// there again, as an ordinary key, if it was there before.
class VolatileVendorKey {
  public:
    VolatileVendorKey() : existed_(test::KeyExists(path_.c_str())) {
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
        Create(REG_OPTION_VOLATILE);
    }
    ~VolatileVendorKey() {
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
        if (existed_) {
            Create(REG_OPTION_NON_VOLATILE);
        }
    }
    VolatileVendorKey(const VolatileVendorKey&) = delete;
    VolatileVendorKey& operator=(const VolatileVendorKey&) = delete;

  private:
    void Create(DWORD options) const {
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr,
                                                 options, KEY_ALL_ACCESS, nullptr, &key, nullptr));
        RegCloseKey(key);
    }

    const std::string product_ = kProductSettingsKey;
    const std::string path_ = product_.substr(0, product_.rfind('\\'));
    const bool existed_;
};

LONG CreateProductKey() {
    HKEY key = nullptr;
    const LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, kProductSettingsKey, 0, nullptr, 0,
                                        KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegCloseKey(key);
    return status;
}

// The dialog shown by this program, with the saver's own procedure and template, confirmed with
// the OK button: the saver's process makes nothing of the dialog's result that shows outside.
INT_PTR ConfirmDialogHere() {
    SaverState state;
    state.ReadCommonSettings();
    state.ReadSettings();
    g_state = &state;
    std::thread user([] {
        const HWND dialog = test::WaitForWindow(test::kDialogClass, test::kSettingsCaption);
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    });
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_CONFIG),
                                           nullptr, ConfigDialogProc, 0);
    user.join();
    g_state = nullptr;
    return result;
}

TEST_F(ConfigDialogTest, ConfirmingWhenTheKeyCannotBeCreatedStoresNothingAndEndsAsUsual) {
    {
        const VolatileVendorKey refusing;
        ASSERT_EQ(ERROR_CHILD_MUST_BE_VOLATILE, CreateProductKey());
        EXPECT_EQ(IDOK, ConfirmDialogHere());
        EXPECT_FALSE(test::KeyExists(kProductSettingsKey));

        HWND dialog = Open(kNoOwner);
        ASSERT_NE(nullptr, dialog);
        ClickCheckBox(dialog);
        End(dialog, Ending::OkButton);
        ExpectEnded();
        EXPECT_FALSE(test::KeyExists(kProductSettingsKey));
    }
    EXPECT_EQ(ERROR_SUCCESS, CreateProductKey()) << "the registry is as it was";
}

POINT WindowOrigin(HWND window) {
    RECT frame = {};
    GetWindowRect(window, &frame);
    return {frame.left, frame.top};
}

POINT ClientOrigin(HWND window) {
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    return origin;
}

// The template's position 0,0 is the owner's client origin: the platform puts the dialog's client
// area there. Without an owner it is the screen's corner, and the platform keeps the whole window
// on the screen.
void ExpectPlacedFor(HWND dialog, HWND owner) {
    EXPECT_EQ(owner, GetWindow(dialog, GW_OWNER));
    if (owner == nullptr) {
        const POINT corner = WindowOrigin(dialog);
        EXPECT_EQ(0, corner.x);
        EXPECT_EQ(0, corner.y);
        return;
    }
    const POINT expected = ClientOrigin(owner);
    const POINT actual = ClientOrigin(dialog);
    EXPECT_EQ(expected.x, actual.x);
    EXPECT_EQ(expected.y, actual.y);
}

TEST_F(ConfigDialogTest, OpensAtTheUpperLeftOfItsOwnerOrOfTheScreen) {
    OwnerWindow owner(false);
    const std::string handle = std::to_string(reinterpret_cast<UINT_PTR>(owner.Handle()));
    struct PlaceCase {
        std::string arguments;
        HWND owner;
    };
    const PlaceCase cases[] = {
        {kNoOwner, nullptr},
        {"/c 0", nullptr},
        {"/c:" + handle, owner.Handle()},
        {"-C " + handle, owner.Handle()},
    };
    for (const PlaceCase& c : cases) {
        SCOPED_TRACE("[" + c.arguments + "]");
        HWND dialog = Open(c.arguments);
        ASSERT_NE(nullptr, dialog);
        ExpectPlacedFor(dialog, c.owner);
        End(dialog, Ending::CancelButton);
        ExpectEnded();
        test::EndSaver(saver);
        EXPECT_TRUE(IsWindowEnabled(owner.Handle())) << "the owner is enabled again";
    }
}

TEST_F(ConfigDialogTest, SwitchAloneIsOwnedByTheForegroundWindow) {
    OwnerWindow owner(true);
    ASSERT_TRUE(test::WaitUntil([&] { return GetForegroundWindow() == owner.Handle(); }));
    HWND dialog = Open("/c");
    ASSERT_NE(nullptr, dialog);
    ExpectPlacedFor(dialog, owner.Handle());
    End(dialog, Ending::CancelButton);
    ExpectEnded();
}

} // namespace
