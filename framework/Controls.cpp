// Controls: bounds, fonts and colours shared with the parent, and the routing of mouse messages.
#include "framework/Controls.h"

#include <algorithm>

#include "framework/Peer.h"

namespace fw {

// ---- TControl ----

TControl::TControl(TComponent* owner) : TComponent(owner) {
    FFont.OnChange = [this] {
        if (!FFontFromParent)
            FParentFont = false;
        FontChanged();
    };
}

TControl::~TControl() {
    if (FParent)
        FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == FParent)
        return;
    if (FParent)
        FParent->RemoveControl(this);
    FParent = parent;
    if (!FParent)
        return;
    FParent->InsertControl(this);
    if (FParentFont)
        ParentFontChanged();
    if (FParentColor) {
        FColor = FParent->Color();
        ColorChanged();
    }
    Invalidate();
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight)
        return;
    Invalidate();
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    BoundsChanged();
    Invalidate();
}

void TControl::SetVisible(bool visible) {
    if (visible == FVisible)
        return;
    Invalidate();
    FVisible = visible;
    Invalidate();
}

void TControl::SetColor(TColor color) {
    FColor = color;
    FParentColor = false;
    ColorChanged();
}

void TControl::SetParentColor(bool value) {
    FParentColor = value;
    if (FParentColor && FParent) {
        FColor = FParent->Color();
        ColorChanged();
    }
}

void TControl::SetParentFont(bool value) {
    FParentFont = value;
    if (FParentFont)
        ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (!FParentFont || !FParent)
        return;
    FFontFromParent = true;
    FFont.Assign(FParent->Font());
    FFontFromParent = false;
}

void TControl::FontChanged() {
    Invalidate();
}

void TControl::Repaint() {}

void TControl::Invalidate() {}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    Fire(OnMouseDown, this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    Fire(OnMouseUp, this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    Fire(OnMouseMove, this, shift, x, y);
}

void TControl::Click() {
    Fire(OnClick, this);
}

void TControl::HandleMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft)
        FClicked = true;
    MouseDown(button, shift, x, y);
}

void TControl::HandleMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft && FClicked) {
        FClicked = false;
        if (ClientRect().Contains({x, y}))
            Click();
    }
    MouseUp(button, shift, x, y);
}

// ---- TGraphicControl ----

TGraphicControl::TGraphicControl(TComponent* owner)
    : TControl(owner), FCanvas([this] { return backend::ControlDevice(*this); }) {}

void TGraphicControl::Repaint() {
    if (Parent() && Visible())
        Parent()->Peer().Repaint(BoundsRect());
}

void TGraphicControl::Invalidate() {
    if (Parent())
        Parent()->Peer().Invalidate(BoundsRect());
}

void TGraphicControl::PaintOn(TCanvasDevice& device) {
    struct TDetach {
        TCanvas& canvas;
        ~TDetach() { canvas.Detach(); }
    } detach{FCanvas};
    FCanvas.Attach(&device);
    Paint();
}

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    for (TControl* child : FControls)
        child->FParent = nullptr;
    FControls.clear();
}

void TWinControl::SetCaption(const std::string& caption) {
    FCaption = caption;
    Changed();
}

void TWinControl::InsertControl(TControl* control) {
    FControls.push_back(control);
    if (auto* win = dynamic_cast<TWinControl*>(control))
        win->Changed();
}

void TWinControl::RemoveControl(TControl* control) {
    FControls.erase(std::remove(FControls.begin(), FControls.end(), control), FControls.end());
    if (FCaptureControl == control)
        FCaptureControl = nullptr;
    if (FMouseControl == control)
        FMouseControl = nullptr;
}

TControl* TWinControl::ControlAtPos(TPoint point) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (dynamic_cast<TGraphicControl*>(c) && c->Visible() && c->BoundsRect().Contains(point))
            return c;
    }
    return nullptr;
}

TControl* TWinControl::ControlUnderPointer(TPoint messagePoint) {
    std::optional<TPoint> pointer = Peer().PointerPos(messagePoint);
    return pointer ? ControlAtPos(*pointer) : nullptr;
}

void TWinControl::TrackHover(TControl* under) {
    if (under == FMouseControl)
        return;
    TControl* previous = FMouseControl;
    FMouseControl = under;
    if (previous)
        previous->MouseLeave();
    if (under)
        under->MouseEnter();
}

void TWinControl::MouseInput(const TMouseInput& input) {
    auto local = [&](TControl* c) { return TPoint{input.Pos.X - c->Left(), input.Pos.Y - c->Top()}; };
    switch (input.Kind) {
        case TMouseInput::miMove: {
            TControl* under = ControlAtPos(input.Pos);
            TrackHover(under);
            TControl* target = FCaptureControl ? FCaptureControl : under;
            if (!target)
                return MouseMove(input.Shift, input.Pos.X, input.Pos.Y);
            TPoint p = local(target);
            return target->MouseMove(input.Shift, p.X, p.Y);
        }
        case TMouseInput::miDown: {
            TControl* target = ControlAtPos(input.Pos);
            TrackHover(target);
            if (!target)
                return HandleMouseDown(input.Button, input.Shift, input.Pos.X, input.Pos.Y);
            if (input.Button == mbLeft) {
                FCaptureControl = target;
                Peer().SetMouseCapture(true);
            }
            TPoint p = local(target);
            return target->HandleMouseDown(input.Button, input.Shift, p.X, p.Y);
        }
        case TMouseInput::miUp: {
            TControl* target = FCaptureControl ? FCaptureControl : ControlAtPos(input.Pos);
            if (input.Button == mbLeft && FCaptureControl) {
                // Routing ends before the handlers run, so a capture-lost notice finds nothing to cancel.
                FCaptureControl = nullptr;
                Peer().SetMouseCapture(false);
            }
            if (!target)
                return HandleMouseUp(input.Button, input.Shift, input.Pos.X, input.Pos.Y);
            TPoint p = local(target);
            return target->HandleMouseUp(input.Button, input.Shift, p.X, p.Y);
        }
        case TMouseInput::miLeave:
            return TrackHover(nullptr);
        case TMouseInput::miCaptureLost:
            if (FCaptureControl)
                FCaptureControl->CancelClick();
            FCaptureControl = nullptr;
            return;
    }
}

void TWinControl::PaintControls(const TRect& area,
                                const std::function<std::unique_ptr<TCanvasDevice>(TGraphicControl&)>& deviceFor) {
    for (TControl* c : FControls) {
        auto* graphic = dynamic_cast<TGraphicControl*>(c);
        if (!graphic || !graphic->Visible())
            continue;
        TRect r = graphic->BoundsRect();
        if (r.Right <= area.Left || r.Left >= area.Right || r.Bottom <= area.Top || r.Top >= area.Bottom)
            continue;
        std::unique_ptr<TCanvasDevice> device = deviceFor(*graphic);
        if (device)
            graphic->PaintOn(*device);
    }
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    TControl::SetBounds(left, top, width, height);
    Changed();
}

void TWinControl::Repaint() {
    Peer().Repaint(ClientRect());
}

void TWinControl::Invalidate() {
    if (FPeer)
        FPeer->Invalidate(ClientRect());
}

backend::TWindowPeer& TWinControl::Peer() {
    if (!FPeer)
        FPeer = backend::CreatePeer(*this);
    return *FPeer;
}

void TWinControl::FontChanged() {
    Changed();
    for (TControl* c : FControls)
        c->ParentFontChanged();
}

void TWinControl::ColorChanged() {
    Changed();
    Invalidate();
    for (TControl* c : FControls)
        if (c->FParentColor) {
            c->FColor = Color();
            c->ColorChanged();
        }
}

void TWinControl::Changed() {
    if (FPeer || Parent())
        Peer().Changed();
}

}  // namespace fw
