#include "res/Templates.h"

#include "extract/WadSummaryText.h"

namespace moxtrel::res {

namespace {

using K = ControlKind;
namespace S = ControlStyle;

const DialogTemplate aboutBox{
    TemplateAbout, "About Moxtrel", 235, 55, "MS Sans Serif", 8, false,
    {
        {-1, K::Icon, "", 0, {11, 17, 20, 20}, 128},
        {-1, K::Text, "Moxtrel Version 1.10", S::Group | S::NoPrefix, {40, 10, 119, 8}},
        {-1, K::Text, "Free software for level designers", S::Group, {40, 30, 119, 8}},
        {IDOK, K::DefaultPushButton, "OK", S::Group, {178, 7, 50, 14}},
        {-1, K::Text, "Written by the Moxtrel developers", S::Group, {40, 20, 120, 8}},
    }};

const DialogTemplate mainDialog{
    TemplateMain, "Extract Pak Textures", 223, 110, "Times New Roman", 10, true,
    {
        {1033, K::RadioButton, "Quake (tm)", S::Group, {15, 10, 70, 8}},
        {1034, K::RadioButton, "Hexen II (tm)", S::Disabled, {15, 20, 70, 8}},
        {1002, K::IconButton, "&Manual Locate", S::StaticEdge, {185, 5, 30, 25}},
        {1026, K::IconButton, "Search...", S::StaticEdge, {185, 30, 30, 25}},
        {1007, K::IconButton, "&Begin", S::StaticEdge, {185, 55, 30, 25}},
        {1004, K::PushButton, "E&xit", 0, {180, 90, 40, 15}},
        {1005, K::Animation, "", 0, {5, 35, 155, 30}},
        {1006, K::Text, "Static", S::Group, {5, 70, 155, 18}},
        {1000, K::ProgressBar, "", S::Border, {5, 90, 155, 8}},
        {-1, K::Text, "For Gantry level designers", S::Group, {10, 100, 115, 10}},
        {-1, K::GroupBox, "Select Game(s)", 0, {5, 0, 155, 35}},
        {1035, K::CenteredIcon, "", 0, {165, 10, 18, 17}, 139},
        {1036, K::CenteredIcon, "", 0, {165, 35, 18, 17}, 139},
        {1037, K::CenteredIcon, "", 0, {165, 60, 18, 17}, 139},
    }};

const DialogTemplate wadInfo{
    TemplateWadInfo, "WAD File Info", 177, 78, "MS Sans Serif", 8, false,
    {
        {IDOK, K::DefaultPushButton, "OK", 0, {85, 60, 50, 14}},
        {-1, K::Text, WadSummaryLabels::FileName, S::AlignRight | S::Group, {60, 5, 40, 8}},
        {-1, K::Text, WadSummaryLabels::FileSize, S::AlignRight | S::Group, {60, 15, 40, 8}},
        {-1, K::Text, WadSummaryLabels::Total, S::AlignRight | S::Group, {25, 26, 75, 8}},
        {-1, K::Text, WadSummaryLabels::Simple, S::AlignRight | S::Group, {10, 37, 90, 8}},
        {-1, K::Text, WadSummaryLabels::Animated, S::AlignRight | S::Group, {5, 47, 95, 8}},
        {1021, K::Text, "Static", S::Group, {105, 5, 65, 8}},
        {1016, K::Text, "Static", S::Group, {105, 15, 65, 8}},
        {1017, K::Text, "Static", S::Group, {105, 26, 65, 8}},
        {1018, K::Text, "Static", S::Group, {105, 37, 65, 8}},
        {1019, K::Text, "Static", S::Group, {105, 47, 65, 8}},
    }};

// The path edit (1012) and the tree (1022) are made by the Locate dialog.
const DialogTemplate locate{
    TemplateLocate, "Locate", 179, 159, "Times New Roman", 10, false,
    {
        {1032, K::DefaultPushButton, "OK", 0, {125, 135, 50, 14}},
        {-1, K::Text, "Please choose a directory.", S::Group, {5, 5, 170, 8}},
        {1012, K::Custom, "", S::Border, {5, 25, 170, 12}},
        {1022, K::Custom, "Tree1", S::Border, {5, 40, 115, 115}},
        {1006, K::Text, "Static", S::Group, {5, 15, 170, 8}},
    }};

const DialogTemplate search{
    TemplateSearch, "Search", 212, 95, "MS Sans Serif", 8, false,
    {
        {1032, K::DefaultPushButton, "&Cancel", 0, {150, 80, 55, 15}},
        {1027, K::Animation, "", S::Border, {160, 20, 35, 30}},
        {1026, K::PushButton, "&Begin Search", 0, {150, 55, 55, 15}},
        {1021, K::Text, "Static", S::Group | S::StaticEdge, {5, 5, 205, 10}},
        {1029, K::CheckBox, "&Removable Drives", 0, {10, 55, 90, 8}},
        {-1, K::GroupBox, "Search Options", 0, {0, 20, 140, 75}},
        {1030, K::CheckBox, "&Hard Drives", 0, {10, 35, 90, 8}},
        {1031, K::CheckBox, "&Network Drives", 0, {10, 45, 90, 8}},
    }};

}  // namespace

const DialogTemplate* FindDialogTemplate(int id) {
    for (const DialogTemplate* t : {&aboutBox, &mainDialog, &wadInfo, &locate, &search}) {
        if (t->id == id) return t;
    }
    return nullptr;
}

}  // namespace moxtrel::res
