#include "platform/internal/profile_text.h"

#include <gtest/gtest.h>

namespace kivoly::platform {
namespace {

using namespace std::string_literals;

TEST(ProfileTextRead, TrimsBlanksStripsQuotesAndTakesTheFirstMatch) {
    const char* text =
        "Orphan=before any section\n"
        "  [ Sound ]  \r\n"
        "no equals sign here\r\n"
        "  KivoSound  =  \"chime.wav\"  \r\n"
        "KivoSound=second.wav\r\n"
        "Quoted='a'\n"
        "Lonely=\"\n"
        "Empty=\n"
        "[Sound]\n"
        "Later=x\n";
    EXPECT_EQ(FindProfileValue(text, "Sound", "KivoSound"), "chime.wav");
    EXPECT_EQ(FindProfileValue(text, "Sound", "Quoted"), "a");
    EXPECT_EQ(FindProfileValue(text, "Sound", "Lonely"), "\"");
    EXPECT_EQ(FindProfileValue(text, "Sound", "Empty"), "");
    EXPECT_EQ(FindProfileValue(text, "Sound", "Orphan"), std::nullopt);
    // Only the first section of a name is read.
    EXPECT_EQ(FindProfileValue(text, "Sound", "Later"), std::nullopt);
}

TEST(ProfileTextRead, SurvivesBrokenText) {
    const std::string binary = "[S]\nK=a\0b\xff\n[\n=\n\xfe[S2]\nK2=v"s;
    EXPECT_EQ(FindProfileValue(binary, "S", "K"), std::string("a\0b\xff", 4));
    EXPECT_EQ(FindProfileValue(binary, "S2", "K2"), std::nullopt);  // "\xfe[S2]" is no header
    EXPECT_EQ(FindProfileValue("[S\nK=v", "S", "K"), "v");  // unclosed header, no last newline
    EXPECT_EQ(FindProfileValue("", "S", "K"), std::nullopt);
    EXPECT_EQ(FindProfileValue("[S]", "S", "K"), std::nullopt);
}

TEST(ProfileTextWrite, RewritesAKeyInPlaceAddsKeysAtTheSectionsEndAndSectionsAtTheFileEnd) {
    const std::string text = "; note\r\n[Sect]\r\n  width = 1 \r\nOther=2\r\n\r\n[Next]\r\nA=b";
    EXPECT_EQ(SetProfileValue(text, "SECT", "Width", "640"),
              "; note\r\n[Sect]\r\nwidth=640\r\nOther=2\r\n\r\n[Next]\r\nA=b");
    EXPECT_EQ(SetProfileValue(text, "next", "a", "c"),
              "; note\r\n[Sect]\r\n  width = 1 \r\nOther=2\r\n\r\n[Next]\r\nA=c");
    // New keys go after the section's last line, new sections at the end.
    EXPECT_EQ(SetProfileValue("[A]\nx=1\n\n[B]\ny=2\n", "a", "z", "3"),
              "[A]\nx=1\nz=3\n\n[B]\ny=2\n");
    EXPECT_EQ(SetProfileValue("[A]\nx=1", "A", "z", "3"), "[A]\nx=1\nz=3\n");
    EXPECT_EQ(SetProfileValue("[A]", "A", "z", "3"), "[A]\nz=3\n");
    EXPECT_EQ(SetProfileValue("", "A", "z", "3"), "[A]\nz=3\n");
    EXPECT_EQ(SetProfileValue("[A]\r\nx=1", "B", "z", "3"), "[A]\r\nx=1\r\n\r\n[B]\r\nz=3\r\n");
    // A last line cut after its "\r" keeps its value.
    EXPECT_EQ(SetProfileValue("[A]\r\nx=1\r", "B", "z", "3"), "[A]\r\nx=1\r\n\r\n[B]\r\nz=3\r\n");
    EXPECT_EQ(SetProfileValue("[A]\nx=1\r", "A", "z", "3"), "[A]\nx=1\r\nz=3\n");
}

TEST(ProfileTextWrite, RefusesEntriesThatWouldBreakLines) {
    EXPECT_TRUE(IsWritableProfileEntry("Sound", "KivoSound", "C:\\a b.wav"));
    EXPECT_FALSE(IsWritableProfileEntry("Sound", "Key", "a\nInjected=1"));
    EXPECT_FALSE(IsWritableProfileEntry("Sound", "Key", "a\r"));
    EXPECT_FALSE(IsWritableProfileEntry("Sound", "K=ey", "v"));
    EXPECT_FALSE(IsWritableProfileEntry("Sound", "  ", "v"));
    EXPECT_FALSE(IsWritableProfileEntry("So]und", "Key", "v"));
    EXPECT_FALSE(IsWritableProfileEntry("So\nund", "Key", "v"));
}

}  // namespace
}  // namespace kivoly::platform
