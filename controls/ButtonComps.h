// TSelButton: a flat, owner-painted push button without a window of its own.
#pragma once

#include <string>

#include "framework/Controls.h"

namespace controls {

class TSelButton : public fw::TGraphicControl {
public:
    explicit TSelButton(fw::TComponent* owner);

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    // Fill in the normal look; hides the control colour setter so the button redraws at once.
    void SetColor(fw::TColor color);
    fw::TColor ColorBorder() const { return FColorBorder; }
    void SetColorBorder(fw::TColor color);
    fw::TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(fw::TAlignment alignment);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int width);

    // The button's own switch: when false, input is ignored but the look stays the same.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled) { FEnabled = enabled; }
    // Plain settings, used at the next hover or press.
    fw::TColor ColorOver() const { return FColorOver; }
    void SetColorOver(fw::TColor color) { FColorOver = color; }
    fw::TColor ColorDown() const { return FColorDown; }
    void SetColorDown(fw::TColor color) { FColorDown = color; }
    fw::TColor ColorOverCaption() const { return FColorOverCaption; }
    void SetColorOverCaption(fw::TColor color) { FColorOverCaption = color; }
    fw::TNotifyEvent OnMouseEnter;
    fw::TNotifyEvent OnMouseLeave;

    void SetParent(fw::TWinControl* parent) override;

    static constexpr fw::TColor kDefaultHighlight = 10795396;  // RGB 132, 185, 164

protected:
    void Paint() override;
    void MouseDown(fw::TMouseButton button, fw::TShiftState shift, int x, int y) override;
    void MouseUp(fw::TMouseButton button, fw::TShiftState shift, int x, int y) override;
    void Click() override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    enum TLook { lkNormal, lkHover, lkPressed };
    void Draw(TLook look);
    fw::TPoint CaptionOrigin(TLook look, int textWidth, int textHeight) const;

    std::string FCaption;
    fw::TColor FColorBorder = fw::clGray;
    fw::TAlignment FAlignment = fw::taLeftJustify;
    int FBorderWidth = 1;
    bool FEnabled = true;
    fw::TColor FColorOver = kDefaultHighlight;
    fw::TColor FColorDown = kDefaultHighlight;
    fw::TColor FColorOverCaption = fw::clBlack;
};

}  // namespace controls
