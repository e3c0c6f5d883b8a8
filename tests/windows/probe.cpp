// What a Windows player sees of a program, read back for the whole-program tests under Wine:
//   zephprobe [--console=none|handles] [--answer] [--type=ID:TEXT] [--close=TITLE] -- PROGRAM ARGS
// PROGRAM starts with no standard handles, as Explorer starts a windowed program.
// --console=none     PROGRAM starts in a console of its own with no standard handles, as a
//                    command prompt starts a windowed program; --console=handles hands it the
//                    console as its standard output and error. Once it has ended, the console's
//                    text follows "console:", one line per screen row, trailing blanks cut.
// --answer           every dialog PROGRAM shows (message boxes, an installer's pages) is printed
//                    whenever its visible text changes, "dialog: TITLE" then "  CLASS ID: TEXT"
//                    for each control (line ends shown as \n), and its default button pressed.
// --type=ID:TEXT     the first time a dialog shows a control ID, TEXT is typed into it after
//                    the dialog is printed (a folder on an installer's directory page).
// --close=TITLE      once a dialog has been answered and none shows, the windows titled TITLE,
//                    of any process, are asked to close and waited for.
// Then "exit: CODE". Every wait has a deadline; past it the probe says so and exits 1.

#include <windows.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace {

HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE); // kept before any console is made

void say(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(std::size_t(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), bytes.data(), length, nullptr,
                        nullptr);
    bytes += "\n";
    DWORD written = 0;
    WriteFile(output, bytes.data(), DWORD(bytes.size()), &written, nullptr);
}

// Asked of the window itself: for another process's window GetWindowText gives only a caption,
// never an edit box's text.
std::wstring windowText(HWND window) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
    std::wstring text(std::size_t(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, WPARAM(text.size()), LPARAM(text.data()),
                        SMTO_ABORTIFHUNG, 5000, &copied);
    text.resize(std::size_t(copied));
    return text;
}

std::wstring className(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring shownLineEnds(const std::wstring& text) {
    std::wstring shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool crBeforeLf = text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n';
        shown += text[i] == L'\n' ? L"\\n" : crBeforeLf ? L"" : std::wstring(1, text[i]);
    }
    return shown;
}

// A dialog as the player sees it: its visible controls' classes, ids and texts, and whether its
// check boxes are ticked and its buttons can be pressed.
std::wstring describeDialog(HWND dialog) {
    std::wstring text = L"dialog: " + windowText(dialog);
    EnumChildWindows(
        dialog,
        [](HWND control, LPARAM data) -> BOOL {
            if (!IsWindowVisible(control)) {
                return TRUE;
            }
            std::wstring& out = *reinterpret_cast<std::wstring*>(data);
            const std::wstring kind = className(control);
            out += L"\n  " + kind + L" " + std::to_wstring(GetDlgCtrlID(control)) + L": " +
                   shownLineEnds(windowText(control));
            if (kind == L"Button") {
                const LRESULT checked = SendMessageW(control, BM_GETCHECK, 0, 0);
                out += checked == BST_CHECKED ? L" [ticked]" : L"";
                out += IsWindowEnabled(control) ? L"" : L" [disabled]";
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    return text;
}

struct Search {
    DWORD process = 0;       // the dialogs of this process
    std::wstring title;      // or the windows with this title
    std::vector<HWND> found; // visible top-level windows
};

std::vector<HWND> topWindows(DWORD process, const std::wstring& title) {
    Search search{process, title, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            Search& search = *reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            const bool wanted = search.process != 0
                                    ? owner == search.process && className(window) == L"#32770"
                                    : windowText(window) == search.title;
            if (wanted && IsWindowVisible(window)) {
                search.found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The button Enter presses; none while it is disabled (an installer at work).
HWND defaultButton(HWND dialog) {
    const LRESULT defaultId = SendMessageW(dialog, DM_GETDEFID, 0, 0);
    const int id = HIWORD(defaultId) == DC_HASDEFID ? LOWORD(defaultId) : IDOK;
    const HWND button = GetDlgItem(dialog, id);
    return button != nullptr && IsWindowEnabled(button) ? button : nullptr;
}

// Types `text` into control `id` of the dialog or of its page; false when neither shows it.
bool typeInto(HWND dialog, int id, const std::wstring& text) {
    HWND field = GetDlgItem(dialog, id);
    for (HWND page = FindWindowExW(dialog, nullptr, L"#32770", nullptr);
         field == nullptr && page != nullptr;
         page = FindWindowExW(dialog, page, L"#32770", nullptr)) {
        field = GetDlgItem(page, id);
    }
    if (field == nullptr || !IsWindowVisible(field)) {
        return false;
    }
    SendMessageW(field, WM_SETTEXT, 0, LPARAM(text.c_str()));
    return true;
}

std::wstring consoleText() {
    const HANDLE console =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    CONSOLE_SCREEN_BUFFER_INFO screen{};
    GetConsoleScreenBufferInfo(console, &screen);
    std::wstring text = L"console:";
    for (SHORT row = 0; row <= screen.dwCursorPosition.Y; ++row) {
        std::wstring line(std::size_t(screen.dwSize.X), L' ');
        DWORD read = 0;
        ReadConsoleOutputCharacterW(console, line.data(), DWORD(line.size()), COORD{0, row}, &read);
        line.resize(line.find_last_not_of(L' ') + 1); // a blank row: npos + 1 is 0
        text += L"\n" + line;
    }
    CloseHandle(console);
    return text;
}

// An argument as typed at a prompt: quoted only when it holds a space or a quote.
std::wstring quoted(const std::wstring& argument) {
    if (argument.find_first_of(L" \"") == std::wstring::npos) {
        return argument;
    }
    std::wstring out = L"\"";
    for (const wchar_t c : argument) {
        out += c == L'"' ? std::wstring(L"\\\"") : std::wstring(1, c);
    }
    return out + L"\"";
}

} // namespace

int main() {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring console, closeTitle, command, typed;
    int typedInto = 0;
    bool answer = false;
    int i = 1;
    for (; i < count && std::wstring(args[i]) != L"--"; ++i) {
        const std::wstring arg = args[i];
        if (arg.rfind(L"--console=", 0) == 0) {
            console = arg.substr(10);
        } else if (arg.rfind(L"--close=", 0) == 0) {
            closeTitle = arg.substr(8);
        } else if (arg.rfind(L"--type=", 0) == 0 && arg.find(L':') != std::wstring::npos) {
            typedInto = std::stoi(arg.substr(7));
            typed = arg.substr(arg.find(L':') + 1);
        } else if (arg == L"--answer") {
            answer = true;
        }
    }
    for (++i; i < count; ++i) {
        command += (command.empty() ? L"" : L" ") + quoted(args[i]);
    }
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES; // none, as Explorer starts a windowed program
    if (!console.empty()) {
        FreeConsole();
        AllocConsole();
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        const HANDLE screen =
            CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0, nullptr);
        // Wide enough that no line wraps, with rows enough for everything written; a Western
        // European console's code page, where UTF-8 bytes are not text.
        SetConsoleScreenBufferSize(screen, COORD{300, 1000});
        SetConsoleOutputCP(850);
        if (console == L"handles") {
            start.hStdOutput = screen;
            start.hStdError = screen;
        }
    }
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &start, &child)) {
        say(L"cannot start " + command + L": error " + std::to_wstring(GetLastError()));
        return 1;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    std::map<HWND, std::wstring> seen;
    bool answered = false, closing = false;
    for (;;) {
        if (std::chrono::steady_clock::now() > deadline) {
            say(L"still waiting after 60 s");
            TerminateProcess(child.hProcess, 1);
            return 1;
        }
        const bool ended = WaitForSingleObject(child.hProcess, 0) == WAIT_OBJECT_0;
        const std::vector<HWND> dialogs =
            answer && !ended ? topWindows(child.dwProcessId, L"") : std::vector<HWND>{};
        for (const HWND dialog : dialogs) {
            const HWND button = defaultButton(dialog);
            const std::wstring now = describeDialog(dialog);
            if (button == nullptr || seen[dialog] == now) {
                continue; // pressed once per change, when it can be, as a person would
            }
            say(now);
            if (typedInto != 0 && typeInto(dialog, typedInto, typed)) {
                typedInto = 0;
            }
            seen[dialog] = describeDialog(dialog);
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                         LPARAM(button));
            answered = true;
        }
        const std::vector<HWND> toClose = closeTitle.empty() || !answered || !dialogs.empty()
                                              ? std::vector<HWND>{}
                                              : topWindows(0, closeTitle);
        for (const HWND window : toClose) {
            PostMessageW(window, WM_CLOSE, 0, 0);
            closing = true;
        }
        if (ended && (closeTitle.empty() || (closing && toClose.empty()))) {
            break;
        }
        Sleep(50); // a poll, under the deadline
    }
    if (!console.empty()) {
        say(consoleText());
    }
    DWORD code = 0;
    GetExitCodeProcess(child.hProcess, &code);
    say(L"exit: " + std::to_wstring(code));
    return 0;
}
