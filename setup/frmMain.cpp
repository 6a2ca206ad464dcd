#include "frmMain.h"

#include "maker.h"
#include "mdlFunx.h"
#include "outcome_messages.h"
#include "ready.h"
#include "setup_error.h"
#include "rules/setup_label_layout.h"
#include "rules/setup_rules.h"
#include "rules/twips.h"
#include "shared/game_names.h"
#include "win32/app_window_class.h"
#include "win32/com_apartment.h"
#include "win32/dpi.h"
#include "win32/error_message.h"
#include "win32/failure.h"
#include "win32/full_path.h"

#include <shellapi.h>
#include <shlwapi.h>

namespace dravik {

namespace {

constexpr wchar_t kWindowClass[] = L"DravikSetup";

constexpr int kFrameId = 100;
constexpr int kTextBoxId = 101;
constexpr int kReadyId = IDOK;  // Enter presses READY
constexpr int kLabel1Id = 102;
constexpr int kLabel2Id = 103;
constexpr int kLabel3Id = 104;

// Client area and controls in twips. The text box and READY sit inside the
// frame; their positions are the frame's plus their own.
constexpr int kClientWidth = 8160;
constexpr int kClientHeight = 2070;
constexpr int kFrameLeft = 120;
constexpr int kFrameTop = 0;
// Kept free between the maker's line and the labels right of it.
constexpr int kLabelGap = 120;

struct Control {
    int id;
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
    int left, top, width, height;
    bool insideFrame;
    bool lucida;  // the text box keeps the system's font
};

// In tab order; ControlIndex names the rows.
enum ControlIndex { kFrameIndex, kTextBoxIndex, kReadyIndex, kLabel1Index, kLabel2Index, kLabel3Index, kControlCount };
const Control kControls[kControlCount] = {
    {kFrameId, L"BUTTON", BS_GROUPBOX, 0, kFrameLeft, kFrameTop, 7935, 1455, false, true},
    {kTextBoxId, L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 240, 360, 7575, 330, true, false},
    {kReadyId, L"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 240, 840, 7575, 375, true, true},
    {kLabel1Id, L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 120, 1680, 6135, 255, false, true},
    {kLabel2Id, L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 6000, 1560, 2055, 375, false, true},
    {kLabel3Id, L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 6000, 1800, 2175, 255, false, true},
};

const wchar_t* TextOf(int id)
{
    switch (id) {
    case kFrameId: return L"If textfield below is empty then paste the path to ut2003.exe and press the button";
    case kReadyId: return L"READY";
    case kLabel1Id: return kMakerLine;
    case kLabel2Id: return kContactAddress;
    case kLabel3Id: return kHomePage;
    default: return L"";
    }
}

// The frame's caption in that font. A group box clips its caption to the
// text's measured extent: Wine's themed one draws it into exactly the
// rectangle that DrawTextW measures, as DrawText without DT_NOCLIP does
// anywhere. Where the last letter's ink runs past that extent, as the final
// "n" of Liberation Sans (Wine's Lucida Sans Unicode on Debian) does at 96
// dpi, the letter loses its right stem: "buttor". A blank after the text
// widens the extent to hold it. Where the ink stays inside, the caption is
// the text itself.
std::wstring FrameCaption(HFONT font, const wchar_t* text)
{
    const int length = lstrlenW(text);
    const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    const SelectedObject selectedFont(dc.get(), font);
    SIZE extent = {};
    GetTextExtentPoint32W(dc.get(), text, length, &extent);

    // Black on white, drawn unclipped at a margin as wide as a letter is high.
    const int margin = extent.cy;
    const int width = extent.cx + 2 * margin;
    const int height = extent.cy;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const UniqueBitmap bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) {
        return text;
    }
    const SelectedObject selectedBitmap(dc.get(), bitmap.get());
    RECT all = {0, 0, width, height};
    FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(dc.get(), RGB(0, 0, 0));
    SetBkMode(dc.get(), TRANSPARENT);
    RECT at = {margin, 0, margin + extent.cx, height};
    DrawTextW(dc.get(), text, length, &at, DT_SINGLELINE | DT_NOCLIP);
    GdiFlush();

    // Ink: a pixel nearer black than white, right of the extent's end.
    const auto* pixels = static_cast<const DWORD*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = margin + extent.cx; x < width; ++x) {
            const DWORD pixel = pixels[y * width + x];
            if ((pixel & 0xFF) + ((pixel >> 8) & 0xFF) + ((pixel >> 16) & 0xFF) < 3 * 128) {
                return std::wstring(text) + L" ";
            }
        }
    }
    return text;
}

std::wstring TextOfWindow(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

}  // namespace

int frmMain::Run(int showState)
{
    Create();
    if (window_ == nullptr) {
        return 1;
    }
    Form_Load();
    ShowWindow(window_, showState);
    SetFocus(txtPath_);
    // Painted now, window and controls: left to the message loop, the first
    // WM_PAINT would come only after the shell's work below.
    RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);

    // Path completion in the text box is a COM object of the shell's, which
    // loads ole32 and shell32: the user sees the window first.
    const ComApartment com;
    SHAutoComplete(txtPath_, SHACF_FILESYSTEM);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return readyDone_ ? kReadyDone : failed_ ? kErrorExitCode : kClosed;
}

void frmMain::Create()
{
    RegisterAppWindowClass(instance_, kWindowClass, WindowProc);

    // UT2003.exe may be dropped on it from Explorer (WM_DROPFILES): the
    // style is all that DragAcceptFiles would set, without loading shell32.
    CreateWindowExW(WS_EX_ACCEPTFILES, kWindowClass, L"Dravik", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, this);
    if (window_ == nullptr) {
        return;
    }
    for (const Control& control : kControls) {
        CreateWindowExW(control.exStyle, control.className, TextOf(control.id), WS_CHILD | WS_VISIBLE | control.style,
                        0, 0, 0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance_,
                        nullptr);
    }
    Layout(static_cast<int>(WindowDpi(window_)));
    txtPath_ = GetDlgItem(window_, kTextBoxId);
    label2_ = GetDlgItem(window_, kLabel2Id);
    label3_ = GetDlgItem(window_, kLabel3Id);

    CentreOnWorkArea(window_);
}

void frmMain::Layout(int dpi)
{
    const auto pixels = [dpi](int twips) { return TwipsToPixels(twips, dpi); };

    // Lucida Sans Unicode 8.25 pt, Cyrillic character set.
    UniqueFont lucida(CreateFontW(-MulDiv(825, dpi, 7200), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                              L"Lucida Sans Unicode"));
    // The text box keeps the system's message font.
    UniqueFont textBoxFont = MessageFont(dpi);

    // Laid-out boxes in pixels, then the labels fitted to their text.
    Box boxes[kControlCount];
    for (int i = 0; i < kControlCount; ++i) {
        const Control& control = kControls[i];
        const int left = control.left + (control.insideFrame ? kFrameLeft : 0);
        const int top = control.top + (control.insideFrame ? kFrameTop : 0);
        boxes[i] = {pixels(left), pixels(top), pixels(control.width), pixels(control.height)};
    }
    const WindowDc dc(window_);
    const SelectedObject font(dc.get(), lucida.get());
    const auto textSize = [&dc](int id) {
        const wchar_t* text = TextOf(id);
        SIZE size = {};
        GetTextExtentPoint32W(dc.get(), text, lstrlenW(text), &size);
        return TextSize{static_cast<int>(size.cx), static_cast<int>(size.cy)};
    };
    const TextSize makerText = textSize(kLabel1Id);
    const TextSize contactText = textSize(kLabel2Id);
    const TextSize homePageText = textSize(kLabel3Id);
    const LabelLayout laidOut = {boxes[kLabel1Index], boxes[kLabel2Index], boxes[kLabel3Index], pixels(kClientWidth),
                                 pixels(kClientHeight)};
    const LabelLayout fit = FitLabels(laidOut, makerText, contactText, homePageText,
                                      boxes[kFrameIndex].Right(), pixels(kLabelGap));
    boxes[kLabel1Index] = fit.maker;
    boxes[kLabel2Index] = fit.contact;
    boxes[kLabel3Index] = fit.homePage;
    // A wider window widens the frame, the text box and READY with it.
    for (const int index : {kFrameIndex, kTextBoxIndex, kReadyIndex}) {
        boxes[index].width += fit.clientWidth - laidOut.clientWidth;
    }

    // Set again at each DPI: the ink of one size may overrun where another's does not.
    const HWND frame = GetDlgItem(window_, kFrameId);
    const std::wstring caption = FrameCaption(lucida.get(), TextOf(kFrameId));
    if (caption != TextOfWindow(frame)) {
        SetWindowTextW(frame, caption.c_str());
    }

    for (int i = 0; i < kControlCount; ++i) {
        const Control& control = kControls[i];
        const HWND child = GetDlgItem(window_, control.id);
        SetWindowPos(child, nullptr, boxes[i].left, boxes[i].top, boxes[i].width, boxes[i].height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(control.lucida ? lucida.get() : textBoxFont.get()),
                     TRUE);
    }
    // The controls have let go of the old fonts only now.
    lucida_ = std::move(lucida);
    textBoxFont_ = std::move(textBoxFont);
    SetClientSize(window_, fit.clientWidth, fit.clientHeight);
}

void frmMain::Form_Load()
{
    failed_ |= !RunReported(window_, kSetupErrorTitlePrefix, [this] {
        const std::wstring folder =
            RegReadString(HKEY_LOCAL_MACHINE, kInstallRecordKey, kInstallRecordValue, KEY_WOW64_32KEY);
        SetWindowTextW(txtPath_, ProposedGamePath(folder).c_str());
    });
}

void frmMain::butReady_Click()
{
    const ReadyOutcome outcome = Ready(TextOfWindow(txtPath_), ProgramPath());
    if (outcome.refused) {
        throw Failure(ReadyRefusedText(outcome));
    }
    if (outcome.chosenProgram) {
        MessageBoxW(window_, ChosenProgramText(outcome).c_str(), L"Dravik", MB_OK | MB_ICONINFORMATION);
    }
    readyDone_ = true;
    DestroyWindow(window_);
}

LRESULT frmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == kReadyId && HIWORD(wParam) == BN_CLICKED) {
            butReady_Click();
        }
        return 0;
    case WM_CTLCOLORSTATIC: {
        // The contact address and the home page are shown in red.
        const HWND control = reinterpret_cast<HWND>(lParam);
        const HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        if (control == label2_ || control == label3_) {
            SetTextColor(dc, RGB(0xFF, 0, 0));
        }
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DPICHANGED: {
        // Moved to a screen of another DPI: lay out again at that DPI.
        Layout(HIWORD(wParam));
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        return 0;
    }
    case WM_DROPFILES: {
        // UT2003.exe dropped from Explorer fills the box.
        const HDROP drop = reinterpret_cast<HDROP>(wParam);
        const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        path.resize(DragQueryFileW(drop, 0, &path[0], length + 1));
        DragFinish(drop);
        SetWindowTextW(txtPath_, path.c_str());
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

LRESULT CALLBACK frmMain::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* form = static_cast<frmMain*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<frmMain*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // C++ exceptions cannot pass through Windows' code that called this: a
    // handler's failure ends in the error message here, whatever it is.
    LRESULT result = 0;
    form->failed_ |= !RunReported(window, kSetupErrorTitlePrefix,
                                  [&] { result = form->HandleMessage(message, wParam, lParam); });
    return result;
}

}  // namespace dravik
