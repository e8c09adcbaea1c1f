// Labels, the memo's lines and the check box.
#include "framework/StdCtrls.h"

#include "framework/Peer.h"

namespace fw {

// Default sizes a control gets before its form sets its bounds.
constexpr int kLabelWidth = 65, kLabelHeight = 17;
constexpr int kMemoWidth = 185, kMemoHeight = 89;
constexpr int kCheckBoxWidth = 97, kCheckBoxHeight = 17;

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, kLabelWidth, kLabelHeight);
}

void TCustomLabel::SetCaption(const std::string& caption) {
    FCaption = caption;
    AdjustSize();
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool value) {
    FAutoSize = value;
    AdjustSize();
}

void TCustomLabel::SetAlignment(TAlignment value) {
    FAlignment = value;
    Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
    FTransparent = value;
    Invalidate();
}

void TCustomLabel::FontChanged() {
    AdjustSize();
    TGraphicControl::FontChanged();
}

void TCustomLabel::AdjustSize() {
    if (!FAutoSize)
        return;
    TSize size = backend::MeasureText(FCaption, Font());
    SetBounds(Left(), Top(), size.cx, size.cy);
}

void TCustomLabel::Paint() {
    TCanvas& canvas = Canvas();
    if (!FTransparent) {
        canvas.Brush().Color = Color();
        canvas.Brush().Style = bsSolid;
        canvas.FillRect(ClientRect());
    }
    canvas.Font().Assign(Font());
    int textWidth = canvas.TextWidth(FCaption);
    int x = FAlignment == taLeftJustify    ? 0
            : FAlignment == taRightJustify ? Width() - textWidth
                                           : (Width() - textWidth) / 2;
    canvas.TextOut(x, 0, FCaption);
}

void TMemoLines::Clear() {
    FLines.clear();
    FMemo.Peer().LinesCleared();
}

void TMemoLines::Add(const std::string& line) {
    FLines.push_back(line);
    FMemo.Peer().LineAdded(line);
}

TMemo::TMemo(TComponent* owner) : TWinControl(owner), FLines(*this) {
    SetBounds(0, 0, kMemoWidth, kMemoHeight);
    SetColor(clWindow);
}

void TMemo::SetReadOnly(bool value) {
    FReadOnly = value;
    Changed();
}

void TMemo::SetScrollBars(TScrollStyle value) {
    FScrollBars = value;
    Changed();
}

void TMemo::SetBorderStyle(TBorderStyle value) {
    FBorderStyle = value;
    Changed();
}

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, kCheckBoxWidth, kCheckBoxHeight);
}

void TCheckBox::SetChecked(bool checked) {
    FChecked = checked;
    Changed();
}

}  // namespace fw
