// The About dialog: program name, version, author and a mail link, shown modally from the main window.
#pragma once

#include <memory>

#include "controls/ButtonComps.h"
#include "controls/WebLabel.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

namespace app {

class TfrmAbout : public fw::TForm {
public:
    explicit TfrmAbout(fw::TComponent* owner);

    // Component fields in declaration order.
    controls::TSelButton btnOk;
    fw::TShape shpBg;
    fw::TLabel lblOru;
    fw::TLabel lblGrandvue;
    fw::TLabel lblMot;
    fw::TLabel lblBy;
    fw::TLabel lblVelkor;
    controls::TWebLabel lblEmail;
    fw::TLabel lblVersion;

    void btnOkClick(fw::TObject* Sender);

    // The address the link hands to the mail program (after "mailto:").
    static constexpr const char* kContactAddress = "grandvue@quillmere.example";
};

// The one About dialog, created hidden at start.
extern std::unique_ptr<TfrmAbout> frmAbout;

}  // namespace app
