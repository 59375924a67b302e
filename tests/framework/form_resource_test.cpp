#include <gtest/gtest.h>

#include "app/UMain.h"
#include "framework/form_resource.h"

namespace titles::framework {
namespace {

TEST(FormResource, MainWindowCarriesItsDesignValues) {
    const TFormDesign form = ParseFormResource(app::FormMainResource());
    EXPECT_EQ(form.name, "FormMain");
    EXPECT_EQ(form.className, "TFormMain");
    EXPECT_EQ(form.position, (TPoint{300, 130}));
    EXPECT_EQ(form.clientSize, (TSize{361, 26}));
    EXPECT_EQ(form.font, (TFontSpec{"MS Sans Serif", 11, TCharset::Default}));
    EXPECT_EQ(form.pixelsPerInch, 96);
    EXPECT_EQ(form.textHeight, 15);
    EXPECT_EQ(form.onCreate, "FormCreate");
    const TLabelDesign& label = form.label;
    EXPECT_EQ(label.name, "Label1");
    EXPECT_EQ(label.bounds, (TRect{0, 0, 41, 16}));
    EXPECT_EQ(label.caption, "Label1");
    EXPECT_EQ(label.font, (TFontSpec{"Arial", 13, TCharset::Ansi}));
    EXPECT_EQ(label.onClick, "Label1Click");
}

TEST(FormResource, ValuesAndDefaults) {
    const TFormDesign form = ParseFormResource(
        "object F: TF\n"
        "  Font.Height = 20\n"
        "  Left = -5\n"
        "  object L: TLabel\n"
        "    Caption = 'it''s'\n"
        "  end\n"
        "end\n");
    EXPECT_EQ(form.position.x, -5);
    EXPECT_EQ(form.font, (TFontSpec{"MS Sans Serif", 20, TCharset::Default}));
    EXPECT_EQ(form.label.caption, "it's");
    EXPECT_EQ(form.label.font, form.font) << "a label's font starts as its window's";
}

TEST(FormResource, MalformedResourcesAreRefused) {
    const char* const cases[] = {
        "",
        "object F: TF\n",
        "object F: TF\nend\n",
        "object F: TF\nend\nend\n",
        "object F TF\nend\n",
        "object F: TF\n  Left = 3x\nend\n",
        "object F: TF\n  Left = 'three'\nend\n",
        "object F: TF\n  Colour = ButtonFace\nend\n",
        "object F: TF\n  Color = Purple\nend\n",
        "object F: TF\n  object L: TLabel\n    Caption = 'open\n  end\nend\n",
        "object F: TF\n  object L: TLabel\n    Caption = 'a' b\n  end\nend\n",
        "object F: TF\n  object L: TLabel\n    Caption = '''\n  end\nend\n",
        "object F: TF\n  Font.Style = [Bold\nend\n",
        "object F: TF\n  Font.Height = 0\nend\n",
        "object F: TF\n  BorderIcons = [Close]\nend\n",
        "object F: TF\n  object B: TButton\n  end\nend\n",
        "object F: TF\n  object L: TLabel\n  end\n  object M: TLabel\n  end\nend\n",
        "object F: TF\n  object L: TLabel\n    Visible = True\n  end\nend\n",
        "Left = 1\n",
        "object F: TF\n  Left\nend\n",
        "object F: TF\n  Left = 99999999999\nend\n",
        // What the program's window is not: other frames, icons, colours,
        // font styles and character sets, a caption, no scaling, a label
        // that shares its window's font or does not size itself.
        "object F: TF\n  BorderStyle = Sizeable\nend\n",
        "object F: TF\n  BorderIcons = [SystemMenu, Minimize, Maximize]\nend\n",
        "object F: TF\n  Font.Style = [Bold]\nend\n",
        "object F: TF\n  Font.Color = ButtonFace\nend\n",
        "object F: TF\n  Font.Charset = ShiftJis\nend\n",
        "object F: TF\n  Caption = 'Titles'\nend\n",
        "object F: TF\n  Scaled = False\nend\n",
        "object F: TF\n  object L: TLabel\n    ParentFont = True\n  end\nend\n",
        "object F: TF\n  object L: TLabel\n    AutoSize = False\n  end\nend\n",
    };
    for (const char* text : cases) {
        EXPECT_THROW(ParseFormResource(text), TResourceError) << text;
    }
}

TEST(FormResource, AnUnsupportedValueIsNamedWithItsLine) {
    try {
        ParseFormResource("object F: TF\n  Left = 1\n  BorderStyle = None\nend\n");
        ADD_FAILURE() << "accepted";
    } catch (const TResourceError& e) {
        EXPECT_STREQ(e.what(), "form resource, line 3: BorderStyle = None is not supported, only Single");
    }
}

}  // namespace
}  // namespace titles::framework
