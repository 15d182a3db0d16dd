#include <gtest/gtest.h>

#include "pictures/PictureNames.h"

namespace moxtrel::pictures {
namespace {

TEST(PictureNames, EachTextureNameBecomesAFileNameThatReadsBackToTheSameBytes) {
    struct Case {
        std::string texture;
        std::string file;
    };
    for (const Case& c : {
             Case{"*water1", "#water1.png"},
             Case{"+0lava", "+0lava.png"},
             Case{"{grate", "{grate.png"},
             Case{"a#b%c", "a%23b%25c.png"},
             Case{"q<>:\"/\\|?", "q%3C%3E%3A%22%2F%5C%7C%3F.png"},
             Case{"tab\tdel\x7F", "tab%09del%7F.png"},
             Case{"caf\xC3\xA9", "caf\xC3\xA9.png"},
             // An overlong form, a lone high byte, a surrogate: not UTF-8.
             Case{"g\xC1\x80\xE9x", "g%C1%80%E9x.png"},
             Case{"\xED\xA0\x80", "%ED%A0%80.png"},
             // Names Windows keeps for devices, in any letter case.
             Case{"con", "%63on.png"},
             Case{"LPT1", "%4CPT1.png"},
             Case{"console", "console.png"},
         }) {
        SCOPED_TRACE(c.texture);
        EXPECT_EQ(PictureFileName(c.texture), c.file);
        std::string fault;
        EXPECT_EQ(TextureNameOfPicture(c.file, fault), c.texture) << fault;
    }
}

TEST(PictureNames, AFileNameIsReadWhateverTheCaseOfItsEndingAndHexDigits) {
    std::string fault;
    EXPECT_EQ(TextureNameOfPicture("WALL.PNG", fault), "WALL");
    EXPECT_EQ(TextureNameOfPicture("%2awater%7c.png", fault), "*water|");
}

TEST(PictureNames, AFileNameThatCannotBeATexturesIsRefusedWithTheReason) {
    struct Case {
        std::string file;
        std::string fault;
    };
    for (const Case& c : {
             Case{"wall.jpg", "a picture's name ends in .png"},
             Case{"bad%4.png", "'%' at character 4 is not followed by two hex digits"},
             Case{"bad%zz.png", "'%' at character 4 is not followed by two hex digits"},
             Case{".png", "a texture needs a name"},
             Case{"a%00b.png", "a texture name cannot hold a NUL byte (%00)"},
             Case{"sixteen_chars_xx.png", "the texture name is 16 bytes long; a name holds at most 15"},
         }) {
        SCOPED_TRACE(c.file);
        std::string fault;
        EXPECT_EQ(TextureNameOfPicture(c.file, fault), std::nullopt);
        EXPECT_EQ(fault, c.fault);
    }
}

}  // namespace
}  // namespace moxtrel::pictures
