// Times Orlimo.exe's buttons on large skins. Runs under Wine in an X server,
// with the Wine prefix of the tests (see docs/performance.md):
//
//   wine build-win/bin/dialog_timing.exe [spread|long-head] [SIZES] [RUNS] [EXE]
//
// For each size (UTF-16 units; default 900000,1000000), a skin of that length
// with CR LF line ends is put on the clipboard: the example skin repeated
// (spread: Apply and Remove change it from top to bottom), or the example
// skin with its style sheet grown (long-head: they change only its last few
// lines). Then each button is pressed in turn: paste and copy until their
// handler returns, Apply and Remove until the report box is up. The times
// are wall-clock seconds, the median of RUNS (default 3), each in a fresh
// EXE (default Orlimo.exe, next to this program).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "clipboard.h"
#include "drive.h"
#include "resource.h"

namespace {

using Clock = std::chrono::steady_clock;

std::wstring SkinOfLength(std::size_t units, bool spread)
{
    std::ifstream file(ORLIMO_EXAMPLE_SKIN, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    std::wstring skin(bytes.size(), L'\0');
    skin.resize(static_cast<std::size_t>(
        ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), skin.data(),
                              static_cast<int>(skin.size()))));
    if (spread) {
        std::wstring text;
        while (text.size() < units) text += skin;
        return text.substr(0, units);
    }
    const std::wstring rule = L".entry h2 { font-size: 1.4em; border-bottom: 1px solid #ddd; }\r\n";
    std::wstring rules;
    while (skin.size() + rules.size() < units) rules += rule;
    rules.resize(units > skin.size() ? units - skin.size() : 0);
    return skin.insert(skin.find(L"</style>"), rules);
}

// Seconds from `start` until `done` holds.
template <typename Done>
double Until(Clock::time_point start, Done done)
{
    drive::WaitFor(done, 300000);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Seconds of paste, Apply, Remove and copy in a fresh program.
std::vector<double> Measure(const std::wstring& skin, const std::wstring& exe)
{
    drive::Program orlimo(exe);
    const HWND main = orlimo.main;
    orlimo::ui::SetClipboardText(nullptr, skin);
    auto press = [main](int button) {  // returns when the button's handler has
        DWORD_PTR result = 0;
        return ::SendMessageTimeoutW(::GetDlgItem(main, button), BM_CLICK, 0, 0, 0, 300000,
                                     &result) != 0;
    };
    std::vector<double> times{Until(Clock::now(), [&] { return press(IDC_PASTE); })};
    for (int button : {IDC_APPLY, IDC_REMOVE}) {
        const auto start = Clock::now();
        drive::Click(main, button);
        times.push_back(Until(start, [] { return drive::Active(L"" ORLIMO_PRODUCT_NAME); }));
        drive::Press({VK_RETURN});
        drive::Active(drive::kMainTitle);
    }
    times.push_back(Until(Clock::now(), [&] { return press(IDC_COPY); }));
    return times;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const bool spread = argc < 2 || std::wstring(argv[1]) != L"long-head";
    std::wstringstream sizes(argc > 2 ? argv[2] : L"900000,1000000");
    const int runs = argc > 3 ? std::stoi(argv[3]) : 3;
    const std::wstring exe = argc > 4 ? argv[4] : L"Orlimo.exe";
    std::printf("| characters | paste s | Apply s | Remove s | copy s |\n");
    std::printf("|---:|---:|---:|---:|---:|\n");
    for (std::wstring size; std::getline(sizes, size, L',');) {
        const std::wstring skin = SkinOfLength(std::stoul(size), spread);
        std::vector<std::vector<double>> times(4);
        for (int run = 0; run < runs; ++run) {
            const std::vector<double> measured = Measure(skin, exe);
            for (std::size_t i = 0; i < 4; ++i) times[i].push_back(measured[i]);
        }
        std::printf("| %ls |", size.c_str());
        for (std::vector<double>& button : times) {
            std::sort(button.begin(), button.end());
            std::printf(" %.2f |", button[button.size() / 2]);
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    return 0;
}
