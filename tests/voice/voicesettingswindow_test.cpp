#include "voice/voicesettingswindow.h"

#include "app/endpoints.h"
#include "app/inifile.h"
#include "generation/serviceclient.h"
#include "generation/voicesettingsstore.h"
#include "support/child.h"
#include "support/fakeplatform.h"
#include "support/tempfolder.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <gtest/gtest.h>

using namespace velanote;
using velanote::testing::child;

namespace {

class VoiceSettingsWindowTest : public ::testing::Test {
protected:
    VoiceSettingsWindow* open() {
        auto* window = new VoiceSettingsWindow(ctx);
        guards.append(window);
        return window;
    }
    void TearDown() override {
        for (const QPointer<VoiceSettingsWindow>& guard : guards) {
            delete guard.data();
        }
    }

    fakes::FakePlatform platform;
    fakes::TempProgramFolder tmp;
    AppContext ctx{platform, tmp.folder(), Endpoints::forLocalService(0)};
    QList<QPointer<VoiceSettingsWindow>> guards;
};

} // namespace

TEST_F(VoiceSettingsWindowTest, SettingsRoundTripThroughTheIniAndLeaveOtherKeysAlone) {
    const QString ini = tmp.path(QStringLiteral("\\velanote.ini"));
    ASSERT_TRUE(
        writeSetting(QStringLiteral("Information"), QStringLiteral("qzyp"), QStringLiteral("1"), ini));
    VoiceSettingsWindow* first = open();
    EXPECT_EQ(first->settings(), VoiceSettings{});
    child<QSlider>(first, "rateSlider")->setValue(160);
    child<QSlider>(first, "pitchSlider")->setValue(70);
    child<QSlider>(first, "volumeSlider")->setValue(180);
    child<QRadioButton>(first, "femaleOption")->setChecked(true);
    EXPECT_EQ(child<QLabel>(first, "rateValue")->text(), QStringLiteral("160%"));
    child<QPushButton>(first, "confirmButton")->click();

    const VoiceSettings chosen{
        .rate = 160, .pitch = 70, .volume = 180, .voice = VoiceSettings::Voice::female};
    EXPECT_EQ(VoiceSettingsStore(tmp.folder()).load(), chosen);
    EXPECT_EQ(readSetting(QStringLiteral("VoiceSettings"), QStringLiteral("voice"), QString(), ini),
              QStringLiteral("female"));
    EXPECT_EQ(readSetting(QStringLiteral("Information"), QStringLiteral("qzyp"), QString(), ini),
              QStringLiteral("1"));

    VoiceSettingsWindow* second = open();
    EXPECT_EQ(second->settings(), chosen);
    EXPECT_EQ(child<QLabel>(second, "pitchValue")->text(), QStringLiteral("70%"));
    child<QPushButton>(second, "defaultsButton")->click();
    EXPECT_EQ(second->settings(), VoiceSettings{});
    EXPECT_EQ(VoiceSettingsStore(tmp.folder()).load(), chosen) << "kept only by 确定";

    // A value edited out of range by hand reads as normal.
    ASSERT_TRUE(
        writeSetting(QStringLiteral("VoiceSettings"), QStringLiteral("rate"), QStringLiteral("999"), ini));
    EXPECT_EQ(VoiceSettingsStore(tmp.folder()).load().rate, 100);
}

TEST_F(VoiceSettingsWindowTest, PreviewSpeaksTheSampleWithTheSettingsShown) {
    VoiceSettingsWindow* window = open();
    child<QSlider>(window, "rateSlider")->setValue(80);
    child<QRadioButton>(window, "maleOption")->setChecked(true);
    const QString base = ctx.endpoints.speechBase;
    const QString request =
        SpeechRequest::address(base, UTF8EncodeURI(VoiceSettingsWindow::sampleText()), {.rate = 80})
            .trimmed();
    platform.httpFake.replies.insert(request, HttpResult{true, 200, "outurl=./tts/abc.mp3&bytes=1&ms=1"});
    child<QPushButton>(window, "previewButton")->click();
    ASSERT_EQ(platform.httpFake.requests, QStringList{request});
    ASSERT_EQ(platform.players.size(), 1);
    EXPECT_EQ(platform.players.constLast()->URL(), base + QStringLiteral("/tts/abc.mp3"));
}
