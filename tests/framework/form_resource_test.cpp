#include <gtest/gtest.h>

#include "app/UMain.h"
#include "framework/form_resource.h"

namespace titles::framework {
namespace {

TEST(FormResource, MainWindowCarriesItsDesignValues) {
    const TFormDesign form = ParseFormResource(app::FormMainResource());
    EXPECT_EQ(form.name, "FormMain");
    EXPECT_EQ(form.className, "TFormMain");
    EXPECT_EQ(form.caption, "");
    EXPECT_EQ(form.position, (TPoint{300, 130}));
    EXPECT_EQ(form.clientSize, (TSize{361, 26}));
    EXPECT_EQ(form.borderStyle, TBorderStyle::Single);
    EXPECT_TRUE(form.systemMenu);
    EXPECT_TRUE(form.minimizeBox);
    EXPECT_FALSE(form.maximizeBox);
    EXPECT_EQ(form.color, TSystemColor::ButtonFace);
    EXPECT_EQ(form.font, (TFontSpec{"MS Sans Serif", 11, TCharset::Default, TSystemColor::WindowText, {}}));
    EXPECT_EQ(form.pixelsPerInch, 96);
    EXPECT_EQ(form.textHeight, 15);
    EXPECT_TRUE(form.scaled);
    EXPECT_EQ(form.onCreate, "FormCreate");
    ASSERT_EQ(form.labels.size(), 1u);
    const TLabelDesign& label = form.labels[0];
    EXPECT_EQ(label.name, "Label1");
    EXPECT_EQ(label.bounds, (TRect{0, 0, 41, 16}));
    EXPECT_EQ(label.caption, "Label1");
    EXPECT_EQ(label.font, (TFontSpec{"Arial", 13, TCharset::Ansi, TSystemColor::WindowText, {}}));
    EXPECT_FALSE(label.parentFont);
    EXPECT_TRUE(label.autoSize);
    EXPECT_EQ(label.onClick, "Label1Click");
}

TEST(FormResource, ValuesAndDefaults) {
    const TFormDesign form = ParseFormResource(
        "object F: TF\n"
        "  Caption = 'it''s'\n"
        "  Font.Style = [Bold, Italic]\n"
        "  BorderIcons = []\n"
        "  Left = -5\n"
        "  object L: TLabel\n"
        "    Caption = ''\n"
        "  end\n"
        "end\n");
    EXPECT_EQ(form.caption, "it's");
    EXPECT_TRUE(form.font.style.bold);
    EXPECT_TRUE(form.font.style.italic);
    EXPECT_FALSE(form.systemMenu);
    EXPECT_EQ(form.position.x, -5);
    ASSERT_EQ(form.labels.size(), 1u);
    EXPECT_EQ(form.labels[0].caption, "");
    EXPECT_TRUE(form.labels[0].parentFont);
    EXPECT_EQ(form.labels[0].font, form.font) << "a label without a font of its own uses its window's";
}

TEST(FormResource, MalformedResourcesAreRefused) {
    const char* const cases[] = {
        "",
        "object F: TF\n",
        "object F: TF\nend\nend\n",
        "object F TF\nend\n",
        "object F: TF\n  Left = 3x\nend\n",
        "object F: TF\n  Left = 'three'\nend\n",
        "object F: TF\n  Colour = ButtonFace\nend\n",
        "object F: TF\n  Color = Purple\nend\n",
        "object F: TF\n  Caption = 'open\nend\n",
        "object F: TF\n  Caption = 'a' b\nend\n",
        "object F: TF\n  Font.Style = [Bold\nend\n",
        "object F: TF\n  Font.Height = 0\nend\n",
        "object F: TF\n  BorderIcons = [Close]\nend\n",
        "object F: TF\n  object B: TButton\n  end\nend\n",
        "object F: TF\n  object L: TLabel\n  end\n  object L: TLabel\n  end\nend\n",
        "object F: TF\n  object L: TLabel\n    Visible = True\n  end\nend\n",
        "Left = 1\n",
        "object F: TF\n  Left\nend\n",
        "object F: TF\n  Left = 99999999999\nend\n",
    };
    for (const char* text : cases) {
        EXPECT_THROW(ParseFormResource(text), TResourceError) << text;
    }
}

}  // namespace
}  // namespace titles::framework
