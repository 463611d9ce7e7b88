// The headless presenter keeps the last frame when asked (padding dropped), counts frames shown, and
// reports scripted device losses; raw input reaches the one installed sink.
#include "platform/core/Presentation.h"
#include "platform/core/RawInput.h"

#include <vireo/platform/Testing.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

using vireo::platform::FrameView;
using vireo::platform::PresentFrame;
using vireo::platform::PresentResult;

TEST(Present, HeadlessKeepsACopyOfTheLastFrame)
{
    vireo::testing::ResetPresentCount();
    // 3x2 pixels in rows of 4 (16-byte pitch); the padding must not show up in the copy.
    std::vector<std::uint32_t> pixels = {0xFF000001, 0xFF000002, 0xFF000003, 0xDEADBEEF,
                                         0xFF000004, 0xFF000005, 0xFF000006, 0xDEADBEEF};
    EXPECT_EQ(PresentFrame(nullptr, FrameView{pixels.data(), 3, 2, 16}), PresentResult::Shown);
    pixels[0] = 0; // the copy is a copy
    vireo::testing::Frame frame = vireo::testing::LastPresentedFrame();
    EXPECT_EQ(frame.width, 3);
    EXPECT_EQ(frame.height, 2);
    EXPECT_EQ(frame.pixels,
              (std::vector<std::uint32_t>{0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004, 0xFF000005, 0xFF000006}));
    EXPECT_EQ(vireo::testing::PresentCount(), 1);

    // A nonsensical frame is not kept; the previous one stays.
    EXPECT_EQ(PresentFrame(nullptr, FrameView{pixels.data(), 3, 2, 4}), PresentResult::Shown);
    EXPECT_EQ(PresentFrame(nullptr, FrameView{nullptr, 3, 2, 12}), PresentResult::Shown);
    EXPECT_EQ(vireo::testing::LastPresentedFrame().width, 3);

    // Without keeping (every program but the tests) a frame is shown and counted, not copied.
    const int shown = vireo::testing::PresentCount();
    vireo::testing::KeepPresentedFrames(false);
    const std::uint32_t other = 0xFF00FF00;
    EXPECT_EQ(PresentFrame(nullptr, FrameView{&other, 1, 1, 4}), PresentResult::Shown);
    vireo::testing::KeepPresentedFrames(true);
    EXPECT_EQ(vireo::testing::PresentCount(), shown + 1);
    EXPECT_EQ(vireo::testing::LastPresentedFrame().width, 3);
}

TEST(Present, ScriptedLossesComeFirstThenFramesShowAgain)
{
    vireo::testing::ResetPresentCount();
    const std::uint32_t pixel = 0xFF00FF00;
    vireo::testing::FailNextPresents(2);
    for (PresentResult expected : {PresentResult::DeviceLost, PresentResult::DeviceLost, PresentResult::Shown})
        EXPECT_EQ(PresentFrame(nullptr, FrameView{&pixel, 1, 1, 4}), expected);
    EXPECT_EQ(vireo::testing::PresentCount(), 1);
    EXPECT_EQ(vireo::testing::LastPresentedFrame().pixels, std::vector<std::uint32_t>{pixel});
}

TEST(RawInput, EventsReachTheInstalledSinkOnly)
{
    using vireo::platform::RawInputEvent;
    std::vector<RawInputEvent> seen;
    vireo::platform::SetRawInputSink(
        [](const RawInputEvent& event, void* user) {
            static_cast<std::vector<RawInputEvent>*>(user)->push_back(event);
        },
        &seen);
    vireo::platform::DeliverRawInput({RawInputEvent::Kind::Key, 0x1E, 1, 5});
    vireo::platform::DeliverRawInput({RawInputEvent::Kind::MouseWheel, 0, -120, 6});
    vireo::platform::SetRawInputSink(nullptr, nullptr);
    vireo::platform::DeliverRawInput({RawInputEvent::Kind::Key, 0x1E, 0, 7});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].kind, RawInputEvent::Kind::MouseWheel);
    EXPECT_EQ(seen[1].value, -120);
}

} // namespace
