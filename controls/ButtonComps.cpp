// TSelButton: the three looks, the mouse rules, and the caption that follows the name.
#include "controls/ButtonComps.h"

#include <algorithm>

namespace controls {

// The size a new button gets before its form sets the bounds.
constexpr int kDefaultWidth = 105, kDefaultHeight = 20;
// Caption insets from the left and the right edge.
constexpr int kLeftInset = 5, kRightInset = 6;

TSelButton::TSelButton(fw::TComponent* owner) : fw::TGraphicControl(owner) {
    SetBounds(0, 0, kDefaultWidth, kDefaultHeight);
    fw::TControl::SetColor(fw::clBtnFace);
    Font().SetName("Arial");
    Font().SetSize(8);
    Font().SetColor(fw::clGray);
    ShowHint = true;
}

void TSelButton::SetParent(fw::TWinControl* parent) {
    fw::TGraphicControl::SetParent(parent);
    // A button placed at run time starts with its name as the caption; a stored caption comes later.
    if (parent && !Loading())
        SetCaption(Name());
}

void TSelButton::SetCaption(const std::string& caption) {
    FCaption = caption;
    Draw(lkNormal);
}

void TSelButton::SetColor(fw::TColor color) {
    fw::TControl::SetColor(color);
    Draw(lkNormal);
}

void TSelButton::SetColorBorder(fw::TColor color) {
    FColorBorder = color;
    Draw(lkNormal);
}

void TSelButton::SetAlignment(fw::TAlignment alignment) {
    FAlignment = alignment;
    Draw(lkNormal);
}

void TSelButton::SetBorderWidth(int width) {
    FBorderWidth = width;
    Draw(lkNormal);
}

void TSelButton::Paint() {
    Draw(lkNormal);
}

fw::TPoint TSelButton::CaptionOrigin(TLook look, int textWidth, int textHeight) const {
    const int shift = look == lkPressed ? 1 : 0;
    const int y = Height() / 2 - textHeight / 2 + shift;
    switch (FAlignment) {
        case fw::taRightJustify:
            return {Width() - textWidth - kRightInset - shift, y};
        case fw::taCenter:
            return {Width() / 2 - textWidth / 2 + shift, y};
        case fw::taLeftJustify:
            break;
    }
    return {kLeftInset + shift, y};
}

void TSelButton::Draw(TLook look) {
    fw::TCanvas& canvas = Canvas();
    const int w = Width(), h = Height();
    canvas.Brush().Style = fw::bsSolid;
    canvas.Brush().Color = look == lkNormal ? Color() : look == lkHover ? FColorOver : FColorDown;
    canvas.FillRect({1, 1, w - 1, h - 1});
    // The pressed look keeps the caption colour of the drawing before it.
    if (look != lkPressed) {
        canvas.Font().Assign(Font());
        if (look == lkHover)
            canvas.Font().SetColor(FColorOverCaption);
    }
    fw::TPoint at = CaptionOrigin(look, canvas.TextWidth(FCaption), canvas.TextHeight(FCaption));
    canvas.TextOut(at.X, at.Y, FCaption);
    // Frames past the middle would be empty; stopping there keeps a huge width from stalling the paint.
    const int frames = std::min(FBorderWidth, (std::min(w, h) + 1) / 2);
    canvas.Brush().Color = FColorBorder;
    for (int i = 0; i < frames; ++i)
        canvas.FrameRect({i, i, w - i, h - i});
}

void TSelButton::MouseDown(fw::TMouseButton button, fw::TShiftState shift, int x, int y) {
    if (button != fw::mbLeft || !FEnabled)
        return;
    fw::Fire(OnMouseDown, this, button, shift, x, y);
    Draw(lkPressed);
}

void TSelButton::Click() {
    Draw(lkNormal);
    if (FEnabled)
        fw::Fire(OnClick, this);
}

void TSelButton::MouseUp(fw::TMouseButton button, fw::TShiftState shift, int x, int y) {
    if (button != fw::mbLeft || !FEnabled)
        return;
    fw::Fire(OnMouseUp, this, button, shift, x, y);
    // The pointer may have moved on while the click's handler ran (a modal dialog in between).
    if (Parent() && Parent()->ControlUnderPointer({Left() + x, Top() + y}) == this)
        Draw(lkHover);
}

void TSelButton::MouseEnter() {
    if (!FEnabled)
        return;
    Draw(lkHover);
    fw::Fire(OnMouseEnter, this);
}

void TSelButton::MouseLeave() {
    Draw(lkNormal);
    fw::Fire(OnMouseLeave, this);
}

}  // namespace controls
