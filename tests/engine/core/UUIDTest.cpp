#include "engine/core/UUID.h"

#include <gtest/gtest.h>

using namespace quillfen;

TEST(UUID, ParsesEitherCaseAndWritesUpperCase) {
    const auto lower = UUID::parse("e621e1f8-c36c-495a-93fc-0c247a3e6e5f");
    const auto upper = UUID::parse("E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    ASSERT_TRUE(lower && upper);
    EXPECT_EQ(*lower, *upper);
    EXPECT_EQ(lower->string(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
}

TEST(UUID, RejectsAnythingButTheHyphenatedForm) {
    const char* bad[] = {
        "E621E1F8C36C495A93FC0C247A3E6E5F",        // no hyphens
        "E621E1F8-C36C-495A-93FC-0C247A3E6E5",     // short
        "E621E1F8-C36C-495A-93FC-0C247A3E6E5G",    // not hex
        "{E621E1F8-C36C-495A-93FC-0C247A3E6E5F}",  // braces
        "E621E1F8-C36C-495A-93FC0-C247A3E6E5F",    // hyphen in the wrong place
    };
    for (const char* text : bad) EXPECT_FALSE(UUID::parse(text)) << text;
    EXPECT_FALSE(UUID::parse(""));
}
