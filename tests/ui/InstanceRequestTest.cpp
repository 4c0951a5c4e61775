#include <gtest/gtest.h>

#include "ui/SingleInstance.h"
#include "ui/SkinImages.h"

namespace quillora::ui {
namespace {

TEST(InstanceRequest, ParsesShowAndMessages) {
    auto show = ParseInstanceRequest("show");
    ASSERT_TRUE(show.has_value());
    EXPECT_EQ(show->kind, InstanceRequest::Kind::Show);

    auto message = ParseInstanceRequest("message 1691 610");
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->kind, InstanceRequest::Kind::Message);
    EXPECT_EQ(message->message, 1691);
    EXPECT_EQ(message->param, 610);

    auto negative = ParseInstanceRequest("message 2022 -1");
    ASSERT_TRUE(negative.has_value());
    EXPECT_EQ(negative->param, -1);
}

TEST(InstanceRequest, RefusesMalformedLines) {
    for (const char* line : {"", "Show", "show ", "message", "message 1691", "message 1691 ",
                             "message  1691 610", "message 1691 610 1", "message x 610",
                             "message 1691 6l0", "message 99999999999 0", "quit"}) {
        EXPECT_FALSE(ParseInstanceRequest(line).has_value()) << '"' << line << '"';
    }
}

TEST(SkinImages, HighResolutionNames) {
    EXPECT_EQ(HighResolutionName("img_return.png").toStdString(), "img_return@2x.png");
    EXPECT_EQ(HighResolutionName("icon/tab_home.png").toStdString(), "icon/tab_home@2x.png");
    EXPECT_EQ(HighResolutionName("DeviceDriver.ico").toStdString(), "DeviceDriver@2x.ico");
    EXPECT_EQ(HighResolutionName("skin.v2/logo").toStdString(), "skin.v2/logo@2x");
    EXPECT_EQ(HighResolutionName(".hidden").toStdString(), ".hidden@2x");
}

}  // namespace
}  // namespace quillora::ui
