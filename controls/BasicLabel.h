// TBasicLabel: a caption whose font colour switches while the pointer is over it.
#pragma once

#include "framework/StdCtrls.h"

namespace controls {

class TBasicLabel : public fw::TCustomLabel {
public:
    explicit TBasicLabel(fw::TComponent* owner);

    fw::TColor FocusColor = fw::clRed;
    fw::TNotifyEvent OnMouseEnter;
    fw::TNotifyEvent OnMouseLeave;

    // The colour the font returns to when the pointer leaves.
    fw::TColor SavedColor() const { return FSavedColor; }

protected:
    void Loaded() override;
    void FontChanged() override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    fw::TColor FSavedColor;
};

}  // namespace controls
