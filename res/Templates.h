#pragma once
// The dialog templates: each dialog's caption, font, size and controls in
// tab order, with rectangles in dialog units, as plain data. res/TemplateDialog
// turns a template into a window.

#include <vector>

namespace moxtrel::res {

// The numbers the templates give the OK and Cancel buttons; the builder
// maps them to the toolkit's own OK and Cancel IDs.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// Template numbers.
inline constexpr int TemplateAbout = 100;
inline constexpr int TemplateMain = 102;
inline constexpr int TemplateWadInfo = 133;
inline constexpr int TemplateLocate = 130;
inline constexpr int TemplateSearch = 138;

// x, y, width, height in dialog units.
struct DialogRect {
    int x = 0, y = 0, width = 0, height = 0;
};

enum class ControlKind {
    Text,               // static text
    GroupBox,
    RadioButton,        // switches the other radio buttons of its group off
    PushButton,
    DefaultPushButton,
    IconButton,         // push button that shows its icon instead of its text
    CheckBox,
    Icon,               // static icon, as large as its image
    CenteredIcon,       // static icon centred in its rectangle
    Animation,
    ProgressBar,
    Custom,             // made by the dialog's own code, e.g. a tree control
};

namespace ControlStyle {
inline constexpr unsigned Group = 1u << 0;       // starts a group; a radio group ends before the next one
inline constexpr unsigned Disabled = 1u << 1;
inline constexpr unsigned AlignRight = 1u << 2;  // text kinds
inline constexpr unsigned NoPrefix = 1u << 3;    // '&' is shown as it is, not as a mnemonic
inline constexpr unsigned Border = 1u << 4;
inline constexpr unsigned StaticEdge = 1u << 5;  // sunken edge
}  // namespace ControlStyle

struct ControlTemplate {
    int id = -1;  // -1 for a control the code never addresses
    ControlKind kind = ControlKind::Text;
    const char* text = "";
    unsigned style = 0;
    DialogRect rect;
    int image = 0;  // the icon of the icon kinds
};

struct DialogTemplate {
    int id = 0;
    const char* caption = "";
    int width = 0, height = 0;  // client area in dialog units
    const char* fontFace = "";
    int fontPoints = 8;
    bool ownsTaskbarEntry = false;  // a main window with no owner and its own taskbar entry
    std::vector<ControlTemplate> controls;  // in tab order
};

// The template numbered `id`, or nullptr when there is none.
const DialogTemplate* FindDialogTemplate(int id);

}  // namespace moxtrel::res
