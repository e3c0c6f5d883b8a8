// What a Windows player sees of a program, read back for the whole-program tests under Wine:
//   zephprobe [--console=none|--console=handles] [--answer] [--close=TITLE] -- PROGRAM ARGS...
// --console=none     PROGRAM starts in a console of its own with no standard handles, as a
//                    command prompt starts a windowed program; --console=handles hands it the
//                    console as its standard output and error. Once it has ended, the console's
//                    text follows "console:", one line per screen row, trailing blanks cut.
// --answer           every dialog PROGRAM shows (message boxes, an installer's pages) is printed
//                    whenever its visible text changes, "dialog: TITLE" then "  CLASS ID: TEXT"
//                    for each control (line ends shown as \n), and its default button pressed.
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
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(std::size_t(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), bytes.data(), length, nullptr,
                        nullptr);
    bytes += "\n";
    DWORD written = 0;
    WriteFile(output, bytes.data(), DWORD(bytes.size()), &written, nullptr);
}

std::wstring windowText(HWND window) {
    std::wstring text(std::size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(window, text.data(), int(text.size()))));
    return text;
}

std::wstring className(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring shownLineEnds(std::wstring text) {
    std::wstring shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
            continue;
        }
        shown += text[i] == L'\n' ? std::wstring(L"\\n") : std::wstring(1, text[i]);
    }
    return shown;
}

// A dialog as the player sees it: its visible controls' classes, ids and texts, and whether its
// check boxes are ticked and its buttons can be pressed.
std::wstring describeDialog(HWND dialog) {
    std::wstring text = L"dialog: " + windowText(dialog);
    struct Walk {
        std::wstring* text;
    } walk{&text};
    EnumChildWindows(
        dialog,
        [](HWND control, LPARAM data) -> BOOL {
            if (!IsWindowVisible(control)) {
                return TRUE;
            }
            std::wstring& out = *reinterpret_cast<Walk*>(data)->text;
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
        reinterpret_cast<LPARAM>(&walk));
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

void pressDefaultButton(HWND dialog) {
    const LRESULT defaultId = SendMessageW(dialog, DM_GETDEFID, 0, 0);
    const int id = HIWORD(defaultId) == DC_HASDEFID ? LOWORD(defaultId) : IDOK;
    const HWND button = GetDlgItem(dialog, id);
    if (button != nullptr && IsWindowEnabled(button)) {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(button));
    }
}

std::wstring consoleText() {
    const HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       0, nullptr);
    CONSOLE_SCREEN_BUFFER_INFO screen{};
    GetConsoleScreenBufferInfo(console, &screen);
    std::wstring text = L"console:";
    for (SHORT row = 0; row <= screen.dwCursorPosition.Y; ++row) {
        std::wstring line(std::size_t(screen.dwSize.X), L' ');
        DWORD read = 0;
        ReadConsoleOutputCharacterW(console, line.data(), DWORD(line.size()), COORD{0, row},
                                    &read);
        line.resize(line.find_last_not_of(L' ') == std::wstring::npos
                        ? 0
                        : line.find_last_not_of(L' ') + 1);
        text += L"\n" + line;
    }
    CloseHandle(console);
    return text;
}

std::wstring quoted(const std::wstring& argument) {
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
    std::wstring console, closeTitle, command;
    bool answer = false;
    int i = 1;
    for (; i < count && std::wstring(args[i]) != L"--"; ++i) {
        const std::wstring arg = args[i];
        if (arg.rfind(L"--console=", 0) == 0) {
            console = arg.substr(10);
        } else if (arg.rfind(L"--close=", 0) == 0) {
            closeTitle = arg.substr(8);
        } else if (arg == L"--answer") {
            answer = true;
        }
    }
    for (++i; i < count; ++i) {
        command += (command.empty() ? L"" : L" ") + quoted(args[i]);
    }
    STARTUPINFOW start{};
    start.cb = sizeof start;
    if (!console.empty()) {
        FreeConsole();
        AllocConsole();
        // Windows 10's own console size: 120 columns, and rows enough for everything written.
        SetConsoleScreenBufferSize(GetStdHandle(STD_OUTPUT_HANDLE), COORD{120, 1000});
        start.dwFlags = STARTF_USESTDHANDLES; // none, unless handed over below
        if (console == L"handles") {
            SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
            start.hStdOutput = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                           OPEN_EXISTING, 0, nullptr);
            start.hStdError = start.hStdOutput;
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
            const std::wstring now = describeDialog(dialog);
            if (seen[dialog] != now) { // pressed once per change, as a person would
                seen[dialog] = now;
                say(now);
                pressDefaultButton(dialog);
                answered = true;
            }
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
