// TBasicLabel: hover colour, and the saved colour that never takes the hover colour.
#include "controls/BasicLabel.h"

namespace controls {

TBasicLabel::TBasicLabel(fw::TComponent* owner) : fw::TCustomLabel(owner), FSavedColor(Font().Color()) {}

void TBasicLabel::Loaded() {
    fw::TCustomLabel::Loaded();
    FSavedColor = Font().Color();
}

void TBasicLabel::FontChanged() {
    fw::TCustomLabel::FontChanged();
    if (Font().Color() != FocusColor)
        FSavedColor = Font().Color();
}

void TBasicLabel::MouseEnter() {
    Font().SetColor(FocusColor);
    fw::Fire(OnMouseEnter, this);
}

void TBasicLabel::MouseLeave() {
    Font().SetColor(FSavedColor);
    fw::Fire(OnMouseLeave, this);
}

}  // namespace controls
