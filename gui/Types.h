// Enumerations and small value types shared by the controls and forms.
#pragma once

#include <cstdint>
#include <functional>

namespace gui {

class Component;

// Where a control sits inside its parent's client area.
enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };

// Which parent edges a control keeps its distance to (stored only).
enum TAnchorKind : std::uint8_t { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = std::uint8_t;
constexpr TAnchors DefaultAnchors = akLeft | akTop;

// Horizontal alignment of a caption.
enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

// Bevel of a panel edge.
enum TBevelCut : std::uint8_t { bvNone, bvLowered, bvRaised };

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

// Keys and buttons held during an input event, as bit flags.
enum TShiftStateFlag : std::uint16_t {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64
};
using TShiftState = std::uint16_t;

// Mouse cursors by the framework's numbers; crDefault takes the window class's.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

// What a modal show ended with.
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;

// What closing a form does with it.
enum TCloseAction : std::uint8_t { caNone, caHide, caFree, caMinimize };

enum TBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog };
enum TPosition : std::uint8_t { poDesigned, poScreenCenter };
enum TWindowState : std::uint8_t { wsNormal, wsMinimized, wsMaximized };
enum TFormStyle : std::uint8_t { fsNormal, fsStayOnTop };

// Component state flags.
enum TComponentStateFlag : std::uint8_t { csLoading = 1, csDesigning = 2, csDestroying = 4 };
using TComponentState = std::uint8_t;

enum TOperation : std::uint8_t { opInsert, opRemove };

// Minimum and maximum size of a control; 0 means no limit.
struct SizeConstraints {
    int MinWidth = 0;
    int MinHeight = 0;
    int MaxWidth = 0;
    int MaxHeight = 0;
};

// Event signatures. The sender is the component that raised the event.
using TNotifyEvent = std::function<void(Component* sender)>;
using TMouseEvent =
    std::function<void(Component* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(Component* sender, TShiftState shift, int x, int y)>;
// key is the virtual-key code; setting it to 0 stops further handling.
using TKeyEvent = std::function<void(Component* sender, std::uint16_t& key, TShiftState shift)>;
// key is the UTF-16 character; setting it to 0 stops further handling.
using TKeyPressEvent = std::function<void(Component* sender, wchar_t& key)>;
using TCanResizeEvent = std::function<void(Component* sender, int& newWidth, int& newHeight, bool& resize)>;
using TCloseEvent = std::function<void(Component* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(Component* sender, bool& canClose)>;

} // namespace gui
