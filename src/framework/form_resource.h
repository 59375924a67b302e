// Form resources: a window's design values as text carried with the
// program and applied when the window is built.
//
//   object FormMain: TFormMain
//     Left = 300
//     Font.Name = 'MS Sans Serif'
//     BorderIcons = [SystemMenu, Minimize]
//     OnCreate = FormCreate
//     object Label1: TLabel
//       Caption = 'Label1'
//     end
//   end
//
// Values are integers, 'quoted text' ('' stands for one quote), names, or
// [sets of names]. A malformed resource, or a property or value the program
// does not know, raises TResourceError.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "framework/geometry.h"
#include "base/failure.h"

namespace titles::framework {

class TResourceError : public TFailure {
public:
    using TFailure::TFailure;
    const char* KindName() const noexcept override { return "TResourceError"; }
};

enum class TBorderStyle : std::uint8_t { Single, Sizeable, None };

struct TLabelDesign {
    std::string name;
    TRect bounds{0, 0, 0, 0};
    std::string caption;
    TFontSpec font;
    bool parentFont = true;  // false: the label has a font of its own
    bool autoSize = true;
    std::string onClick;
};

struct TFormDesign {
    std::string name;
    std::string className;
    std::string caption;  // the title bar's text; empty
    TPoint position{0, 0};
    TSize clientSize{0, 0};
    TBorderStyle borderStyle = TBorderStyle::Sizeable;
    bool systemMenu = true;
    bool minimizeBox = true;
    bool maximizeBox = true;
    TSystemColor color = TSystemColor::ButtonFace;
    TFontSpec font{"MS Sans Serif", 11, TCharset::Default, TSystemColor::WindowText, {}};
    int pixelsPerInch = 96;
    int textHeight = 15;
    bool scaled = true;
    std::string onCreate;
    std::vector<TLabelDesign> labels;

    const TLabelDesign* FindLabel(std::string_view labelName) const;
};

TFormDesign ParseFormResource(std::string_view text);

}  // namespace titles::framework
