#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// Driving modal dialogs in tests, and finding their windows.
namespace wisp::test {

inline std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    return text;
}

inline BOOL CALLBACK CollectDialog(HWND window, LPARAM found) {
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    if (std::wstring(name) == L"#32770") {
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    }
    return TRUE;
}

// The dialog windows (message boxes and pickers included) of the calling thread.
inline std::vector<HWND> DialogsOfThisThread() {
    std::vector<HWND> found;
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Drives a modal dialog from a timer of the test's own thread: the steps run one a tick,
// in order; a step answers false to be tried again on the next tick (it waits for a window
// or a change). A watchdog ends every dialog of the thread once the time limit has passed,
// so a dialog that stops answering fails the test instead of hanging it.
class ModalScript {
public:
    using Step = std::function<bool()>;

    // An action that is done once it has run.
    ModalScript& Do(std::function<void()> action) {
        steps_.push_back([action = std::move(action)] {
            action();
            return true;
        });
        return *this;
    }
    // Waits until `condition` holds.
    ModalScript& WaitFor(std::function<bool()> condition) {
        steps_.push_back(std::move(condition));
        return *this;
    }

    // Runs `modal`, which enters a dialog's loop, with the steps driven from the timer.
    INT_PTR Run(const std::function<INT_PTR()>& modal, DWORD limitMilliseconds = 15000) {
        current_ = this;
        deadline_ = ::GetTickCount() + limitMilliseconds;
        UINT_PTR timer = ::SetTimer(nullptr, 0, 20, &ModalScript::Tick);
        INT_PTR result = modal();
        ::KillTimer(nullptr, timer);
        current_ = nullptr;
        return result;
    }

    bool Finished() const { return next_ == steps_.size(); }
    bool TimedOut() const { return timedOut_; }
    // The step the script stopped at, for the failure message.
    std::size_t NextStep() const { return next_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        ModalScript* self = current_;
        if (!self) {
            return;
        }
        if (static_cast<LONG>(::GetTickCount() - self->deadline_) > 0) {
            self->timedOut_ = true;
            EndEveryDialog();
            return;
        }
        // A step that opened a nested modal loop is still running: wait for it.
        if (self->running_ || self->Finished()) {
            return;
        }
        self->running_ = true;
        bool done = self->steps_[self->next_]();
        self->running_ = false;
        if (done) {
            ++self->next_;
        }
    }

    static void EndEveryDialog() {
        for (HWND dialog : DialogsOfThisThread()) {
            ::EndDialog(dialog, -1);
        }
    }

    static inline ModalScript* current_ = nullptr;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    DWORD deadline_ = 0;
    bool running_ = false;
    bool timedOut_ = false;
};

// A shown dialog of this thread by its caption, and owned by `owner` when one is given.
inline HWND FindDialog(const std::wstring& caption, HWND owner = nullptr) {
    for (HWND dialog : DialogsOfThisThread()) {
        if (::IsWindowVisible(dialog) && TextOf(dialog) == caption &&
            (!owner || ::GetWindow(dialog, GW_OWNER) == owner)) {
            return dialog;
        }
    }
    return nullptr;
}

// A shown dialog of this thread owned by `owner`, whatever its caption.
inline HWND FindOwnedDialog(HWND owner) {
    for (HWND dialog : DialogsOfThisThread()) {
        if (::IsWindowVisible(dialog) && ::GetWindow(dialog, GW_OWNER) == owner) {
            return dialog;
        }
    }
    return nullptr;
}

// The text of a message box (its text control has the id 0xFFFF).
inline std::wstring MessageBoxText(HWND box) {
    wchar_t text[512] = {};
    ::GetDlgItemTextW(box, 0xFFFF, text, 512);
    return text;
}

// Presses a button the way a click does, through the dialog's queue.
inline void PostClick(HWND dialog, int id) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

// A key pressed on the focused window, through the queue and the dialog manager.
inline void PostKey(HWND window, WPARAM key) {
    ::PostMessageW(window, WM_KEYDOWN, key, 1);
    ::PostMessageW(window, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

}  // namespace wisp::test
