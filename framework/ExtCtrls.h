// The shape control: a filled, outlined rectangle drawn on the parent.
#pragma once

#include "framework/Controls.h"

namespace fw {

enum TShapeType { stRectangle };

class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* owner);
    TShapeType Shape = stRectangle;
    TBrush& Brush() { return FBrush; }
    TPen& Pen() { return FPen; }

protected:
    void Paint() override;

private:
    TBrush FBrush;
    TPen FPen;
};

}  // namespace fw
