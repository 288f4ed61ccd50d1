#include "gui/CheckListBox.h"

#include <algorithm>

#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/Font.h"
#include "gui/GdiObject.h"
#include "gui/Text.h"

namespace gui {

namespace {
constexpr int kCheckBox = 13; // the check box's side in pixels
constexpr int kTextGap = 4;   // between the box and the text
} // namespace

CheckListBox::CheckListBox(Component* owner) : ListBox(owner) {}

bool CheckListBox::Checked(int index) const {
    (void)Items().Strings(index); // the same bounds error as the items
    return index < static_cast<int>(checks_.size()) && checks_[static_cast<size_t>(index)];
}

void CheckListBox::SetChecked(int index, bool checked) {
    (void)Items().Strings(index);
    if (checks_.size() < static_cast<size_t>(Items().Count()))
        checks_.resize(static_cast<size_t>(Items().Count()));
    checks_[static_cast<size_t>(index)] = checked;
    if (HandleAllocated()) {
        const RECT r = ItemRect(index);
        InvalidateRect(Handle(), &r, FALSE);
    }
}

void CheckListBox::SetFlat(bool flat) {
    flat_ = flat;
    Invalidate();
}

int CheckListBox::CheckBoxSize() const {
    return kCheckBox;
}

void CheckListBox::CreateParamsFor(CreateParams& params) {
    ListBox::CreateParamsFor(params);
    params.ClassName = L"NimbreCheckListBox";
    params.Style |= LBS_OWNERDRAWFIXED;
}

void CheckListBox::CreateHandle() {
    ListBox::CreateHandle();
    UpdateItemHeight();
}

void CheckListBox::UpdateItemHeight() {
    if (!HandleAllocated()) return;
    Bitmap measure(1, 1);
    measure.Canvas().SetFont(Font());
    const int height = std::max(measure.Canvas().TextHeight("Wg") + 2, kCheckBox + 2);
    SendToWindow(LB_SETITEMHEIGHT, 0, height);
}

void CheckListBox::ItemsChanged() {
    checks_.resize(static_cast<size_t>(Items().Count()));
    ListBox::ItemsChanged();
}

void CheckListBox::ToggleByUser(int index) {
    if (index < 0 || index >= Items().Count() || !Enabled()) return;
    SetChecked(index, !Checked(index));
    if (OnClickCheck) OnClickCheck(this);
}

void CheckListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    ListBox::MouseDown(button, shift, x, y);
    if (button != mbLeft) return;
    const int index = ItemAtPos(POINT{x, y});
    if (index < 0) return;
    const RECT r = ItemRect(index);
    if (x >= r.left && x < r.left + kCheckBox + kTextGap) ToggleByUser(index);
}

void CheckListBox::KeyPress(wchar_t& key) {
    ListBox::KeyPress(key);
    if (key == L' ') {
        ToggleByUser(ItemIndex());
        key = 0;
    }
}

void CheckListBox::DrawItem(const DRAWITEMSTRUCT& item) {
    const int index = static_cast<int>(item.itemID);
    gui::Canvas canvas(item.hDC);
    const RECT r = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    canvas.Brush().SetColor(Color());
    canvas.FillRect(r);
    if (index < 0 || index >= Items().Count()) return;

    // The check box, centred on the row.
    const int top = r.top + (r.bottom - r.top - kCheckBox) / 2;
    RECT box{r.left + 1, top, r.left + 1 + kCheckBox, top + kCheckBox};
    if (flat_) {
        canvas.Brush().SetColor(Enabled() ? clWindow : clBtnFace);
        canvas.FillRect(box);
        canvas.Brush().SetColor(clBtnShadow);
        canvas.FrameRect(box);
    } else {
        DrawFrameControl(item.hDC, &box, DFC_BUTTON,
                         DFCS_BUTTONCHECK | (Checked(index) ? DFCS_CHECKED : 0) |
                             (Enabled() ? 0 : DFCS_INACTIVE));
    }
    if (flat_ && Checked(index)) {
        // A tick of three strokes, two pixels thick.
        canvas.Pen().SetColor(Enabled() ? clWindowText : clGrayText);
        for (int dy = 0; dy < 2; ++dy) {
            canvas.MoveTo(box.left + 3, box.top + 5 + dy);
            canvas.LineTo(box.left + 5, box.top + 7 + dy);
            canvas.LineTo(box.left + 10, box.top + 2 + dy);
        }
    }

    RECT text{box.right + kTextGap - 1, r.top, r.right, r.bottom};
    if (selected) {
        canvas.Brush().SetColor(clHighlight);
        canvas.FillRect(text);
    }
    canvas.Font().Assign(Font());
    canvas.Font().SetColor(!Enabled() ? clGrayText : selected ? clHighlightText : Font().Color());
    canvas.Brush().SetStyle(bsClear);
    RECT textArea{text.left + 1, text.top, text.right, text.bottom};
    canvas.DrawText(Items()[index], textArea, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if ((item.itemState & ODS_FOCUS) != 0) canvas.DrawFocusRect(text);
}

void CheckListBox::WndProc(Message& msg) {
    switch (msg.Msg) {
    case CN_DRAWITEM:
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(msg.LParam));
        msg.Result = TRUE;
        return;
    case CM_FONTCHANGED:
        ListBox::WndProc(msg);
        UpdateItemHeight();
        return;
    default:
        ListBox::WndProc(msg);
        return;
    }
}

} // namespace gui
