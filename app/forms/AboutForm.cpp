// The About dialog: its components and the stored values of its description.
#include "app/forms/AboutForm.h"

#include <cstdint>

namespace app {

std::unique_ptr<TfrmAbout> frmAbout;

namespace {

// Colours as the form description stores them (low byte red).
constexpr fw::TColor kWindowBack = 15590616;  // #D8E4ED
constexpr fw::TColor kPanelFill = 16052200;   // #E8EFF4
constexpr fw::TColor kOutline = 10179597;     // #0D549B
constexpr fw::TColor kLinkColor = 12946778;   // #5A8DC5
constexpr uint8_t kCyrillicCharset = fw::kRussianCharset;

// "О программе"
const char kCaption[] = "\xCE \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE5";
// "для телефонов Motorola C650 и C380"
const char kMotCaption[] = "\xE4\xEB\xFF \xF2\xE5\xEB\xE5\xF4\xEE\xED\xEE\xE2 Motorola C650 \xE8 C380";

void SetFont(fw::TFont& font, const char* name, int height, fw::TColor color, fw::TFontStyles style) {
    font.SetName(name);
    font.SetHeight(height);
    font.SetCharset(kCyrillicCharset);
    font.SetColor(color);
    font.SetStyle(style);
}

// A label on the panel; the panel shows through around its text.
void PlaceLabel(fw::TCustomLabel& label,
                fw::TWinControl& parent,
                const char* name,
                int left,
                int top,
                int width,
                int height,
                const char* caption) {
    label.SetName(name);
    label.SetParent(&parent);
    label.SetBounds(left, top, width, height);
    label.SetTransparent(true);
    label.SetCaption(caption);
}

}  // namespace

TfrmAbout::TfrmAbout(fw::TComponent* owner)
    : fw::TForm(owner),
      btnOk(this),
      shpBg(this),
      lblOru(this),
      lblGrandvue(this),
      lblMot(this),
      lblBy(this),
      lblVelkor(this),
      lblEmail(this),
      lblVersion(this) {
    BeginLoading();
    SetName("frmAbout");
    SetCaption(kCaption);
    SetBorderStyle(fw::bsDialog);
    SetBorderIcons(0);
    SetClientWidth(297);
    SetClientHeight(113);
    SetColor(kWindowBack);
    SetFont(Font(), "Verdana", -11, fw::clBlack, 0);
    Position = fw::poMainFormCenter;

    btnOk.BeginLoading();
    btnOk.SetName("btnOk");
    btnOk.SetParent(this);
    btnOk.SetBounds(197, 87, 92, 20);
    btnOk.SetCaption("Ok");
    btnOk.SetColor(kPanelFill);
    btnOk.SetColorBorder(kOutline);
    btnOk.SetColorOver(kOutline);
    btnOk.SetColorDown(kOutline);
    btnOk.SetColorOverCaption(fw::clWhite);
    btnOk.SetAlignment(fw::taCenter);
    btnOk.SetBorderWidth(1);
    btnOk.ShowHint = true;
    btnOk.ParentShowHint = false;
    SetFont(btnOk.Font(), "Arial", -11, kOutline, fw::fsBold);
    btnOk.OnClick = [this](fw::TObject* sender) { btnOkClick(sender); };
    btnOk.EndLoading();

    shpBg.SetName("shpBg");
    shpBg.SetParent(this);
    shpBg.SetBounds(8, 8, 281, 73);
    shpBg.Brush().Color = kPanelFill;
    shpBg.Pen().Color = kOutline;

    PlaceLabel(lblOru, *this, "lblOru", 18, 16, 25, 16, "Oru");
    SetFont(lblOru.Font(), "Verdana", -13, fw::clBlack, 0);
    PlaceLabel(lblGrandvue, *this, "lblGrandvue", 47, 16, 60, 16, "Grandvue");
    SetFont(lblGrandvue.Font(), "Verdana", -13, fw::clBlack, fw::fsBold);
    PlaceLabel(lblMot, *this, "lblMot", 31, 33, 221, 13, kMotCaption);
    PlaceLabel(lblBy, *this, "lblBy", 18, 57, 14, 13, "by");
    PlaceLabel(lblVelkor, *this, "lblVelkor", 39, 57, 48, 13, "Velkor");
    SetFont(lblVelkor.Font(), "Verdana", -11, fw::clBlack, fw::fsBold);

    lblEmail.BeginLoading();
    PlaceLabel(lblEmail, *this, "lblEmail", 94, 57, 103, 13, kContactAddress);
    lblEmail.Link = kContactAddress;
    lblEmail.SetLinkType(controls::lnMailto);
    lblEmail.SetCursor(fw::crHandPoint);
    lblEmail.Hint = "Quillmere site";
    lblEmail.ShowHint = true;
    lblEmail.ParentShowHint = false;
    lblEmail.FocusColor = kLinkColor;
    SetFont(lblEmail.Font(), "Verdana", -11, kLinkColor, fw::fsUnderline);
    lblEmail.EndLoading();

    PlaceLabel(lblVersion, *this, "lblVersion", 114, 18, 25, 13, "v1.0");
    EndLoading();
}

void TfrmAbout::btnOkClick(fw::TObject* /*Sender*/) {
    SetModalResult(fw::mrOk);
}

}  // namespace app
