// TWebLabel: a label that hands its link to the shell's "open" action when pressed.
#pragma once

#include <string>

#include "controls/BasicLabel.h"

namespace controls {

enum TURLType { lnFile, lnFtp, lnGopher, lnHttp, lnHttps, lnMailto, lnNews, lnTelnet, lnWais };

// The scheme prefix put in front of a link of the given type.
const char* URLPrefix(TURLType type);

class TWebLabel : public TBasicLabel {
public:
    explicit TWebLabel(fw::TComponent* owner);

    std::string Link;  // the target without its scheme prefix
    TURLType LinkType() const { return FLinkType; }
    void SetLinkType(TURLType type) { FLinkType = type; }
    // What the shell is asked to open: the prefix of LinkType followed by Link.
    std::string Target() const { return URLPrefix(FLinkType) + Link; }

    // The label maker's host name, the default link and caption.
    static constexpr const char* kDefaultHost = "www.quillmere.example";

protected:
    void MouseDown(fw::TMouseButton button, fw::TShiftState shift, int x, int y) override;

private:
    TURLType FLinkType = lnHttp;
};

}  // namespace controls
