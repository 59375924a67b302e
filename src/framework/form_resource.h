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
// Values are integers, 'quoted text' ('' stands for one quote) or names. A
// form is a single-bordered window with a system menu and a minimise box,
// in the button-face colour, holding exactly one label with a font of its
// own; the properties that say so are accepted with those values only. A
// malformed resource, or a property or value the program does not know,
// raises TResourceError naming the line.
#pragma once

#include <string>
#include <string_view>

#include "framework/geometry.h"
#include "base/failure.h"

namespace titles::framework {

class TResourceError : public TFailure {
public:
    using TFailure::TFailure;
    const char* KindName() const noexcept override { return "TResourceError"; }
};

struct TLabelDesign {
    std::string name;
    TRect bounds{0, 0, 0, 0};
    std::string caption;
    TFontSpec font;  // starts as its window's font
    std::string onClick;
};

struct TFormDesign {
    std::string name;
    std::string className;
    TPoint position{0, 0};
    TSize clientSize{0, 0};
    TFontSpec font{"MS Sans Serif", 11, TCharset::Default};
    int pixelsPerInch = 96;
    int textHeight = 15;
    std::string onCreate;
    TLabelDesign label;
};

TFormDesign ParseFormResource(std::string_view text);

}  // namespace titles::framework
