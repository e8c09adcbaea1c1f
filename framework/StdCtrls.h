// Standard controls: labels, the memo with its lines and the check box.
#pragma once

#include <string>
#include <vector>

#include "framework/Controls.h"

namespace fw {

// A windowless caption. With AutoSize it takes the size of its text.
class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* owner);

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);

protected:
    void Paint() override;
    void FontChanged() override;
    void AdjustSize();

private:
    std::string FCaption;
    bool FAutoSize = true;
    TAlignment FAlignment = taLeftJustify;
    bool FTransparent = false;
};

class TLabel : public TCustomLabel {
public:
    using TCustomLabel::TCustomLabel;
};

class TMemo;

// The memo's lines; every change goes to the memo's window.
class TMemoLines {
public:
    explicit TMemoLines(TMemo& memo) : FMemo(memo) {}
    void Clear();
    void Add(const std::string& line);
    int Count() const { return static_cast<int>(FLines.size()); }
    const std::string& operator[](int index) const { return FLines.at(static_cast<size_t>(index)); }

private:
    TMemo& FMemo;
    std::vector<std::string> FLines;
};

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// A multi-line text box; the console backend prints each added line.
class TMemo : public TWinControl {
public:
    explicit TMemo(TComponent* owner);
    TWindowKind Kind() const override { return wkMemo; }
    TMemoLines& Lines() { return FLines; }
    const TMemoLines& Lines() const { return FLines; }

    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);  // bsNone or bsSingle

private:
    TMemoLines FLines;
    bool FReadOnly = false;
    TScrollStyle FScrollBars = ssNone;
    TBorderStyle FBorderStyle = bsSingle;
};

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* owner);
    TWindowKind Kind() const override { return wkCheckBox; }
    bool Checked() const { return FChecked; }
    void SetChecked(bool checked);
    // The window reports a change made by the user.
    void CheckedByUser(bool checked) { FChecked = checked; }

private:
    bool FChecked = false;
};

}  // namespace fw
