#include <algorithm>
#include <gtest/gtest.h>

#include "app/dialogs/CodecChoices.h"
#include "app/dialogs/LogWindowView.h"
#include "app/dialogs/VideoSettingsDialog.h"

namespace vesta {
namespace {

bool offers(const std::vector<CodecChoice>& choices, const std::string& name) {
    return std::any_of(choices.begin(), choices.end(),
                       [&](const CodecChoice& choice) { return choice.name == name; });
}

TEST(DialogPartsTest, LogLinesChangeColourAtTheirColourWordsOnly) {
    const std::vector<ColouredText> pieces =
        ColouredSegments("\\cf1 Error\\cf0  in \\cf2blue\\cf12 \\par");
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0].colour, 1);
    EXPECT_EQ(pieces[0].text, "Error");
    EXPECT_EQ(pieces[1].colour, 0);
    EXPECT_EQ(pieces[1].text, " in ");
    // "\cf12" names no colour of the table: kept as text, like the rest.
    EXPECT_EQ(pieces[2].colour, 2);
    EXPECT_EQ(pieces[2].text, "blue\\cf12 \\par");
    EXPECT_EQ(ColouredSegments("plain").front().colour, 0);
}

TEST(DialogPartsTest, FrameRateFieldTakesPositiveNumbersUpToAThousand) {
    EXPECT_FLOAT_EQ(*ReadFrameRateField("29.97"), 29.97f);
    EXPECT_FLOAT_EQ(*ReadFrameRateField("25fps"), 25.0f);
    EXPECT_FALSE(ReadFrameRateField("0"));
    EXPECT_FALSE(ReadFrameRateField("-25"));
    EXPECT_FALSE(ReadFrameRateField("nan"));
    EXPECT_FALSE(ReadFrameRateField(""));
    EXPECT_FALSE(ReadFrameRateField("1e9"));
}

TEST(DialogPartsTest, CodecsFollowTheContainerOfTheFileName) {
    const std::vector<CodecChoice> avi = VideoCodecChoices("Video.avi");
    ASSERT_FALSE(avi.empty());
    EXPECT_EQ(avi.front().name, "");
    EXPECT_EQ(avi.front().label, "Default for avi");
    EXPECT_TRUE(offers(avi, "ffv1"));
    EXPECT_TRUE(offers(avi, "mjpeg"));
    // A name without a known extension records AVI.
    EXPECT_EQ(VideoCodecChoices("take").front().label, "Default for avi");
    const std::vector<CodecChoice> webm = VideoCodecChoices("Video.webm");
    EXPECT_FALSE(offers(webm, "ffv1"));
    EXPECT_FALSE(offers(webm, "mjpeg"));
}

}  // namespace
}  // namespace vesta
