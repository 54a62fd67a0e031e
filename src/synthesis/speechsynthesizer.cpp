#include "synthesis/speechsynthesizer.h"

#include "reading/textnormalizer.h"
#include "synthesis/espeakengine.h"
#include "synthesis/halfbanddecimator.h"
#include "synthesis/mp3encoder.h"

#include <QByteArray>
#include <QCryptographicHash>

#include <stdexcept>
#include <vector>

namespace velanote {

std::string SpeechSynthesizer::clipId(const std::string& utf8Text, const std::string& readingDigest,
                                      const VoiceSettings& voice) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(QByteArrayView(EspeakEngine::voiceName));
    hash.addData(QByteArrayView("\n"));
    hash.addData(QByteArrayView(TextNormalizer::version.data(),
                                static_cast<qsizetype>(TextNormalizer::version.size())));
    hash.addData(QByteArrayView("\n"));
    hash.addData(QByteArrayView(readingDigest.data(), static_cast<qsizetype>(readingDigest.size())));
    hash.addData(QByteArrayView("\n"));
    hash.addData(QByteArrayView(utf8Text.data(), static_cast<qsizetype>(utf8Text.size())));
    if (!voice.isNormal()) {
        const std::string settings = voice.query();
        hash.addData(QByteArrayView("\n"));
        hash.addData(QByteArrayView(settings.data(), static_cast<qsizetype>(settings.size())));
    }
    return hash.result().toHex().toStdString();
}

SpeechClip SpeechSynthesizer::render(const std::u32string& text, std::shared_ptr<const MandarinReader> reader,
                                     const VoiceSettings& voice) {
    // Halving and encoding run here while the engine's thread is still synthesising.
    const std::shared_ptr<SpeechStream> stream =
        EspeakEngine::instance().speak(text, std::move(reader), voice);
    HalfBandDecimator decimator;
    Mp3Encoder encoder;
    std::vector<std::int16_t> piece;
    std::vector<std::int16_t> halved;
    bool rateChecked = false;
    while (stream->next(piece)) {
        if (!rateChecked && stream->sampleRate() != 2 * Mp3Encoder::sampleRate) {
            throw std::runtime_error("espeak-ng speaks at an unexpected sample rate");
        }
        rateChecked = true;
        halved.clear();
        decimator.push(piece, halved);
        encoder.add(halved);
    }
    halved.clear();
    decimator.finish(halved);
    encoder.add(halved);
    Mp3Encoder::Output mp3 = encoder.finish();
    // The encoder grows its buffer ahead of need; a stored clip keeps only its bytes.
    mp3.bytes.shrink_to_fit();
    SpeechClip clip;
    clip.durationMs = mp3.durationMs();
    clip.mp3 = std::make_shared<const std::string>(std::move(mp3.bytes));
    return clip;
}

} // namespace velanote
