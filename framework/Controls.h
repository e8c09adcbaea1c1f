// Controls: the common base, windowless (graphic) controls drawn on their parent, and windowed controls.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Graphics.h"

namespace fw {

namespace backend {
class TWindowPeer;
}

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateBit : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32 };
using TShiftState = unsigned;  // a set of TShiftStateBit bits

using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog };

// Cursor slots of the screen's cursor list.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crArrow = -2;
constexpr TCursor crHandPoint = -21;

// One mouse message, decoded once by the backend (or made by a test) and handed to a windowed control.
struct TMouseInput {
    enum TKind { miDown, miUp, miMove, miLeave, miCaptureLost };
    TKind Kind = miMove;
    TMouseButton Button = mbLeft;
    TShiftState Shift = 0;
    TPoint Pos;  // client coordinates of the window that received it
};

class TWinControl;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* parent);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
    void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
    void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
    void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    TRect ClientRect() const { return {0, 0, FWidth, FHeight}; }

    bool Visible() const { return FVisible; }
    void SetVisible(bool visible);

    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool value);

    // Changing the font through Font() clears ParentFont, as assigning a stored font does.
    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool value);

    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor cursor) { FCursor = cursor; }

    std::string Hint;
    bool ShowHint = false;
    bool ParentShowHint = true;

    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    // Redraws the control's rectangle at once (through the parent for a windowless control).
    virtual void Repaint();
    // Asks for a redraw the next time messages are processed.
    virtual void Invalidate();

    // The mouse handling the windowed parent routes here; coordinates are the control's own.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void Click();
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}

    // The framework's own handling of a left press and release: the press marks the control as
    // clicked; the release runs Click() when the press started here and the point lies inside.
    void HandleMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void HandleMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    void CancelClick() { FClicked = false; }

protected:
    // Called after the font changed (by the program or from the parent font).
    virtual void FontChanged();
    virtual void ColorChanged() { Invalidate(); }
    virtual void BoundsChanged() {}
    virtual void ParentFontChanged();
    friend class TWinControl;

private:
    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    bool FVisible = true;
    TColor FColor = clBtnFace;
    bool FParentColor = true;
    TFont FFont;
    bool FParentFont = true;
    bool FFontFromParent = false;  // set while the parent's font is copied in
    TCursor FCursor = crDefault;
    bool FClicked = false;
};

// A control without a window of its own: it draws on its parent through Canvas().
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);
    TCanvas& Canvas() { return FCanvas; }
    void Repaint() override;
    void Invalidate() override;
    // Draws the control with the parent's paint device attached to its canvas.
    void PaintOn(TCanvasDevice& device);

protected:
    virtual void Paint() {}

private:
    TCanvas FCanvas;
};

// The kinds of native window a windowed control stands for.
enum TWindowKind { wkForm, wkMemo, wkCheckBox };

// A control with a window of its own (made by the backend when first needed). It owns the routing
// of mouse messages to its windowless children.
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    virtual TWindowKind Kind() const = 0;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    int TabOrder = -1;

    // Children in creation order, which is their painting order.
    const std::vector<TControl*>& Controls() const { return FControls; }
    // The topmost visible windowless child at a client point, or nullptr.
    TControl* ControlAtPos(TPoint point) const;
    // The topmost visible windowless child under the pointer now, which after a modal dialog or a long
    // handler need not be where the message being handled says.
    TControl* ControlUnderPointer(TPoint messagePoint);

    // Entry point for every mouse message of the window.
    void MouseInput(const TMouseInput& input);
    // Paints the windowless children in order; the device source gives one device per child.
    void PaintControls(const TRect& area,
                       const std::function<std::unique_ptr<TCanvasDevice>(TGraphicControl&)>& deviceFor);

    void SetBounds(int left, int top, int width, int height) override;
    void Repaint() override;
    void Invalidate() override;

    backend::TWindowPeer& Peer();
    bool HasPeer() const { return FPeer != nullptr; }

protected:
    void FontChanged() override;
    void ColorChanged() override;
    // Lets the window follow a change of the control's state.
    void Changed();

private:
    friend class TControl;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void TrackHover(TControl* under);

    std::string FCaption;
    std::vector<TControl*> FControls;
    TControl* FCaptureControl = nullptr;
    TControl* FMouseControl = nullptr;
    std::unique_ptr<backend::TWindowPeer> FPeer;
};

}  // namespace fw
