// The About box and the WAD File Info box.

#include <wx/button.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "GuiTest.h"
#include "ui/AboutDlg.h"

namespace moxtrel::test {
namespace {

using I = CWadInfoDlg;

// The texts of the controls the code never addresses, in tab order.
std::vector<std::string> FixedTexts(const wxWindow& dialog) {
    std::vector<std::string> texts;
    for (wxWindow* child : dialog.GetChildren()) {
        if (child->GetId() < 0 && wxDynamicCast(child, wxStaticText)) texts.push_back(child->GetLabel().utf8_string());
    }
    return texts;
}

TEST(AboutBox, ShowsTheIconTheVersionAndTwoCreditLines) {
    ui::CAboutDlg about;
    EXPECT_EQ(about.GetTitle(), "About Moxtrel");
    EXPECT_EQ(about.GetClientSize(), about.ConvertDialogToPixels(wxSize(235, 55)));
    EXPECT_EQ(about.GetFont().GetPointSize(), 8);
    ASSERT_EQ(FixedTexts(about).size(), 3u);
    EXPECT_EQ(FixedTexts(about)[0], "Moxtrel Version 1.10");

    auto* ok = wxDynamicCast(about.FindWindow(wxID_OK), wxButton);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->GetLabel(), "OK");
    EXPECT_EQ(about.GetDefaultItem(), ok);

    wxStaticBitmap* icon = nullptr;
    for (wxWindow* child : about.GetChildren()) {
        if (auto* bitmap = wxDynamicCast(child, wxStaticBitmap)) icon = bitmap;
    }
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->GetBitmap().GetSize(), wxSize(32, 32));
    EXPECT_EQ(icon->GetPosition(), about.ConvertDialogToPixels(wxPoint(11, 17)));
}

TEST(WadInfoBox, ShowsEachValueBesideItsLabel) {
    CWadInfoDlg info;
    EXPECT_EQ(info.GetTitle(), "WAD File Info");
    EXPECT_EQ(FixedTexts(info), (std::vector<std::string>{"File Name :", "File Size :", "Total Entries in Wad :",
                                                            "Number of simple textrues :",
                                                            "Number of animated textures :"}));
    info.SetInfo("Quake.wad", 5000, 7, 5, 2);
    info.InitDialog();
    EXPECT_EQ(LabelOf(info, I::IdFileName), "Quake.wad");
    EXPECT_EQ(LabelOf(info, I::IdFileSize), "4 KB");
    EXPECT_EQ(LabelOf(info, I::IdTotal), "7");
    EXPECT_EQ(LabelOf(info, I::IdSimple), "5");
    EXPECT_EQ(LabelOf(info, I::IdAnimated), "2");

    // Top to bottom: name, size, total, simple, animated, each value on its
    // label's line.
    std::vector<wxWindow*> labels;
    for (wxWindow* child : info.GetChildren()) {
        if (child->GetId() < 0 && wxDynamicCast(child, wxStaticText)) labels.push_back(child);
    }
    const int values[] = {I::IdFileName, I::IdFileSize, I::IdTotal, I::IdSimple, I::IdAnimated};
    for (std::size_t i = 0; i < labels.size(); ++i) {
        wxWindow* value = info.FindWindow(values[i]);
        EXPECT_EQ(value->GetPosition().y, labels[i]->GetPosition().y) << i;
        EXPECT_LT(labels[i]->GetRect().GetRight(), value->GetPosition().x) << i;
    }
}

TEST(WadInfoBox, ShowsTheSizeInWholeKilobytesRoundedDown) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "0 KB"}, {12, "0 KB"}, {1023, "0 KB"}, {1024, "1 KB"}, {1048575, "1023 KB"}};
    for (const auto& [length, shown] : cases) {
        CWadInfoDlg info;
        info.SetInfo("Quake.wad", length, 0, 0, 0);
        info.InitDialog();
        EXPECT_EQ(LabelOf(info, I::IdFileSize), shown) << length;
    }
}

TEST(WadInfoBox, ShowsNothingUntilFilled) {
    CWadInfoDlg info;
    info.InitDialog();
    for (int id : {I::IdFileName, I::IdFileSize, I::IdTotal, I::IdSimple, I::IdAnimated}) {
        EXPECT_EQ(LabelOf(info, id), "") << id;
    }
}

}  // namespace
}  // namespace moxtrel::test
