#pragma once
// A generation run over the platform fakes, with what it reports kept as the window would show it.
#include "app/appcontext.h"
#include "generation/generationrun.h"
#include "generation/savedialogs.h"
#include "support/fakeplatform.h"
#include "support/tempfolder.h"

#include <QStringList>

#include <memory>
#include <optional>

namespace velanote::testing {

struct RunWindow {
    // `realPlayer`, when given, plays instead of the fake one.
    explicit RunWindow(Endpoints endpoints, std::unique_ptr<MediaPlayer> realPlayer = nullptr)
        : ctx{platform, folder.folder(), std::move(endpoints)},
          speechFileDialog(makeSpeechFileDialog(platform.dialogs, nullptr)),
          joinedFileDialog(makeJoinedFileDialog(platform.dialogs, nullptr)),
          player(realPlayer ? std::move(realPlayer) : platform.createPlayer(nullptr)),
          run(std::make_unique<GenerationRun>(ctx, *player, speechFileDialog, joinedFileDialog)) {
        GenerationRun* r = run.get();
        QObject::connect(r, &GenerationRun::statusChanged, [this](const QString& text) { status = text; });
        QObject::connect(r, &GenerationRun::focusRequested, [this](InputField field) { focus = field; });
        QObject::connect(r, &GenerationRun::generateEnabled, [this](bool on) { generateEnabled = on; });
        QObject::connect(r, &GenerationRun::inputsEnabled,
                         [this] { generateEnabled = inputsEnabled = true; });
        QObject::connect(r, &GenerationRun::savedFileShown,
                         [this](GenerationRun::SavedFile f) { shownFile = f; });
        QObject::connect(r, &GenerationRun::parkRequested, [this](const QString& balloon) {
            parked = balloonUp = true;
            balloons << balloon;
        });
        QObject::connect(r, &GenerationRun::balloonWithdrawn, [this] { balloonUp = false; });
        QObject::connect(r, &GenerationRun::parkEnded, [this] { parked = balloonUp = false; });
    }

    void fill(const QString& s, const QString& r, const QString& k, const QString& m) {
        inputs = {s, r, k, m};
    }
    void generate() { run->generate(inputs, withPrefix); }
    fakes::FakeMediaPlayer& fakePlayer() { return *platform.players.last(); }

    fakes::FakePlatform platform;
    fakes::TempProgramFolder folder;
    AppContext ctx;
    CommonDialog speechFileDialog;
    CommonDialog joinedFileDialog;
    std::unique_ptr<MediaPlayer> player;
    std::unique_ptr<GenerationRun> run;

    MessageInputs inputs;
    bool withPrefix = false; // the prefix switch's state when 生成音信 is pressed

    // What the run reported, as the window would show it.
    QString status;
    std::optional<InputField> focus;
    bool generateEnabled = true;
    bool inputsEnabled = false;                        // set once the run enabled the inputs
    std::optional<GenerationRun::SavedFile> shownFile; // the "find" button on show
    bool parked = false;                               // the window waits behind the tray icon
    QStringList balloons;                              // every balloon shown while parked
    bool balloonUp = false;                            // the last balloon is still on show
};

} // namespace velanote::testing
