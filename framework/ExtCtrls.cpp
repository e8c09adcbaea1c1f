// The shape control.
#include "framework/ExtCtrls.h"

namespace fw {

constexpr int kShapeSize = 65;  // default size before the form sets the bounds

TShape::TShape(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, kShapeSize, kShapeSize);
}

void TShape::Paint() {
    TCanvas& canvas = Canvas();
    canvas.Brush() = FBrush;
    canvas.Pen() = FPen;
    canvas.Rectangle(ClientRect());
}

}  // namespace fw
